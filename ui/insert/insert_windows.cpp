#include <array>

#include <QWidget>

#include "ui/insert/pointer_recalc_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuCalcPtrsAndPutDialogs",
                [](QWidget* w, AppState& s) { OpenOrRaise<RecalcPtrsForm>(w, s, "RecalcPtrsandInsert"); }},
};

}  // namespace

std::span<const FormCommand> InsertWindows() { return kWindows; }

}  // namespace vorkat::ui
