// The program-wide state: every piece of working data exists once, here,
// and is passed by reference to the procedures that read or change it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "codec/translation_table.h"
#include "core/file_io.h"
#include "core/host.h"
#include "core/log.h"
#include "core/rom.h"
#include "core/settings.h"
#include "font/fdt.h"
#include "insert/insertion_params.h"
#include "patch/ips_patch.h"
#include "script/dialog_set.h"

namespace vorkat {

inline constexpr std::u16string_view kProgramTitle = u"Vorkat 2.0    ver 0.40";

struct AppState {
  explicit AppState(Host& h) : host(h) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  Host& host;

  Settings settings;
  LogWindow log;
  RomImage rom;
  OriginalRomImage originalRom;
  TranslationTable table;
  DialogSet dialogs;
  FontDescriptionTable fdt;
  InsertionParams insertion;
  IpsPatch ips;

  std::u16string ProgramTitle = std::u16string(kProgramTitle);
  std::u16string AboutText;
  std::u16string BatchFileName;
  std::u16string ViewerPlaceholder = u".";

  bool SkipUnknownTRChars = true;
  std::u16string HexEncodeUnknownChars = u"NO";
  bool CreateInsertionLogs = false;
  bool EcoMode = false;
  bool OptimizeChangesBlocks = true;

  bool CancelRequested = false;
  // Depth of running long operations; while above 0, commands that change
  // the state are refused.
  int busy = 0;
  // Set by the exit sequence; hosts end their event loop when they see it.
  bool exitRequested = false;

  ProgressState progress;
  std::chrono::steady_clock::time_point lastYield{};
  std::chrono::milliseconds yieldInterval{20};  // tests set 0 to yield at every point

  WriteFaults writeFaults;  // failure injection for tests
};

}  // namespace vorkat
