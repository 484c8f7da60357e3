#include <array>

#include "batch/batch.h"
#include "core/commands.h"

namespace vorkat {
namespace {

constexpr std::array kCommands = {
    Command{"menuRunBatch", [](AppState& s) { RunBatchCommand(s); }},
};

}  // namespace

std::span<const Command> BatchCommands() { return kCommands; }

}  // namespace vorkat
