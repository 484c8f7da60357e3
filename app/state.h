// The program-wide state: every piece of working data exists once, here,
// and is passed by reference to the procedures that read or change it.
// Each module's procedures take the part of it they work on.
#pragma once

#include "font/font_state.h"

namespace vorkat {

struct AppState : FontState {
  using FontState::FontState;
};

}  // namespace vorkat
