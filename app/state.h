// The program-wide state: the context and every document, each once, owned
// here and passed by reference. A module's procedures take their module
// state (a set of references, made from this by naming the same members),
// so they see only the documents of their own folder and the folders below.
#pragma once

#include <string>
#include <string_view>

#include "batch/batch_state.h"
#include "codec/codec_state.h"
#include "core/core_state.h"
#include "font/font_state.h"
#include "insert/insert_state.h"
#include "patch/patch_options.h"
#include "patch/patch_state.h"
#include "script/script_state.h"

namespace vorkat {

inline constexpr std::u16string_view kProgramTitle = u"Vorkat 2.0    ver 0.40";

struct AppState {
  explicit AppState(Host& h) : ctx(h) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  operator Context&() { return ctx; }              // NOLINT(google-explicit-constructor)
  operator const Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)

  Context ctx;

  // Documents, by module.
  RomImage rom;  // core
  OriginalRomImage originalRom;
  TranslationTable table;  // codec
  CodecOptions codecOptions;
  DialogSet dialogs;          // script
  InsertionParams insertion;  // insert
  InsertionRecord record;
  InsertOptions insertOptions;
  IpsPatch ips;  // patch
  BpsPatch bps;
  PatchOptions patchOptions;
  FontDescriptionTable fdt;  // font
  PreviewSettings preview;
  // The glyph store matches the loaded FDT; cleared by every parse of the
  // FDT, since the store's entries follow its records.
  bool glyphsLoaded = false;

  // Program-level texts.
  std::u16string ProgramTitle = std::u16string(kProgramTitle);
  std::u16string AboutText;
  std::u16string BatchFileName;  // the script given on the command line
};

}  // namespace vorkat
