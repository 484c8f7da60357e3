// vorkat-cli SCRIPT: runs a batch script without a window.
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <filesystem>

#include "app/app.h"
#include "app/console_host.h"
#include "core/text.h"

int main(int argc, char** argv) {
  using namespace vorkat;
  if (argc < 2) {
    std::fprintf(stderr, "usage: vorkat-cli SCRIPT\n");
    return 2;
  }
  // A closed standard output (vorkat-cli s.txt | head -1) must not end the run:
  // the script goes on and its files are written.
  std::signal(SIGPIPE, SIG_IGN);
  std::u16string script;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) script += u' ';
    script += FromUtf8(argv[i]);
  }
  ConsoleHost host(stdout, stderr, isatty(fileno(stdout)) != 0, isatty(fileno(stderr)) != 0);
  AppState state(host);
  host.Attach(&state);
  StartUp(state, FromUtf8(std::filesystem::current_path().string()));
  return RunHeadless(state, script);
}
