// The state insertion works on: the dialogs and the insertion parameters.
#pragma once

#include "insert/insertion_params.h"
#include "insert/insertion_record.h"
#include "script/script_state.h"

namespace vorkat {

struct InsertState : ScriptState {
  using ScriptState::ScriptState;
  InsertionParams insertion;
  InsertionRecord record;
};

}  // namespace vorkat
