// Timings of the window program: appending many log lines to the pane.
// Run: QT_QPA_PLATFORM=offscreen vorkat-bench-gui
#include <QApplication>
#include <QPlainTextEdit>

#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "ui/gui_host.h"
#include "ui/main_form.h"

int main(int argc, char** argv) {
  using namespace vorkat;
  QApplication app(argc, argv);
  ui::GuiHost host;
  AppState state(host);
  ui::MainForm form(state);
  host.Attach(&form, &state);
  form.show();
  auto t0 = std::chrono::steady_clock::now();
  {
    LongOperation op(state);
    for (int i = 0; i < 100000; ++i)
      AppendLog(state, u"Записали диалог номер" + NumText(i), i % 7 ? kColourDefault : kColourDarkRed);
  }
  form.FlushLog();
  QApplication::processEvents();
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  auto* pane = form.findChild<QPlainTextEdit*>(QStringLiteral("LogText"));
  std::printf("%-60s %9.1f ms (%d blocks)\n", "append 100,000 log lines (window, shown)", ms,
              pane->document()->blockCount());
  return 0;
}
