// The batch interpreter: runs a script of upper-case commands unattended.
#pragma once

#include <string>
#include <string_view>

namespace vorkat {

struct BatchState;

struct BatchResult {
  bool read = false;          // false when the script file could not be read
  bool stopped = false;       // a line failed, or the user stopped it
  bool finRequested = false;  // the script ended with FIN: the caller runs the exit sequence
};

// Runs the script. A load command whose file is missing or unreadable stops
// the script at that line.
BatchResult RunBatch(BatchState state, const std::u16string& fileName);

// One script line split as the interpreter reads it: the command is the text
// before the first "=", trimmed and upper-cased; the argument the text after
// the last "=", trimmed (a line without "=" is both).
struct BatchLine {
  std::u16string command;
  std::u16string argument;
};
BatchLine SplitBatchLine(std::u16string_view line);

// The menu command: asks for the script ("Open Batch file") and runs it.
BatchResult RunBatchCommand(BatchState state);

}  // namespace vorkat
