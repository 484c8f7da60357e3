#include <array>

#include <QWidget>

#include "app/state.h"
#include "ui/editor/x_editor_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuXXEditor",
                [](QWidget* w, AppState& s) {
                  if (RequireDialogs(s)) OpenOrRaise<XEditorForm>(w, s, "xEditor");
                }},
};

}  // namespace

std::span<const FormCommand> EditorWindows() { return kWindows; }

}  // namespace vorkat::ui
