#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <memory>

#include "app/app.h"
#include "tests/support/window_fixture.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/form_commands.h"
#include "ui/viewer/rom_viewer_window.h"
#include "tests/support/rom_fixture.h"

using namespace vorkat;

namespace {

struct Fixture : testing::WindowFixture {
  void PutRom(std::size_t size) {
    PutRomFill(state.rom, size, 0, u"game.gba");
    for (std::size_t i = 0; i < size; ++i) state.rom.bytes[i] = static_cast<std::uint8_t>(0x41 + i % 26);
  }
  void Run(const char* menu) { ui::FindFormCommand(menu)->open(main.get(), state); }
};

}  // namespace

class RomViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void withoutRomTheViewerDoesNotOpen() {
    Fixture f;
    f.Run("menuROMViewer");
    QVERIFY(!f.Find<ui::ROMView>("ROMView"));
    QCOMPARE(f.host.logLines.back(), std::u16string(u"ROM еще не загружен"));
  }

  void keysMoveTheCursorAndABlockIsDumped() {
    Fixture f;
    f.PutRom(4096);
    f.Run("menuROMViewer");
    auto* view = f.Find<ui::ROMView>("ROMView");
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QCOMPARE(view->windowTitle(), QStringLiteral("VorkatFile Viewer (game.gba)"));
    QWidget* hex = f.Find<QWidget>("HexView");
    const ViewerModel& m = view->model();
    QVERIFY(m.Columns > 1 && m.Rows > 1);
    QCOMPARE(view->page().hex.substr(0, 6), std::u16string(u"41 42 "));

    QTest::keyClick(hex, Qt::Key_Right);
    QTest::keyClick(hex, Qt::Key_Down);
    QCOMPARE(CursorAddress(m), m.Columns + 1);
    QTest::keyClick(hex, Qt::Key_S);
    QTest::keyClick(hex, Qt::Key_Right);
    QTest::keyClick(hex, Qt::Key_Right);
    QTest::keyClick(hex, Qt::Key_E);
    QCOMPARE(
        f.Find<QLabel>("statusline")->text(),
        QStringLiteral("Адрес начала блока для дампа= %1 адрес конца блока= %2").arg(m.Columns + 1).arg(m.Columns + 3));
    QTest::keyClick(hex, Qt::Key_PageDown);
    QCOMPARE(m.ViewTop, m.Columns * m.Rows);
    QVERIFY(f.Find<QLabel>("Text1")->text().endsWith(QStringLiteral(")")));

    f.host.fileNames.push_back(f.dir.File("block.bin"));
    QTest::keyClick(hex, Qt::Key_W);
    const Bytes written = f.dir.Read("block.bin");
    QCOMPARE(written.size(), std::size_t{3});
    QCOMPARE(written[0], f.state.rom.bytes[static_cast<std::size_t>(m.Columns + 1)]);
    for (char16_t c = u'A'; c <= u'Z'; ++c) f.state.table.entries[c] = std::u16string(1, c);
    f.state.table.type = u"SBCS";
    f.state.table.isLoaded = true;
    f.host.fileNames.push_back(f.dir.File("block.txt"));
    QTest::keyClick(hex, Qt::Key_D);
    std::u16string expected;  // the record stops before the block's end
    for (int i = m.Columns + 1; i < m.Columns + 3; ++i) expected += static_cast<char16_t>(0x41 + i % 26);
    QVERIFY(f.dir.ReadText("block.txt").find(expected) != std::u16string::npos);

    // A search from the menu fills the shown viewer's jump list and its own
    // hit list. The table's warning about a character it lacks is said once,
    // when the search starts, not at every keystroke.
    f.Run("menuROMSearcher");
    auto countWarnings = [&] {
      return std::count_if(f.host.logLines.begin(), f.host.logLines.end(),
                           [](const std::u16string& line) { return line.ends_with(u"='#'"); });
    };
    QTest::keyClicks(f.Find<QLineEdit>("TextFld"), QStringLiteral("Z#A"));
    QCOMPARE(countWarnings(), 0);
    f.Find<QLineEdit>("HexFld")->setText(QStringLiteral("5A41"));
    QTest::mouseClick(f.Find<QPushButton>("RunBtn"), Qt::LeftButton);
    QCOMPARE(countWarnings(), 1);
    auto* jumps = f.Find<QComboBox>("JumpList");
    QCOMPARE(jumps->count(), 4096 / 26);
    QCOMPARE(jumps->itemText(0), QStringLiteral("25"));
    jumps->setCurrentIndex(1);
    QTest::mouseClick(f.Find<QPushButton>("btnJumpToAddr"), Qt::LeftButton);
    QCOMPARE(m.ViewTop, 51);
    auto* hits = f.Find<QListView>("lstHits");
    QCOMPARE(hits->model()->rowCount(), 4096 / 26);
    const QRect third = hits->visualRect(hits->model()->index(2, 0));
    QTest::mouseClick(hits->viewport(), Qt::LeftButton, {}, third.center());
    QTest::mouseDClick(hits->viewport(), Qt::LeftButton, {}, third.center());
    QCOMPARE(m.ViewTop, 77);
  }

  void russianLayoutKeysAndASelectionCopiedFromTheTextPane() {
    Fixture f;
    f.PutRom(4096);
    f.Run("menuROMViewer");
    auto* view = f.Find<ui::ROMView>("ROMView");
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QWidget* hex = f.Find<QWidget>("HexView");
    const ViewerModel& m = view->model();
    QTest::keyClick(hex, Qt::Key_Right);
    // Under the Russian layout the S key reports the letter "Ы".
    QKeyEvent russianS(QEvent::KeyPress, u'Ы', Qt::NoModifier, QStringLiteral("ы"));
    QApplication::sendEvent(hex, &russianS);
    QCOMPARE(m.BlockStart, 1);

    // Shift+arrows select in the text pane once selection is allowed; Ctrl+C
    // (Ctrl+С under the Russian layout) copies what the pane shows.
    f.Find<QAction>("menuEnableTextSelection")->trigger();
    QWidget* text = f.Find<QWidget>("TxtView");
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(view->charWidth() * 2 + 4, view->lineHeight() + 4));
    QCOMPARE(CursorAddress(m), m.Columns + 2);
    for (int i = 0; i < 3; ++i) QTest::keyClick(text, Qt::Key_Right, Qt::ShiftModifier);
    QKeyEvent russianCopy(QEvent::KeyPress, u'С', Qt::ControlModifier, QStringLiteral("с"));
    QApplication::sendEvent(text, &russianCopy);
    QString expected;
    for (int i = m.Columns + 2; i < m.Columns + 6; ++i) expected += QChar(0x41 + i % 26);
    QCOMPARE(QApplication::clipboard()->text(), expected);
    hex->setFocus();
    QTest::keyClick(hex, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text().split(QLatin1Char(' ')).size(), 4);
    QCOMPARE(view->page().selectedTo - view->page().selectedFrom, 4);
  }

  void bytesTypedInAreUndone() {
    Fixture f;
    f.PutRom(64);
    f.Run("menuROMViewer");
    auto* view = f.Find<ui::ROMView>("ROMView");
    QVERIFY(view);
    QTimer::singleShot(0, view, [&] {
      auto* form = QApplication::activeModalWidget();
      QVERIFY(form);
      form->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("zz"));
      form->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    QTest::keyClick(f.Find<QWidget>("HexView"), Qt::Key_Insert);
    QCOMPARE(view->page().hex.substr(0, 6), std::u16string(u"7A 7A "));
    QAction* undo = f.Find<QAction>("menuUndoBytes");
    QCOMPARE(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    undo->trigger();
    QCOMPARE(view->page().hex.substr(0, 6), std::u16string(u"41 42 "));
    QCOMPARE(f.state.rom.bytes[1], std::uint8_t{0x42});
  }
};

QTEST_MAIN(RomViewTest)
#include "rom_view_test.moc"
