// The part of the program state the codec works on: the ROMs, the loaded
// table and the codec's options.
#pragma once

#include "codec/codec_options.h"
#include "codec/translation_table.h"
#include "core/core_state.h"

namespace vorkat {

struct CodecState {
  template <class S>
  requires requires(S& s) {
    s.ctx;
    s.rom;
    s.originalRom;
    s.table;
    s.codecOptions;
  }
  CodecState(S& s)  // NOLINT(google-explicit-constructor)
      : ctx(s.ctx), rom(s.rom), originalRom(s.originalRom), table(s.table), codecOptions(s.codecOptions) {}

  operator Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)

  Context& ctx;
  RomImage& rom;
  OriginalRomImage& originalRom;
  TranslationTable& table;
  CodecOptions& codecOptions;
};

// Logs "Таблица еще не загружена" and returns false when no table is loaded.
inline bool RequireTable(Context& ctx, const TranslationTable& table) {
  if (table.isLoaded) return true;
  AppendLog(ctx, u"Таблица еще не загружена");
  return false;
}
inline bool RequireTable(CodecState state) { return RequireTable(state.ctx, state.table); }

}  // namespace vorkat
