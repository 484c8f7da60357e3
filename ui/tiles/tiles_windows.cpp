#include <array>

#include <QWidget>

#include "app/state.h"
#include "core/runtime.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"
#include "ui/tiles/rom_tiles_window.h"

namespace vorkat::ui {
namespace {

constexpr std::array kWindows = {
    FormCommand{"menuRomTiles",
                [](QWidget* w, AppState& s) {
                  if (RequireRom(s)) OpenOrRaise<RomTilesForm>(w, s, "RomTilesForm");
                }},
};

}  // namespace

std::span<const FormCommand> TilesWindows() { return kWindows; }

}  // namespace vorkat::ui
