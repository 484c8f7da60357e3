#include <array>

#include <QWidget>

#include "app/state.h"
#include "core/runtime.h"
#include "ui/form_commands.h"
#include "ui/form_kit.h"
#include "ui/masked_srch_form.h"
#include "ui/rom_view_form.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuROMSearcher",
                [](QWidget* w, AppState& s) { OpenOrRaise<MaskedSrchForm>(w, s, "MaskedSrchForm"); }},
    FormCommand{"menuROMViewer",
                [](QWidget* w, AppState& s) {
                  if (RequireRom(s)) OpenOrRaise<ROMView>(w, s, "ROMView");
                }},
};

}  // namespace

std::span<const FormCommand> ViewerWindows() { return kWindows; }

}  // namespace vorkat::ui
