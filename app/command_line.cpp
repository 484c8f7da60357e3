#include "app/command_line.h"

#include "app/version.h"
#include "core/text.h"

namespace vorkat {

CommandLine ParseCommandLine(const std::vector<std::u16string>& args) {
  CommandLine cl;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::u16string& arg = args[i];
    if (arg == u"--") {
      ++i;
      break;
    }
    if (arg == u"-h" || arg == u"--help") {
      cl.help = true;
    } else if (arg == u"--version") {
      cl.version = true;
    } else if (arg == u"--settings" || arg.starts_with(u"--settings=")) {
      if (arg.size() > 10) {
        cl.settingsFile = arg.substr(11);
      } else if (i + 1 < args.size()) {
        cl.settingsFile = args[++i];
      } else {
        return {.error = u"option '--settings' requires an argument"};
      }
      if (cl.settingsFile.empty()) return {.error = u"option '--settings' requires a file name"};
    } else if (arg.size() > 1 && arg[0] == u'-') {
      return {.error = u"unrecognized option '" + arg + u"'"};
    } else {
      break;
    }
  }
  for (std::size_t first = i; i < args.size(); ++i) {
    if (i > first) cl.script += u' ';
    cl.script += args[i];
  }
  return cl;
}

std::string HelpText(bool window) {
  const std::string options =
      "\n"
      "Options:\n"
      "      --settings FILE  read the settings from FILE and write them there at exit\n"
      "  -h, --help           show this help and exit\n"
      "      --version        show the version and exit\n";
  if (window)
    return "Usage: vorkat [OPTION]... [SCRIPT]\n"
           "Open the Vorkat window, a workbench for translating the text of Game Boy,\n"
           "Game Boy Color and Game Boy Advance ROM images. A batch SCRIPT named on the\n"
           "command line runs at start-up with the window shown.\n" +
           options;
  return "Usage: vorkat-cli [OPTION]... SCRIPT\n"
         "Run a Vorkat batch SCRIPT without a window: extract, insert and patch the\n"
         "text of Game Boy, Game Boy Color and Game Boy Advance ROM images.\n" +
         options +
         "\n"
         "The log goes to standard output. The exit status is 0 when every command\n"
         "ran without an error, 1 when one logged an error or the script was stopped,\n"
         "2 when the script could not be read or the command line is wrong.\n";
}

std::string VersionText(bool window) {
  return std::string(window ? "vorkat" : "vorkat-cli") + " (Vorkat) " + std::string(ProgramVersion()) + "\n";
}

}  // namespace vorkat
