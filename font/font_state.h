// The part of the program state the font operations work on: the script's
// documents, the loaded FDT, the preview values and whether the glyph
// pictures are ready to draw.
#pragma once

#include "font/fdt.h"
#include "font/preview_settings.h"
#include "script/script_state.h"

namespace vorkat {

struct FontState {
  template <class S>
  requires requires(S& s) {
    s.ctx;
    s.rom;
    s.originalRom;
    s.table;
    s.codecOptions;
    s.dialogs;
    s.fdt;
    s.preview;
    s.glyphsLoaded;
  }
  FontState(S& s)  // NOLINT(google-explicit-constructor)
      : ctx(s.ctx),
        rom(s.rom),
        originalRom(s.originalRom),
        table(s.table),
        codecOptions(s.codecOptions),
        dialogs(s.dialogs),
        fdt(s.fdt),
        preview(s.preview),
        glyphsLoaded(s.glyphsLoaded) {}

  operator Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)

  Context& ctx;
  RomImage& rom;
  OriginalRomImage& originalRom;
  TranslationTable& table;
  CodecOptions& codecOptions;
  DialogSet& dialogs;
  FontDescriptionTable& fdt;
  PreviewSettings& preview;
  bool& glyphsLoaded;
};

}  // namespace vorkat
