#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <utility>

#include "app/app.h"
#include "codec/table_loader.h"
#include "tests/support/scripted_gui_host.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/application.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/main_window.h"

using namespace vorkat;
using vorkat::testing::ScriptedGuiHost;

namespace {

// A table big enough that its reversibility check yields many times.
void LoadBigTable(AppState& state) {
  std::u16string text;
  for (int c = 0; c < 5000; ++c) text += HexText(0x1000 + c) + u"=<$t" + DecText(c) + u">\r\n";
  LoadTableText(state, text, u"big.tbl");
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void menusCarryTheirObjectNamesAndCaptions() {
    ScriptedGuiHost host;
    AppState state(host);
    ui::MainForm form(state);
    host.Attach(&form, &state);
    QCOMPARE(form.objectName(), QStringLiteral("MainForm"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Vorkat 2.0    ver 0.40"));
    for (const char* name : {"menuFile", "menuOpen", "menuSave", "menuTools", "menuEdit", "menuOptions", "menuHelp"})
      QVERIFY2(form.findChild<QMenu*>(QLatin1String(name)), name);
    QCOMPARE(form.Action(QStringLiteral("menuOpenRom"))->iconText(), QStringLiteral("ROM"));
    QCOMPARE(form.Action(QStringLiteral("menuMakePatch"))->iconText(),
             QStringLiteral("Найти отличия от оригинала (ROM/ROM)"));
    QVERIFY(form.Action(QStringLiteral("menuOpenRom"))->isEnabled());
    QVERIFY(form.Action(QStringLiteral("menuExit"))->isEnabled());
    QVERIFY(form.findChild<QPlainTextEdit*>(QStringLiteral("LogText")));
    QVERIFY(form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1")));
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("Command2"))->text(), QStringLiteral("Прервать процесс ..."));
    QVERIFY(form.findChild<QPushButton*>(QStringLiteral("CommandButton1")));
  }

  void optionTogglesFollowTheState() {
    ScriptedGuiHost host;
    AppState state(host);
    ui::MainForm form(state);
    host.Attach(&form, &state);
    QAction* ext = form.Action(QStringLiteral("menuExtendedLogs"));
    QVERIFY(ext->isCheckable());
    QVERIFY(ext->isChecked());
    ext->trigger();
    QCOMPARE(state.ctx.settings.ExtendedLogs, std::u16string(u"NO"));
    QVERIFY(!ext->isChecked());
    ext->trigger();
    QCOMPARE(state.ctx.settings.ExtendedLogs, std::u16string(u"YES"));
    QVERIFY(form.Action(QStringLiteral("menuOptimizeChangesBlocks"))->isChecked());
    QVERIFY(!form.Action(QStringLiteral("menuEcoMode"))->isChecked());
    form.Action(QStringLiteral("menuEcoMode"))->trigger();
    QVERIFY(state.patchOptions.EcoMode);
    form.Action(QStringLiteral("menuSkipUnknownTRChars"))->trigger();
    QVERIFY(!state.codecOptions.SkipUnknownTRChars);

    // The pointer formats: exactly one is checked, also after choosing the checked one again.
    QAction* gb16 = form.Action(QStringLiteral("menuPtrFormatGB16"));
    QAction* gba = form.Action(QStringLiteral("menuPtrFormatGBA"));
    QVERIFY(gba->isChecked() && !gb16->isChecked());
    gb16->trigger();
    QVERIFY(state.ctx.settings.PtrFormat == PointerFormat::GB16);
    QVERIFY(gb16->isChecked() && !gba->isChecked());
    gb16->trigger();
    QVERIFY(gb16->isChecked());
    // The offset item opens its form; its mark follows the format, not the click.
    QAction* offset = form.Action(QStringLiteral("menuPtrFormatOffset"));
    offset->trigger();
    QVERIFY(!offset->isChecked() && gb16->isChecked());
    state.ctx.settings.PtrFormat = PointerFormat::Offset(2, 0x10000, false);
    form.AfterCommand();
    QVERIFY(offset->isChecked() && !gb16->isChecked() && !gba->isChecked());
  }

  void logPaneShowsLinesAndClears() {
    ScriptedGuiHost host;
    AppState state(host);
    ui::MainForm form(state);
    host.Attach(&form, &state);
    AppendLog(state, u"первая");
    AppendLog(state, u"вторая", kColourBrightRed);
    form.FlushLog();
    auto* pane = form.findChild<QPlainTextEdit*>(QStringLiteral("LogText"));
    QCOMPARE(pane->toPlainText(), QStringLiteral("первая\nвторая"));
    form.Action(QStringLiteral("menuClearLogs"))->trigger();
    QCOMPARE(pane->toPlainText(), QString());
    QVERIFY(state.ctx.log.text.empty());
  }

  void linesLoggedBeforeTheWindowAreShownInIt() {
    ScriptedGuiHost host;
    AppState state(host);
    vorkat::testing::TempDir dir;
    StartUp(state, FromPath(dir.path()));  // names the settings file
    AppendLog(state, u"ошибка", kColourBrightRed);
    ui::MainForm form(state);
    host.Attach(&form, &state);
    AppendLog(state, u"потом");
    form.FlushLog();
    auto* pane = form.findChild<QPlainTextEdit*>(QStringLiteral("LogText"));
    QCOMPARE(pane->toPlainText(), ui::ToQ(u"Файл настроек: " + dir.File("vorkat2.ini") + u"\nошибка\nпотом"));
  }

  void openRomThroughTheMenuAndRefuseCommandsWhileBusy() {
    testing::TempDir dir;
    dir.Write("g.gba", Bytes{1, 2, 3, 4});
    ScriptedGuiHost host;
    AppState state(host);
    ui::MainForm form(state);
    host.Attach(&form, &state);
    host.answers.fileNames.push_back(dir.File("g.gba"));
    form.Action(QStringLiteral("menuOpenRom"))->trigger();
    QVERIFY(state.rom.isLoaded);
    QCOMPARE(state.rom.size(), 4);

    state.ctx.busy = 1;
    form.Action(QStringLiteral("menuEcoMode"))->trigger();
    QVERIFY(!state.patchOptions.EcoMode);
    state.ctx.busy = 0;
  }

  void exitWithEditsNotSavedAsksAndStaysUnlessToldToGo() {
    testing::TempDir dir;
    ScriptedGuiHost host;
    AppState state(host);
    state.ctx.settings.iniPath = dir.File("vorkat2.ini");
    ui::MainForm form(state);
    host.Attach(&form, &state);
    form.show();
    state.dialogs.records.resize(1);
    state.dialogs.lastIndex = 0;
    state.dialogs.isLoaded = state.dialogs.changed = true;
    LoadTableText(state, u"41=A", u"t.tbl");
    state.table.MarkEdited();

    const std::u16string dialogsQuestion = u"Будем сохранять изменения в Диалогах ?";
    const std::u16string tableQuestion = u"Будем сохранять изменения в Таблице ?";
    struct Case {
      std::vector<MsgAnswer> answers;
      std::u16string lastQuestion;
    };
    // Cancel; Yes with the save prompt cancelled; No to the dialogs and Cancel to the table.
    for (const Case& c : {Case{{MsgAnswer::Cancel}, dialogsQuestion}, Case{{MsgAnswer::Yes}, dialogsQuestion},
                          Case{{MsgAnswer::No, MsgAnswer::Cancel}, tableQuestion}}) {
      host.answers.answers.assign(c.answers.begin(), c.answers.end());
      form.Action(QStringLiteral("menuExit"))->trigger();
      QCOMPARE(host.answers.messages.back().text, c.lastQuestion);
      QVERIFY(host.answers.answers.empty());
      QVERIFY(form.isVisible());
      QVERIFY(!state.ctx.exitRequested);
    }
    QVERIFY(state.dialogs.changed && state.table.changed);
    host.answers.answers = {MsgAnswer::No, MsgAnswer::No};
    form.Action(QStringLiteral("menuExit"))->trigger();
    QVERIFY(state.ctx.exitRequested);
    QVERIFY(!form.isVisible());
  }

  void recentFilesReopenAndAreKeptAndCtrlSSavesTheRom() {
    testing::TempDir dir;
    dir.Write("g.gba", Bytes(16, 0));
    dir.Write("h.gba", Bytes(16, 0));
    const QString kept = ui::ToQ(dir.File("vorkat-window.ini"));
    ScriptedGuiHost host;
    AppState state(host);
    state.ctx.settings.iniPath = dir.File("vorkat2.ini");
    {
      ui::MainForm form(state);
      host.Attach(&form, &state);
      form.UseRecentFiles(kept);
      for (const char* name : {"g.gba", "h.gba"}) {
        host.answers.fileNames = {dir.File(name)};
        form.Action(QStringLiteral("menuOpenRom"))->trigger();
      }
      QMenu* recent = form.findChild<QMenu*>(QStringLiteral("menuRecent"));
      Q_EMIT recent->aboutToShow();
      QCOMPARE(form.Action(QStringLiteral("menuRecentFile1"))->text(),
               QStringLiteral("ROM: ") + ui::ToQ(dir.File("g.gba")));
      form.Action(QStringLiteral("menuRecentFile1"))->trigger();
      QCOMPARE(state.rom.fileName, dir.File("g.gba"));

      state.rom.bytes[0] = 9;
      state.rom.modified = true;
      QCOMPARE(form.Action(QStringLiteral("menuSaveRom"))->shortcut(), QKeySequence(QKeySequence::Save));
      form.Action(QStringLiteral("menuSaveRom"))->trigger();
      QCOMPARE(dir.Read("g.gba").at(0), std::uint8_t{9});
      QVERIFY(!state.rom.modified);
    }
    ui::MainForm again(state);
    host.Attach(&again, &state);
    again.UseRecentFiles(kept);
    QCOMPARE(again.Recent().rom, (std::vector<std::u16string>{dir.File("g.gba"), dir.File("h.gba")}));
  }

  void closingDuringAnOperationAsksFirst() {
    testing::TempDir dir;
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
      ScriptedGuiHost host;
      AppState state(host);
      state.ctx.settings.iniPath = dir.File("vorkat2.ini");
      state.ctx.yieldInterval = std::chrono::milliseconds(0);
      ui::MainForm form(state);
      host.Attach(&form, &state);
      form.show();
      LoadBigTable(state);
      host.answers.answers.push_back(answer);
      host.atNextYield = [&] { form.close(); };
      form.Action(QStringLiteral("menuChTrTable"))->trigger();
      QCOMPARE(host.answers.messages.at(0).text, std::u16string(u"Прервать операцию и выйти?"));
      const bool stopped = state.ctx.log.text.find(u"Операция прервана пользователем...") != std::u16string::npos;
      QCOMPARE(stopped, answer == MsgAnswer::Yes);
      QCOMPARE(state.ctx.exitRequested, answer == MsgAnswer::Yes);  // Yes: the exit sequence ran after the stop
      QCOMPARE(form.isVisible(), answer == MsgAnswer::No);
    }
  }

  void everyMenuItemHasAMnemonicOfItsOwn() {
    ScriptedGuiHost host;
    AppState state(host);
    ui::MainForm form(state);
    QList<QList<QAction*>> menus{form.menuBar()->actions()};
    for (const QMenu* menu : form.findChildren<QMenu*>()) menus << menu->actions();
    for (const QList<QAction*>& actions : menus) {
      QList<QChar> seen;
      for (const QAction* a : actions) {
        if (a->isSeparator()) continue;
        const qsizetype at = a->text().indexOf(QLatin1Char('&'));
        QVERIFY2(at >= 0 && at + 1 < a->text().size(), qPrintable(a->text()));
        const QChar letter = a->text()[at + 1].toLower();
        QVERIFY2(!seen.contains(letter), qPrintable(a->text()));
        seen << letter;
      }
    }
  }

  // Last: Qt's translations stay installed for the rest of the program.
  void standardButtonsSpeakRussian() {
    if (!ui::LoadQtTranslations(*QCoreApplication::instance())) QSKIP("Qt's Russian translations are not installed");
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
  }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
