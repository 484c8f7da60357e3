// Where the settings file "vorkat2.ini" is: named with --settings; else the
// current folder's, when one is there (projects and scripts keep their own);
// else the user's, under $XDG_CONFIG_HOME/vorkat (default ~/.config/vorkat).
#pragma once

#include <string>

namespace vorkat {

struct SettingsSearch {
  std::u16string currentDir;
  std::u16string named;          // --settings FILE; relative to currentDir
  std::u16string xdgConfigHome;  // ignored unless an absolute path, as the XDG rules say
  std::u16string home;
};

// The full name of the settings file to read at start-up and write at exit.
std::u16string FindSettings(const SettingsSearch& search);
// The search for this process: its current folder and environment.
SettingsSearch SettingsSearchHere(const std::u16string& currentDir, const std::u16string& named);

// The window program's own state (window places) beside the settings file.
std::u16string WindowStatePath(const std::u16string& iniPath);

}  // namespace vorkat
