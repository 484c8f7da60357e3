#include "core/commands.h"

#include <array>

#include "extract/char_widths.h"
#include "extract/dump_via_pointers.h"
#include "insert/pointer_search.h"

namespace vorkat {
namespace {

// Extraction menu items that need no window of their own, in menu order.
constexpr std::array kCommands = {
    Command{"menuFindPointersInROM", [](AppState& s) { RunPointerSearch(s); }},
    Command{"menuCharLenExtractor", [](AppState& s) { RunCharWidthExtractor(s); }},
    Command{"menuViaPointersExtractor", [](AppState& s) { DumpViaPointers(s); }},
};

}  // namespace

std::span<const Command> ExtractCommands() { return kCommands; }

}  // namespace vorkat
