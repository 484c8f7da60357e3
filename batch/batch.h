// The batch interpreter: runs a script of upper-case commands unattended.
#pragma once

#include <string>

namespace vorkat {

struct AppState;

// Runs the script; returns false when the script file could not be read.
bool RunBatch(AppState& state, const std::u16string& fileName);

}  // namespace vorkat
