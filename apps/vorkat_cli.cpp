// vorkat-cli [--settings FILE] SCRIPT: runs a batch script without a window.
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "app/console_host.h"
#include "app/settings_location.h"
#include "core/file_io.h"
#include "core/text.h"

int main(int argc, char** argv) {
  using namespace vorkat;
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(FromUtf8(argv[i]));
  const CommandLine cl = ParseCommandLine(args);
  if (!cl.error.empty() || (!cl.help && !cl.version && cl.script.empty())) {
    if (!cl.error.empty()) std::fprintf(stderr, "vorkat-cli: %s\n", ToUtf8(cl.error).c_str());
    std::fprintf(stderr, "Usage: vorkat-cli [OPTION]... SCRIPT\nTry 'vorkat-cli --help' for more information.\n");
    return 2;
  }
  if (cl.help || cl.version) {
    std::fputs((cl.help ? HelpText(false) : VersionText(false)).c_str(), stdout);
    return 0;
  }
  // A closed standard output (vorkat-cli s.txt | head -1) must not end the run:
  // the script goes on and its files are written.
  std::signal(SIGPIPE, SIG_IGN);
  ConsoleHost host(stdout, stderr, isatty(fileno(stdout)) != 0, isatty(fileno(stderr)) != 0);
  AppState state(host);
  host.Attach(&state);
  const std::u16string here = FromPath(std::filesystem::current_path());
  StartUp(state, here, FindSettings(SettingsSearchHere(here, cl.settingsFile)));
  return RunHeadless(state, cl.script);
}
