#include <array>

#include "core/commands.h"
#include "core/state.h"
#include "patch/ips_apply.h"
#include "patch/ips_writer.h"
#include "patch/rom_compare.h"

namespace vorkat {
namespace {

constexpr std::array kCommands = {
    Command{"menuReadIPS",
            [](AppState& s) {
              std::u16string name;
              LoadIps(s, name);
            }},
    Command{"menuSaveChangesAsIPS", [](AppState& s) { WriteIps(s); }},
    Command{"menuApplyIPStoROM", [](AppState& s) { ApplyIps(s); }},
    Command{"menuMakePatch", [](AppState& s) { CompareRoms(s, s.EcoMode, s.OptimizeChangesBlocks); }},
};

}  // namespace

std::span<const Command> PatchCommands() { return kCommands; }

}  // namespace vorkat
