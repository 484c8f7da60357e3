// Runs vorkat-cli in a folder and captures its standard output and exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace vorkat::testing {

struct CliRun {
  int status = -1;
  std::string out;
};

// `args` is put on the shell line as it is (a script name, or more). The
// user's settings folder is cwd/.config, so no run touches the real one.
inline CliRun RunCli(const std::filesystem::path& cwd, const std::string& args) {
  const std::string cmd = "cd '" + cwd.string() + "' && XDG_CONFIG_HOME='" + cwd.string() +
                          "/.config' '" VORKAT_CLI_PATH "' " + args + " 2>/dev/null";
  CliRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace vorkat::testing
