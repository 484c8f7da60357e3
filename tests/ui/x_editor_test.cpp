#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <memory>

#include "app/app.h"
#include "font/font_commands.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "ui/editor/x_editor_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/gui_host.h"

using namespace vorkat;

namespace {

struct Fixture {
  Fixture() {
    state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat);
    state.ctx.yieldInterval = std::chrono::milliseconds(0);
  }

  // Writes the dialogs as a dialogs file and loads it as the menu does.
  void LoadFile(const std::vector<std::u16string>& texts) {
    DialogSet set;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      DialogRecord d;
      d.dlgID = DecText(static_cast<long long>(100 + i));
      d.ExtractedFromAddr = HexText(100 + i);
      d.dlgText = texts[i];
      set.records.push_back(d);
    }
    set.lastIndex = static_cast<std::int32_t>(texts.size()) - 1;
    dir.WriteText("script.txt", DialogsFileText(set, state.ctx.settings));
    state.dialogs.fileName = dir.File("script.txt");
    LoadDialogs(state, true);
  }
  ui::XEditorForm* Open() {
    ui::FindFormCommand("menuXXEditor")->open(main.get(), state);
    return main->findChild<ui::XEditorForm*>(QStringLiteral("xEditor"));
  }
  template <class T>
  T* Find(const char* name) {
    return main->findChild<T*>(QLatin1String(name));
  }
  QListView* List() { return Find<QListView>("lstDialogs"); }
  QPlainTextEdit* Box() { return Find<QPlainTextEdit>("txtDialog"); }
  QPushButton* AcceptButton() { return Find<QPushButton>("btnAcceptChanges"); }
  QString Row(int row) { return List()->model()->index(row, 0).data().toString(); }
  void Select(int row) { List()->setCurrentIndex(List()->model()->index(row, 0)); }
  void OpenRow(int row) {
    Select(row);
    QTest::keyClick(List(), Qt::Key_Return);
  }
  void Trigger(const char* item) { Find<QAction>(item)->trigger(); }
  void Retype(const char* name, const QString& text) {
    auto* f = Find<QLineEdit>(name);
    f->selectAll();
    if (text.isEmpty())
      QTest::keyClick(f, Qt::Key_Backspace);
    else
      QTest::keyClicks(f, text);
  }

  vorkat::testing::TempDir dir;
  ScriptedHost host;
  AppState state{host};
  std::unique_ptr<QWidget> main = std::make_unique<QWidget>();
};

}  // namespace

class XEditorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void opensOnlyWithDialogs() {
    Fixture f;
    QVERIFY(!f.Open());
    QCOMPARE(f.state.ctx.log.text, std::u16string(u"Диалоги еще не загружены"));
  }

  void openEditAcceptSaveSearchAndReplace() {
    Fixture f;
    f.LoadFile({u"first line\r\nsecond line", u"Hello world", u"another hello"});
    ui::XEditorForm* editor = f.Open();
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(f.List()->model()->rowCount(), 3);
    QCOMPARE(f.Row(0), QStringLiteral("first linesecond line"));

    f.OpenRow(0);
    QCOMPARE(editor->currentDialogIndex(), 0);
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("first line\nsecond line"));
    QVERIFY(!f.AcceptButton()->isEnabled());
    f.Box()->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.Box(), QStringLiteral("!"));
    QVERIFY(f.AcceptButton()->isEnabled());
    QTest::keyClick(f.Box(), Qt::Key_Backspace);
    QVERIFY(!f.AcceptButton()->isEnabled());
    QTest::keyClick(f.Box(), Qt::Key_Return);
    QTest::keyClicks(f.Box(), QStringLiteral("third"));
    QTest::mouseClick(f.AcceptButton(), Qt::LeftButton);
    QCOMPARE(f.state.dialogs.records[0].dlgText, std::u16string(u"first line\r\nsecond line\r\nthird"));
    QVERIFY(f.state.dialogs.changed);
    QCOMPARE(f.Row(0), QStringLiteral("first linesecond linethird"));

    // Search in this dialog is exact; F7 asks, Shift+F7 goes on from the hit.
    f.host.inputs = {u"line"};
    f.Box()->moveCursor(QTextCursor::Start);
    QTest::keyClick(f.Box(), Qt::Key_F7);
    QCOMPARE(f.Box()->textCursor().selectedText(), QStringLiteral("line"));
    QTest::keyClick(f.Box(), Qt::Key_F7, Qt::ShiftModifier);
    QCOMPARE(f.Box()->textCursor().selectionStart(), 18);  // "second line" on the second line

    const std::u16string saved = f.dir.File("saved.txt");
    f.host.fileNames = {saved};
    f.Trigger("menuSaveDialogs");
    QVERIFY(!f.state.dialogs.changed);
    QVERIFY(f.dir.ReadText("saved.txt").find(u"second line\r\nthird") != std::u16string::npos);

    // The list search ignores case and shows the found dialog; the status line says when nothing is found.
    f.host.inputs = {u"HELLO"};
    QTest::keyClick(f.List(), Qt::Key_F7);
    QCOMPARE(f.List()->currentIndex().row(), 1);
    QTest::keyClick(f.List(), Qt::Key_F7, Qt::ShiftModifier);
    QCOMPARE(f.List()->currentIndex().row(), 2);
    QCOMPARE(editor->currentDialogIndex(), 2);
    QCOMPARE(f.Box()->toPlainText(), ui::ToQ(f.state.dialogs.records[2].dlgText));
    QTest::keyClick(f.List(), Qt::Key_F7, Qt::ShiftModifier);
    QVERIFY(editor->statusBar()->currentMessage().contains(QStringLiteral("HELLO")));
    f.OpenRow(0);

    // F10 opens the menu bar.
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    QTest::keyClick(f.List(), Qt::Key_F10);
    QVERIFY(editor->menuBar()->activeAction());
    QTest::keyClick(editor->menuBar(), Qt::Key_Escape);

    // Replace in all dialogs from the list.
    f.host.inputs = {u"line", u"row"};
    QTest::keyClick(f.List(), Qt::Key_H, Qt::ControlModifier);
    QCOMPARE(f.state.dialogs.records[0].dlgText, std::u16string(u"first row\r\nsecond row\r\nthird"));
    QCOMPARE(f.Row(0), QStringLiteral("first rowsecond rowthird"));
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("first row\nsecond row\nthird"));

    // Edit > Undo takes the replacement back, list and text box included; then
    // Ctrl+Z the accepted edit (saved since, so the dialogs are changed again).
    f.Trigger("menuUndo");
    QCOMPARE(f.state.dialogs.records[0].dlgText, std::u16string(u"first line\r\nsecond line\r\nthird"));
    QCOMPARE(f.Row(0), QStringLiteral("first linesecond linethird"));
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("first line\nsecond line\nthird"));
    QVERIFY(!f.state.dialogs.changed);
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    f.List()->setFocus();
    QTest::keyClick(f.List(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.state.dialogs.records[0].dlgText, std::u16string(u"first line\r\nsecond line"));
    QVERIFY(f.state.dialogs.changed);
  }

  void unacceptedEditIsAskedAboutBeforeMoving() {
    Fixture f;
    f.LoadFile({u"one", u"two"});
    ui::XEditorForm* editor = f.Open();
    f.OpenRow(0);
    QTest::keyClicks(f.Box(), QStringLiteral("X"));
    f.host.answers = {MsgAnswer::Cancel};
    f.OpenRow(1);
    QCOMPARE(editor->currentDialogIndex(), 0);
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("Xone"));
    f.host.answers = {MsgAnswer::No};
    f.OpenRow(1);
    QCOMPARE(editor->currentDialogIndex(), 1);
    QCOMPARE(f.state.dialogs.records[0].dlgText, std::u16string(u"one"));
    QTest::keyClicks(f.Box(), QStringLiteral("Y"));
    f.host.answers = {MsgAnswer::Yes};
    f.OpenRow(0);
    QCOMPARE(f.state.dialogs.records[1].dlgText, std::u16string(u"Ytwo"));
    QCOMPARE(f.host.messages.size(), std::size_t{3});
  }

  void propertiesWindowEditsAndUpdates() {
    Fixture f;
    f.LoadFile({u"one", u"two"});
    f.state.dialogs.records[1].DoPointerChange = u"y";
    ui::XEditorForm* editor = f.Open();
    f.OpenRow(1);
    f.Trigger("menuViewDLGProp");
    auto* props = f.Find<QWidget>("DlgProps");
    QVERIFY(props && props->isVisible());
    QVERIFY(f.Find<QAction>("menuViewDLGProp")->isChecked());
    QCOMPARE(f.Find<QLineEdit>("flddlgID")->text(), QStringLiteral("101"));
    QVERIFY(f.Find<QCheckBox>("CheckfldDoPtChange")->isChecked());
    auto* update = f.Find<QPushButton>("btnUpdateDlgProps");
    QVERIFY(!update->isEnabled());

    f.Retype("fldNewDlgAddr", QStringLiteral("1F000"));
    QVERIFY(update->isEnabled());
    f.Retype("fldNewDlgAddr", QString());
    QVERIFY(!update->isEnabled());
    f.Retype("fldPtrsAddrZones", QStringLiteral("100 : 200 ; 300"));
    QTest::keyClick(f.Find<QCheckBox>("CheckfldDoPtChange"), Qt::Key_Space);
    QCOMPARE(f.Find<QLineEdit>("fldDoPointerChange")->text(), QString());
    QTest::mouseClick(update, Qt::LeftButton);
    QCOMPARE(f.state.dialogs.records[1].PtrsAddrZones, std::u16string(u"100:200;300"));
    QCOMPARE(f.state.dialogs.records[1].DoPointerChange, std::u16string());
    QCOMPARE(f.Find<QLineEdit>("fldPtrsAddrZones")->text(), QStringLiteral("100:200;300"));
    QVERIFY(!update->isEnabled());
    QVERIFY(f.state.dialogs.changed);
    // Edit > Undo takes the update back, the window's fields included.
    f.Trigger("menuUndo");
    QCOMPARE(f.state.dialogs.records[1].PtrsAddrZones, std::u16string());
    QCOMPARE(f.Find<QLineEdit>("fldPtrsAddrZones")->text(), QString());
    QVERIFY(!f.state.dialogs.changed);

    // Moving with a pending edit asks the close question; Yes keeps the edit.
    f.Retype("flddlgComments", QStringLiteral("note"));
    f.host.answers = {MsgAnswer::Yes};
    f.OpenRow(0);
    QCOMPARE(f.host.messages.back().text, std::u16string(u"Будем сохранять изменения в Диалогах ?"));
    QCOMPARE(f.state.dialogs.records[1].dlgComments, std::u16string(u"note"));
    QCOMPARE(f.Find<QLineEdit>("flddlgID")->text(), QStringLiteral("100"));
    QCOMPARE(editor->currentDialogIndex(), 0);

    // Closing with a pending edit and No leaves the dialog as it was.
    f.Retype("flddlgComments", QStringLiteral("other"));
    f.host.answers = {MsgAnswer::No};
    f.Trigger("menuViewDLGProp");
    QVERIFY(!props->isVisible());
    QVERIFY(!f.Find<QAction>("menuViewDLGProp")->isChecked());
    QCOMPARE(f.state.dialogs.records[0].dlgComments, std::u16string());
  }

  void wrapOverAllDialogsRefreshesTheEditorAndUndoes() {
    Fixture f;
    f.LoadFile({u"AAAA AAAA AAAA", u"AA"});
    f.state.fdt.lines = {u"8,12=FontWidthFontHeight", u"6,a.bmp=A", u"4,s.bmp=<$SPACE>", u"0_NEWLINE,n.bmp=\\"};
    ReparseFontDescription(f.state);
    f.Open();
    f.OpenRow(0);
    f.host.inputs = {u"50", u"\\", u"0"};
    f.Trigger("menuWrapAllDialogs");
    QCOMPARE(f.state.dialogs.records[0].dlgText, std::u16string(u"AAAA\\AAAA\\AAAA"));
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("AAAA\\AAAA\\AAAA"));
    QCOMPARE(f.Row(0), QStringLiteral("AAAA\\AAAA\\AAAA"));
    f.Trigger("menuUndo");
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("AAAA AAAA AAAA"));
    QVERIFY(!f.state.dialogs.changed);
  }

  void fortyThousandDialogsAreAllListedAndSearchable() {
    Fixture f;
    std::vector<std::u16string> texts(40000, u"filler text\r\nline");
    texts.back() = u"the very LAST one";
    f.LoadFile(texts);
    ui::XEditorForm* editor = f.Open();
    QCOMPARE(f.List()->model()->rowCount(), 40000);
    QCOMPARE(f.Row(39999), QStringLiteral("the very LAST one"));
    f.host.inputs = {u"last"};
    QTest::keyClick(f.List(), Qt::Key_F7);
    QCOMPARE(f.List()->currentIndex().row(), 39999);
    QTest::keyClick(f.List(), Qt::Key_Return);
    QCOMPARE(editor->currentDialogIndex(), 39999);
    QCOMPARE(f.Box()->toPlainText(), QStringLiteral("the very LAST one"));
    QVERIFY(f.host.messages.empty());
  }
};

QTEST_MAIN(XEditorTest)
#include "x_editor_test.moc"
