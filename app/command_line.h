// The command line of both programs: options first, then the script's name
// (the remaining words joined by blanks, as a name with blanks may come).
#pragma once

#include <string>
#include <vector>

namespace vorkat {

struct CommandLine {
  bool help = false;
  bool version = false;
  std::u16string settingsFile;  // --settings FILE
  std::u16string script;
  std::u16string error;  // a wrong option, said in the usual words; nothing else is then set
};

// `args` without the program's name.
CommandLine ParseCommandLine(const std::vector<std::u16string>& args);

// The texts of --help and --version. `window` picks the window program's.
std::string HelpText(bool window);
std::string VersionText(bool window);

}  // namespace vorkat
