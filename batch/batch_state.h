// The part of the program state a batch script works on: every document,
// since its commands reach every module.
#pragma once

#include "font/font_state.h"
#include "insert/insert_state.h"
#include "patch/patch_options.h"
#include "patch/patch_state.h"

namespace vorkat {

struct BatchState {
  template <class S>
  requires requires(S& s) {
    s.ctx;
    s.rom;
    s.originalRom;
    s.table;
    s.codecOptions;
    s.dialogs;
    s.insertion;
    s.record;
    s.insertOptions;
    s.ips;
    s.bps;
    s.patchOptions;
    s.fdt;
    s.preview;
    s.glyphsLoaded;
  }
  BatchState(S& s)  // NOLINT(google-explicit-constructor)
      : ctx(s.ctx),
        rom(s.rom),
        originalRom(s.originalRom),
        table(s.table),
        codecOptions(s.codecOptions),
        dialogs(s.dialogs),
        insertion(s.insertion),
        record(s.record),
        insertOptions(s.insertOptions),
        ips(s.ips),
        bps(s.bps),
        patchOptions(s.patchOptions),
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
  InsertionParams& insertion;
  InsertionRecord& record;
  InsertOptions& insertOptions;
  IpsPatch& ips;
  BpsPatch& bps;
  PatchOptions& patchOptions;
  FontDescriptionTable& fdt;
  PreviewSettings& preview;
  bool& glyphsLoaded;
};

}  // namespace vorkat
