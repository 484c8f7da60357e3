#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "app/app.h"
#include "core/file_io.h"
#include "core/rom.h"
#include "tests/support/window_fixture.h"
#include "ui/shell/form_commands.h"
#include "tests/support/rom_fixture.h"

using namespace vorkat;

namespace {

struct Fixture : testing::WindowFixture {
  // "Hello" with A = 80 and a = 20 at 0x10 and at 0x30, in 64 bytes.
  void PutRom() {
    std::vector<std::uint8_t> rom(64, 0);
    for (std::size_t at : {0x10, 0x30}) {
      const std::uint8_t word[] = {0x87, 0x24, 0x2B, 0x2B, 0x2E};
      std::copy(std::begin(word), std::end(word), rom.begin() + static_cast<std::ptrdiff_t>(at));
    }
    PutRomBytes(state.rom, rom);
  }
  QWidget* Open() { return WindowFixture::Open("menuRelativeSearch", "RelativeSrchForm"); }
};

}  // namespace

class RelativeSearchFormTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void opensOnlyWithARom() {
    Fixture f;
    QVERIFY(!f.Open());
    QCOMPARE(f.host.logLines.back(), std::u16string(u"ROM еще не загружен"));
    f.PutRom();
    QWidget* w = f.Open();
    QVERIFY(w && w->isVisible());
    QCOMPARE(f.Find<QLineEdit>("fldRangeStart")->text(), QStringLiteral("0"));
    QCOMPARE(f.Find<QLineEdit>("fldRangeEnd")->text(), QStringLiteral("64"));
  }

  void listsTheHitsInTheRangeAndDraftsATableFromTheSelectedOne() {
    Fixture f;
    f.PutRom();
    f.Open();
    f.Find<QLineEdit>("fldWord")->setText(QStringLiteral("Hello"));
    f.Find<QLineEdit>("fldRangeStart")->setText(QStringLiteral("&h11"));
    f.Click("btnStartSearch");
    auto* list = f.Find<QTableView>("lstHits");
    QAbstractItemModel* hits = list->model();
    QCOMPARE(hits->rowCount(), 1);
    QCOMPARE(hits->index(0, 0).data().toString(), QStringLiteral("30"));
    QCOMPARE(hits->index(0, 1).data().toString(), QStringLiteral("A=80 a=20"));
    QVERIFY(hits->index(0, 2).data().toString().contains(QStringLiteral("Hello")));
    QCOMPARE(f.Find<QLabel>("lblHitCount")->text(), QStringLiteral("Найдено совпадений 1"));
    QVERIFY(!f.Find<QPushButton>("btnMakeTable")->isEnabled());

    const std::u16string out = f.File("draft.tbl");
    f.host.fileNames = {out};
    list->selectRow(0);
    f.Click("btnMakeTable");
    const auto bytes = ReadFileBytes(out);
    QVERIFY(bytes);
    const std::u16string text = DecodeTextFile(*bytes);
    QVERIFY(StartsWith(text, u"TRTABLETYPE=SBCS\r\n20=a\r\n"));
    QVERIFY(text.find(u"\r\n80=A\r\n") != std::u16string::npos);
  }

  void enterSearchesAndAnotherRomDropsTheHits() {
    Fixture f;
    f.PutRom();
    QWidget* w = f.Open();
    QTest::keyClicks(f.Find<QLineEdit>("fldWord"), QStringLiteral("Hello"));
    QTest::keyClick(f.Find<QLineEdit>("fldWord"), Qt::Key_Return);
    QAbstractItemModel* hits = f.Find<QTableView>("lstHits")->model();
    QCOMPARE(hits->rowCount(), 2);

    f.dir.Write("other.gba", Bytes(64, 0));
    OpenRom(f.state, f.File("other.gba"));
    QVERIFY(!hits->index(0, 0).data().isValid());  // nothing is read from the other ROM
    w->hide();
    w->show();
    QCOMPARE(hits->rowCount(), 0);
    QCOMPARE(f.Find<QLabel>("lblHitCount")->text(), QString());
  }
};

QTEST_MAIN(RelativeSearchFormTest)
#include "relative_search_form_test.moc"
