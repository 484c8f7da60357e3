#include <array>

#include <QWidget>

#include "app/state.h"
#include "ui/codec/table_editor_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuTableEditor", [](QWidget* w, AppState& s) { OpenOrRaise<TableEditForm>(w, s, "TableEditForm"); }},
};

}  // namespace

std::span<const FormCommand> CodecWindows() { return kWindows; }

}  // namespace vorkat::ui
