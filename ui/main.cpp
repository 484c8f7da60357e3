// vorkat [script]: the window program; a script named on the command line
// runs at start-up with the window shown.
#include <QDir>

#include "app/app.h"
#include "batch/batch.h"
#include "ui/shell/application.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/main_window.h"

int main(int argc, char** argv) {
  using namespace vorkat;
  ui::Application app(argc, argv);
  ui::GuiHost host;
  AppState state(host);
  StartUp(state, ui::FromQ(QDir::currentPath()));
  ui::MainForm form(state);
  host.Attach(&form, &state);
  app.SetContext(&state.ctx);
  form.show();

  QStringList args = QApplication::arguments();
  args.removeFirst();
  std::u16string commandLine = Trim(ui::FromQ(args.join(u' ')));
  if (!commandLine.empty()) {
    state.BatchFileName = commandLine;
    bool fin = false;
    {
      BusyCommand busy(state);  // the menus wait while the script runs
      fin = RunBatch(state, state.BatchFileName).finRequested;
    }
    if (fin) ExitProgram(state);
    form.AfterCommand();  // also closes the window when the user asked to while the script ran
    if (state.ctx.exitRequested) return 0;
  }
  return app.exec();
}
