// vorkat [--settings FILE] [script]: the window program; a script named on
// the command line runs at start-up with the window shown.
#include <cstdio>

#include <QDir>

#include "app/app.h"
#include "app/command_line.h"
#include "app/settings_location.h"
#include "batch/batch.h"
#include "ui/shell/application.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/main_window.h"
#include "ui/shell/window_state.h"

namespace {

std::vector<std::u16string> Words(const QStringList& args) {
  std::vector<std::u16string> words;
  for (qsizetype i = 1; i < args.size(); ++i) words.push_back(vorkat::ui::FromQ(args[i]));
  return words;
}

// What --help, --version or a wrong option ask for; returns the exit status.
int Answer(const vorkat::CommandLine& cl) {
  if (!cl.error.empty()) {
    std::fprintf(stderr, "vorkat: %s\nTry 'vorkat --help' for more information.\n", vorkat::ToUtf8(cl.error).c_str());
    return 2;
  }
  std::fputs((cl.help ? vorkat::HelpText(true) : vorkat::VersionText(true)).c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorkat;
  // --help and --version answer without a display; a wrong option waits until
  // Qt has taken its own (-style, -platform, ...).
  std::vector<std::u16string> raw;
  for (int i = 1; i < argc; ++i) raw.push_back(FromUtf8(argv[i]));
  if (const CommandLine early = ParseCommandLine(raw); early.error.empty() && (early.help || early.version))
    return Answer(early);

  ui::Application app(argc, argv);
  const CommandLine cl = ParseCommandLine(Words(QApplication::arguments()));
  if (!cl.error.empty() || cl.help || cl.version) return Answer(cl);
  ui::GuiHost host;
  AppState state(host);
  const std::u16string here = ui::FromQ(QDir::currentPath());
  StartUp(state, here, FindSettings(SettingsSearchHere(here, cl.settingsFile)));
  const QString windowState = ui::ToQ(WindowStatePath(state.ctx.settings.iniPath));
  ui::MainForm form(state);
  host.Attach(&form, &state);
  app.SetContext(&state.ctx);
  ui::RestoreWindowState(form, windowState);
  form.UseRecentFiles(windowState);
  form.show();

  int status = 0;
  const std::u16string commandLine = Trim(cl.script);
  if (!commandLine.empty()) {
    state.BatchFileName = commandLine;
    bool fin = false;
    {
      BusyCommand busy(state);  // the menus wait while the script runs
      fin = RunBatch(state, state.BatchFileName).finRequested;
    }
    if (fin) ExitProgram(state);
    form.AfterCommand();  // also closes the window when the user asked to while it ran
  }
  if (!state.ctx.exitRequested) status = app.exec();
  ui::SaveWindowState(form, windowState);
  return status;
}
