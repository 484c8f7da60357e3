// The part of the program state insertion works on: the script's documents,
// the insertion parameters, the record of the last insertion and the option.
#pragma once

#include "insert/insert_options.h"
#include "insert/insertion_params.h"
#include "insert/insertion_record.h"
#include "script/script_state.h"

namespace vorkat {

struct InsertState {
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
  }
  InsertState(S& s)  // NOLINT(google-explicit-constructor)
      : ctx(s.ctx),
        rom(s.rom),
        originalRom(s.originalRom),
        table(s.table),
        codecOptions(s.codecOptions),
        dialogs(s.dialogs),
        insertion(s.insertion),
        record(s.record),
        insertOptions(s.insertOptions) {}

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
};

}  // namespace vorkat
