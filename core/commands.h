// Menu commands of the main window that run one core operation each. A
// window host looks a menu item's object name up here; items without an
// entry are shown disabled.
#pragma once

#include <span>
#include <string_view>

namespace vorkat {

struct AppState;

struct Command {
  std::string_view objectName;
  void (*run)(AppState& state);
};

// Each subsystem lists its own menu commands.
std::span<const Command> AppCommands();      // core/commands.cpp
std::span<const Command> CodecCommands();    // codec/codec_commands.cpp
std::span<const Command> ScriptCommands();   // script/script_commands.cpp
std::span<const Command> ExtractCommands();  // extract/extract_commands.cpp
std::span<const Command> InsertCommands();   // insert/insert_commands.cpp
std::span<const Command> PatchCommands();    // patch/patch_commands.cpp
std::span<const Command> BatchCommands();    // batch/batch_commands.cpp
std::span<const Command> SearchCommands();   // search/search_commands.cpp

const Command* FindCoreCommand(std::string_view objectName);

}  // namespace vorkat
