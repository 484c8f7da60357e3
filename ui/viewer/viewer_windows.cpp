#include <array>

#include <QWidget>

#include "app/state.h"
#include "core/runtime.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"
#include "ui/viewer/rom_viewer_window.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuROMViewer",
                [](QWidget* w, AppState& s) {
                  if (RequireRom(s)) OpenOrRaise<ROMView>(w, s, "ROMView");
                }},
};

}  // namespace

std::span<const FormCommand> ViewerWindows() { return kWindows; }

}  // namespace vorkat::ui
