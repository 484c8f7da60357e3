#include <array>
#include <type_traits>

#include <QWidget>

#include "ui/addr_extr_form.h"
#include "ui/from_to_addr_form.h"
#include "ui/form_commands.h"

namespace vorkat::ui {
namespace {

template <class Form>
void OpenForm(QWidget* mainWindow, AppState& state, const char* objectName) {
  auto* form = mainWindow->findChild<Form*>(QLatin1String(objectName));
  if (!form) form = new Form(state, mainWindow);
  if constexpr (std::is_same_v<Form, FromToAddrForm>) form->LoadFields();
  form->show();
  form->raise();
  form->activateWindow();
}

constexpr std::array kWindows = {
    FormCommand{"menuExtractTextFromRom",
                [](QWidget* w, AppState& s) { OpenForm<FromToAddrForm>(w, s, "FromToAddrForm"); }},
    FormCommand{"menuDumpTxtByAddrs", [](QWidget* w, AppState& s) { OpenForm<AddrExtrForm>(w, s, "AddrExtrForm"); }},
};

}  // namespace

std::span<const FormCommand> ExtractWindows() { return kWindows; }

}  // namespace vorkat::ui
