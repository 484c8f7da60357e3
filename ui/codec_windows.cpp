#include <array>

#include <QWidget>

#include "app/state.h"
#include "ui/form_commands.h"
#include "ui/form_kit.h"
#include "ui/table_edit_form.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuTableEditor",
                [](QWidget* w, AppState& s) { OpenOrRaise<TableEditForm>(w, s, "TableEditForm"); }},
};

}  // namespace

std::span<const FormCommand> CodecWindows() { return kWindows; }

}  // namespace vorkat::ui
