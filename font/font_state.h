// The state the font operations work on: everything below, the loaded FDT,
// the preview values and whether the glyph pictures are ready to draw.
#pragma once

#include "font/fdt.h"
#include "font/preview_settings.h"
#include "patch/patch_state.h"

namespace vorkat {

struct FontState : PatchState {
  using PatchState::PatchState;
  FontDescriptionTable fdt;
  PreviewSettings preview;
  // The glyph store matches the loaded FDT; cleared by every parse of the
  // FDT, since the store's entries follow its records.
  bool glyphsLoaded = false;
};

}  // namespace vorkat
