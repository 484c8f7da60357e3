// The batch interpreter: runs a script of upper-case commands unattended.
#pragma once

#include <string>
#include <string_view>

namespace vorkat {

struct AppState;

// Runs the script; returns false when the script file could not be read.
bool RunBatch(AppState& state, const std::u16string& fileName);

// One script line split as the interpreter reads it: the command is the text
// before the first "=", trimmed and upper-cased; the argument the text after
// the last "=", trimmed (a line without "=" is both).
struct BatchLine {
  std::u16string command;
  std::u16string argument;
};
BatchLine SplitBatchLine(std::u16string_view line);

// The menu command: asks for the script ("Open Batch file") and runs it.
void RunBatchCommand(AppState& state);

}  // namespace vorkat
