// vorkat [script]: the window program; a script named on the command line
// runs at start-up with the window shown.
#include <QApplication>
#include <QDir>

#include "batch/batch.h"
#include "app/app.h"
#include "ui/gui_host.h"
#include "ui/main_form.h"

int main(int argc, char** argv) {
  using namespace vorkat;
  QApplication app(argc, argv);
  ui::GuiHost host;
  AppState state(host);
  StartUp(state, ui::FromQ(QDir::currentPath()));
  ui::MainForm form(state);
  host.Attach(&form, &state);
  form.show();

  QStringList args = QApplication::arguments();
  args.removeFirst();
  std::u16string commandLine = Trim(ui::FromQ(args.join(u' ')));
  if (!commandLine.empty()) {
    state.BatchFileName = commandLine;
    ++state.busy;  // the menus wait while the script runs
    const bool fin = RunBatch(state, state.BatchFileName).finRequested;
    --state.busy;
    if (fin) ExitProgram(state);
    form.FlushLog();
    form.SyncCheckMarks();
    if (state.exitRequested) return 0;
  }
  return app.exec();
}
