#include <array>

#include <QWidget>

#include "app/state.h"
#include "ui/form_commands.h"
#include "ui/form_kit.h"
#include "ui/x_editor_form.h"

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
