#include <array>

#include <QWidget>

#include "ui/recalc_ptrs_form.h"
#include "ui/form_commands.h"

namespace vorkat::ui {
namespace {

void OpenRecalcPtrs(QWidget* mainWindow, AppState& state) {
  auto* form = mainWindow->findChild<RecalcPtrsForm*>(QStringLiteral("RecalcPtrsandInsert"));
  if (!form) form = new RecalcPtrsForm(state, mainWindow);
  form->show();
  form->raise();
  form->activateWindow();
}

constexpr std::array kWindows = {
    FormCommand{"menuCalcPtrsAndPutDialogs", OpenRecalcPtrs},
};

}  // namespace

std::span<const FormCommand> InsertWindows() { return kWindows; }

}  // namespace vorkat::ui
