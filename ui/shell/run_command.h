// The one busy guard of the windows. While a command or a long operation
// runs (also while it yields to the window system), every other command that
// changes the state is refused, so operations may hold references into the
// state. Windows ask here and nowhere else.
#pragma once

#include <utility>

#include "app/state.h"
#include "core/runtime.h"

namespace vorkat::ui {

// True while a command or a long operation runs.
inline bool IsBusy(const AppState& state) { return state.ctx.busy > 0; }

// Runs a command a window starts (a button, a menu item of a window): refused
// while busy, returning false and doing nothing (the caller beeps or logs if
// it does so); otherwise the state stays busy until the command ends, and
// running out of memory ends the command only (RunGuarded). Returns true
// when the command ran.
template <class Command>
bool RunCommand(AppState& state, Command&& command) {
  if (IsBusy(state)) return false;
  BusyCommand busy(state);
  RunGuarded(state, std::forward<Command>(command));
  return true;
}

}  // namespace vorkat::ui
