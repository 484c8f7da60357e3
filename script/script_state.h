// The state the dialog scripts work on: the codec state and the loaded dialogs.
#pragma once

#include "codec/codec_state.h"
#include "script/dialog_set.h"

namespace vorkat {

struct ScriptState : CodecState {
  using CodecState::CodecState;
  DialogSet dialogs;
};

// Logs "Диалоги еще не загружены" and returns false when no dialogs are loaded.
inline bool RequireDialogs(ScriptState& state) {
  if (state.dialogs.isLoaded) return true;
  AppendLog(state, u"Диалоги еще не загружены");
  return false;
}

}  // namespace vorkat
