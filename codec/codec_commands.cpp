#include "core/commands.h"

namespace vorkat {

// Menu commands of this subsystem, added as its operations are built.
std::span<const Command> CodecCommands() { return {}; }

}  // namespace vorkat
