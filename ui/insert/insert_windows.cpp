#include <array>

#include <QWidget>

#include "ui/insert/offset_format_window.h"
#include "ui/insert/pointer_recalc_window.h"
#include "ui/insert/pointer_table_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuCalcPtrsAndPutDialogs",
                [](QWidget* w, AppState& s) { OpenOrRaise<RecalcPtrsForm>(w, s, "RecalcPtrsandInsert"); }},
    FormCommand{"menuPtrFormatOffset",
                [](QWidget* w, AppState& s) { OpenOrRaise<OffsetFormatForm>(w, s, "OffsetPointerFormat"); }},
    FormCommand{"menuPointerTable",
                [](QWidget* w, AppState& s) { OpenOrRaise<PointerTableForm>(w, s, "PointerTableForm"); }},
};

}  // namespace

std::span<const FormCommand> InsertWindows() { return kWindows; }

}  // namespace vorkat::ui
