// The part of the program-wide state that every module shares: the host,
// settings, log, ROM images, option flags, and the bookkeeping of long
// operations. Each module extends it with its own data (CodecState,
// ScriptState, ...); the whole program state sits above the modules.
#pragma once

#include <chrono>
#include <string>

#include "core/file_io.h"
#include "core/host.h"
#include "core/log.h"
#include "core/rom.h"
#include "core/settings.h"

namespace vorkat {

inline constexpr std::u16string_view kProgramTitle = u"Vorkat 2.0    ver 0.40";

struct CoreState {
  explicit CoreState(Host& h) : host(h) {}
  CoreState(const CoreState&) = delete;
  CoreState& operator=(const CoreState&) = delete;

  Host& host;

  Settings settings;
  LogWindow log;
  RomImage rom;
  OriginalRomImage originalRom;

  std::u16string ProgramTitle = std::u16string(kProgramTitle);
  std::u16string AboutText;
  std::u16string BatchFileName;
  std::u16string ViewerPlaceholder = u".";

  bool SkipUnknownTRChars = true;
  std::u16string HexEncodeUnknownChars = u"NO";
  bool CreateInsertionLogs = false;
  bool EcoMode = false;
  bool OptimizeChangesBlocks = true;

  // Bright-red lines logged in this run (a clear of the log keeps the count).
  std::size_t errorLinesLogged = 0;

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
