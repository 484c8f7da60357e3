// Start-up and the exit sequence of the program.
#pragma once

#include <string>
#include <string_view>

#include "app/state.h"
#include "core/runtime.h"

namespace vorkat {

// Fills the state as the program entry does: start-up defaults, the settings
// file at `iniPath` (empty: vorkat2.ini in `currentDir`), named in the log,
// title, About text, help file name.
void StartUp(AppState& state, const std::u16string& currentDir, const std::u16string& iniPath = {});

// Saves the settings, asks about the ROM, the dialogs and the table when they
// have changes not saved, and marks the program as ending (the host ends its
// loop when it sees exitRequested). A Cancel, or a save cancelled or failed,
// leaves exitRequested false: the program stays with its edits.
void ExitProgram(AppState& state);

// The title, the version and the credits.
std::u16string BuildAboutText(std::u16string_view title);

}  // namespace vorkat
