#include "ui/form_commands.h"

namespace vorkat::ui {

// Menu items of this subsystem that open a window, added as they are built.
std::span<const FormCommand> InsertWindows() { return {}; }

}  // namespace vorkat::ui
