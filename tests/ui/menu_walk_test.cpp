// Every item of the main window's menus has an operation and is triggered
// once with a loaded game and every question answered negatively: none may
// crash, and none may leave a modal window open.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>

#include "app/app.h"
#include "codec/table_loader.h"
#include "tests/support/scripted_gui_host.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/main_window.h"

using namespace vorkat;
using vorkat::testing::ScriptedGuiHost;

class MenuWalkTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void everyMenuItemRunsAndLeavesNoModalWindow() {
    testing::TempDir dir;
    Bytes rom(0x400, 0);
    for (int i = 0; i < 0x40; ++i) rom[0x100 + i] = static_cast<std::uint8_t>(0x41 + i % 3);
    dir.Write("g.gba", rom);
    ScriptedGuiHost host;
    AppState state(host);
    StartUp(state, FromPath(dir.path()));
    ui::MainForm form(state);
    host.Attach(&form, &state);
    form.show();
    OpenRom(state, dir.File("g.gba"));
    LoadTableText(state, u"41=A\r\n42=B\r\n43=C\r\n00=<$END>", u"t.tbl");
    state.dialogs.records.assign(2, DialogRecord{});
    state.dialogs.records[0] = {u"1", u"100"};
    state.dialogs.records[0].dlgText = u"ABC<$END>";
    state.dialogs.lastIndex = 0;
    state.dialogs.isLoaded = true;

    // A window that opens modally (exec) is closed as soon as it shows.
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    closer.start();

    int walked = 0;
    for (QAction* action : form.findChildren<QAction*>()) {
      const QString name = action->objectName();
      if (!name.startsWith(QStringLiteral("menu")) || action->menu() || name == QStringLiteral("menuExit")) continue;
      QVERIFY2(action->isEnabled(), qPrintable(name + QStringLiteral(" has no operation")));
      action->trigger();
      QApplication::processEvents();
      QCOMPARE(state.ctx.busy, 0);
      // The tool windows a command opened close with Escape and have a Close
      // button; the viewer keeps Escape for its block and the editor for its text.
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == &form || !w->isVisible()) continue;
        if (w->objectName() == QStringLiteral("ROMView") || w->objectName() == QStringLiteral("xEditor")) {
          w->close();
          continue;
        }
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY2(!w->isVisible(), qPrintable(name + QStringLiteral(" opened ") + w->objectName()));
        const auto buttons = w->findChildren<QPushButton*>();
        QVERIFY2(std::any_of(buttons.begin(), buttons.end(),
                             [](const QPushButton* b) {
                               return QStringList{QStringLiteral("Закрыть"), QStringLiteral("Close"),
                                                  QStringLiteral("Отмена")}
                                   .contains(b->text().remove(QLatin1Char('&')));
                             }),
                 qPrintable(w->objectName() + QStringLiteral(" has no Close button")));
      }
      QApplication::processEvents();
      QVERIFY2(!QApplication::activeModalWidget(), qPrintable(name));
      ++walked;
    }
    QVERIFY(walked > 40);
    form.Action(QStringLiteral("menuExit"))->trigger();
    QVERIFY(state.ctx.exitRequested);
  }
};

QTEST_MAIN(MenuWalkTest)
#include "menu_walk_test.moc"
