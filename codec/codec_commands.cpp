#include <array>

#include "codec/table_loader.h"
#include "codec/table_tools.h"
#include "core/commands.h"

namespace vorkat {
namespace {

// One row per menu item, in menu order. "menuTableToXml" converts a table
// file to XML, asking for both files.
constexpr std::array kCommands = {
    Command{"menuOpenTable", [](AppState& s) { LoadTable(s, false); }},
    Command{"menuSaveTable", [](AppState& s) { SaveTable(s); }},
    Command{"menuTableToXml", [](AppState& s) { ExportTableXmlCommand(s); }},
    Command{"menuMakeTable", [](AppState& s) { GenerateTable(s); }},
    Command{"menuChTrTable", [](AppState& s) { CheckTableReversibility(s); }},
    Command{"menuSetTableType", [](AppState& s) { SetTableType(s); }},
};

}  // namespace

std::span<const Command> CodecCommands() { return kCommands; }

}  // namespace vorkat
