// The part of the program state the dialog scripts work on: the codec's
// documents and the loaded dialogs.
#pragma once

#include "codec/codec_state.h"
#include "script/dialog_set.h"

namespace vorkat {

struct ScriptState {
  template <class S>
  requires requires(S& s) {
    s.ctx;
    s.rom;
    s.originalRom;
    s.table;
    s.codecOptions;
    s.dialogs;
  }
  ScriptState(S& s)  // NOLINT(google-explicit-constructor)
      : ctx(s.ctx),
        rom(s.rom),
        originalRom(s.originalRom),
        table(s.table),
        codecOptions(s.codecOptions),
        dialogs(s.dialogs) {}

  operator Context&() const { return ctx; }  // NOLINT(google-explicit-constructor)

  Context& ctx;
  RomImage& rom;
  OriginalRomImage& originalRom;
  TranslationTable& table;
  CodecOptions& codecOptions;
  DialogSet& dialogs;
};

// Logs "Диалоги еще не загружены" and returns false when no dialogs are loaded.
inline bool RequireDialogs(Context& ctx, const DialogSet& dialogs) {
  if (dialogs.isLoaded) return true;
  AppendLog(ctx, u"Диалоги еще не загружены");
  return false;
}
inline bool RequireDialogs(ScriptState state) { return RequireDialogs(state.ctx, state.dialogs); }

}  // namespace vorkat
