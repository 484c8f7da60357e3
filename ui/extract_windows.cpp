#include <array>

#include <QWidget>

#include "ui/addr_extr_form.h"
#include "ui/from_to_addr_form.h"
#include "ui/form_commands.h"
#include "ui/form_kit.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuExtractTextFromRom",
                [](QWidget* w, AppState& s) { OpenOrRaise<FromToAddrForm>(w, s, "FromToAddrForm"); }},
    FormCommand{"menuDumpTxtByAddrs", [](QWidget* w, AppState& s) { OpenOrRaise<AddrExtrForm>(w, s, "AddrExtrForm"); }},
};

}  // namespace

std::span<const FormCommand> ExtractWindows() { return kWindows; }

}  // namespace vorkat::ui
