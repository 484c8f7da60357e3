#include "core/commands.h"

#include <array>

#include "core/app.h"
#include "core/rom.h"

namespace vorkat {
namespace {

// One row per menu item; keep them in menu order.
constexpr std::array kCommands = {
    Command{"menuOpenRom", [](AppState& s) { OpenRom(s, u""); }},
    Command{"menuOpOrigRom", [](AppState& s) { OpenOriginalRom(s); }},
    Command{"menuSaveROMas", [](AppState& s) { SaveRom(s, u""); }},
    Command{"menuClearLogs", [](AppState& s) { ClearLog(s); }},
};

}  // namespace

std::span<const Command> AppCommands() { return kCommands; }

const Command* FindCoreCommand(std::string_view objectName) {
  for (auto list : {AppCommands(), CodecCommands(), ScriptCommands(), ExtractCommands(), InsertCommands(),
                    PatchCommands(), BatchCommands(), SearchCommands()})
    for (const Command& c : list)
      if (c.objectName == objectName) return &c;
  return nullptr;
}

}  // namespace vorkat
