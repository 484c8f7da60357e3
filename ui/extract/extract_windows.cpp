#include <array>

#include <QWidget>

#include "ui/extract/dump_by_addresses_window.h"
#include "ui/extract/extract_range_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

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
