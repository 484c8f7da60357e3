// Reading and writing dialogs files.
#pragma once

#include "core/state.h"

namespace vorkat {

// silent: use dialogs.fileName as it is; otherwise ask for the file first.
void LoadDialogs(AppState& state, bool silent);
void AppendDialogs(AppState& state, bool silent);
void SaveDialogs(AppState& state, bool silent);

}  // namespace vorkat
