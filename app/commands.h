// Menu commands of the main window that run one operation each. A window
// host looks a menu item's object name up here; items without an entry are
// shown disabled.
#pragma once

#include <string_view>

namespace vorkat {

struct AppState;

struct Command {
  std::string_view objectName;
  void (*run)(AppState& state);
};

const Command* FindCoreCommand(std::string_view objectName);

}  // namespace vorkat
