#include <array>

#include <QWidget>

#include "app/state.h"
#include "core/runtime.h"
#include "ui/search/masked_search_window.h"
#include "ui/search/relative_search_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuROMSearcher",
                [](QWidget* w, AppState& s) { OpenOrRaise<MaskedSrchForm>(w, s, "MaskedSrchForm"); }},
    FormCommand{"menuRelativeSearch",
                [](QWidget* w, AppState& s) {
                  if (RequireRom(s)) OpenOrRaise<RelativeSearchForm>(w, s, "RelativeSrchForm");
                }},
};

}  // namespace

std::span<const FormCommand> SearchWindows() { return kWindows; }

}  // namespace vorkat::ui
