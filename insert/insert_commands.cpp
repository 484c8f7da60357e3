#include <array>

#include "core/commands.h"
#include "insert/insert_dialogs.h"

namespace vorkat {
namespace {

constexpr std::array kCommands = {
    Command{"menuReturnDialgs2ROM", [](AppState& s) { InsertDialogs(s); }},
};

}  // namespace

std::span<const Command> InsertCommands() { return kCommands; }

}  // namespace vorkat
