#include <array>

#include <QWidget>

#include "app/state.h"
#include "core/runtime.h"
#include "ui/form_commands.h"
#include "ui/form_kit.h"
#include "ui/relative_search_form.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuRelativeSearch",
                [](QWidget* w, AppState& s) {
                  if (RequireRom(s)) OpenOrRaise<RelativeSearchForm>(w, s, "RelativeSrchForm");
                }},
};

}  // namespace

std::span<const FormCommand> SearchWindows() { return kWindows; }

}  // namespace vorkat::ui
