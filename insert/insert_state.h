// The state insertion works on: the dialogs and the insertion parameters.
#pragma once

#include "insert/insertion_params.h"
#include "script/script_state.h"

namespace vorkat {

struct InsertState : ScriptState {
  using ScriptState::ScriptState;
  InsertionParams insertion;
};

}  // namespace vorkat
