#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "app/app.h"
#include "app/state.h"
#include "core/pointer_format.h"
#include "tests/support/window_fixture.h"
#include "ui/insert/free_space_bar.h"
#include "ui/insert/free_space_map_window.h"
#include "ui/shell/form_commands.h"
#include "tests/support/rom_fixture.h"

using namespace vorkat;

namespace {

// A state, a stand-in main window and the address window opened through its menu command.
struct Fixture : testing::WindowFixture {
  QWidget* Open() { return WindowFixture::Open("menuCalcPtrsAndPutDialogs", "RecalcPtrsandInsert"); }
  void PutRom(const std::vector<std::uint8_t>& bytes) { PutRomBytes(state.rom, bytes); }
};

}  // namespace

class InsertFormsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void offsetFormatAndDeclaredTableWindowsRunTheirCommands();

  void loadingFillsTheFieldsFromTheState() {
    Fixture f;
    f.state.insertion.FreeSpaceStartAddr = 0x100;
    f.state.insertion.FreeSpaceEndAddr = 0x300;
    f.state.insertion.AddressAlignBy = 4;
    f.state.insertion.CheckByMod4 = true;
    QWidget* w = f.Open();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Разложить диалоги по ROM'у"));
    QCOMPARE(f.Field("fldFreeSpaceStartAddr")->text(), QStringLiteral("256"));
    QCOMPARE(f.Field("fldFreeSpaceEndAddr")->text(), QStringLiteral("768"));
    QCOMPARE(f.Field("fldAllignBy")->text(), QStringLiteral("4"));
    QCOMPARE(f.Field("fldDialogsAutoGapBytes")->text(), QStringLiteral("1"));
    QCOMPARE(f.Find<QLabel>("lblwinsize")->text(), QStringLiteral("512"));
    QVERIFY(f.Find<QCheckBox>("fldMod4Check")->isChecked());
    QVERIFY(!f.Find<QCheckBox>("fldCreateInsertionLogs")->isChecked());
    QCOMPARE(f.Find<QPushButton>("Command1")->text(), QStringLiteral("Предложить ..."));
    QCOMPARE(f.Find<QPushButton>("btnTillTheEnd")->text(), QStringLiteral("До конца ROM'а"));
    QCOMPARE(f.Find<QPushButton>("btnOK")->text(), QStringLiteral("Продолжить"));
    QCOMPARE(f.Find<QPushButton>("btnCancel")->text(), QStringLiteral("Отмена"));
    // Opening again finds the same window.
    QCOMPARE(f.Open(), w);
    QCOMPARE(f.main->findChildren<QDialog*>().size(), 1);
  }

  void typingSetsTheParametersButAlignmentOnlyToAnAcceptedValue() {
    Fixture f;
    f.Open();
    f.Retype("fldFreeSpaceStartAddr", QStringLiteral(" &h1000 "));
    f.Retype("fldFreeSpaceEndAddr", QStringLiteral("8192"));
    f.Retype("fldDialogsAutoGapBytes", QStringLiteral("3"));
    QCOMPARE(f.state.insertion.FreeSpaceStartAddr, 0x1000);
    QCOMPARE(f.state.insertion.FreeSpaceEndAddr, 8192);
    QCOMPARE(f.state.insertion.DialogsAutoGapBytes, 3);
    // The free size follows the typing.
    QCOMPARE(f.Find<QLabel>("lblwinsize")->text(), QStringLiteral("4096"));

    f.Retype("fldAllignBy", QStringLiteral("8"));
    QCOMPARE(f.state.insertion.AddressAlignBy, 8);
    f.Retype("fldAllignBy", QStringLiteral("3"));
    QCOMPARE(f.state.insertion.AddressAlignBy, 8);

    // Enter in a field starts nothing.
    QTest::keyClick(f.Field("fldDialogsAutoGapBytes"), Qt::Key_Return);
    QVERIFY(f.main->findChild<QWidget*>(QStringLiteral("RecalcPtrsandInsert"))->isVisible());
    QVERIFY(f.state.ctx.log.text.empty());

    // A negative gap or alignment is refused aloud; no negative value is taken.
    f.Retype("fldDialogsAutoGapBytes", QStringLiteral("-30"));
    f.Retype("fldAllignBy", QStringLiteral("-4"));
    QVERIFY(f.state.insertion.DialogsAutoGapBytes >= 0);
    QVERIFY(f.state.insertion.AddressAlignBy >= 0);
    QVERIFY(f.state.ctx.log.text.find(u"DialogsAutoGapBytes не может быть отрицательным (-30)") !=
            std::u16string::npos);
    QVERIFY(f.state.ctx.log.text.find(u"AddressAlignBy не может быть отрицательным (-4)") != std::u16string::npos);
    f.Retype("fldDialogsAutoGapBytes", QStringLiteral("3"));
    f.Retype("fldAllignBy", QStringLiteral("8"));

    QTest::mouseClick(f.Find<QCheckBox>("fldMod4Check"), Qt::LeftButton);
    QVERIFY(f.state.insertion.CheckByMod4);

    // Cancel hides the window and shows the values in force again.
    f.Click("btnCancel");
    QVERIFY(!f.main->findChild<QWidget*>(QStringLiteral("RecalcPtrsandInsert"))->isVisible());
    QCOMPARE(f.Field("fldAllignBy")->text(), QStringLiteral("8"));
    QCOMPARE(f.Find<QLabel>("lblwinsize")->text(), QStringLiteral("4096"));
  }

  void suggestAndTillTheEndNeedARom() {
    Fixture f;
    f.Open();
    f.Click("Command1");
    f.Click("btnTillTheEnd");
    QCOMPARE(f.host.messages.size(), std::size_t{2});
    QCOMPARE(f.host.messages[0].text, std::u16string(u"ROM еще не загружен"));
    QCOMPARE(SplitCrLf(f.state.ctx.log.text).size(), std::size_t{2});

    std::vector<std::uint8_t> rom(0x400, 0xFF);
    rom[0x1FF] = 0x12;
    f.PutRom(rom);
    f.Retype("fldFreeSpaceEndAddr", QStringLiteral("9999999"));
    QCOMPARE(f.Find<QLabel>("lblwinsize")->text(),  // the total follows the typing
             QString::number(9999999 - f.state.insertion.FreeSpaceStartAddr));
    f.Click("Command1");
    QCOMPARE(f.Field("fldFreeSpaceEndAddr")->text(), QStringLiteral("1024"));  // the range stays inside the ROM
    f.Click("btnTillTheEnd");
    QCOMPARE(f.Field("fldFreeSpaceStartAddr")->text(), QStringLiteral("513"));
    QCOMPARE(f.Field("fldFreeSpaceEndAddr")->text(), QStringLiteral("1024"));
    QCOMPARE(f.state.insertion.FreeSpaceStartAddr, 0x201);
    QCOMPARE(f.state.insertion.FreeSpaceEndAddr, 0x400);
    QCOMPARE(f.Find<QLabel>("lblwinsize")->text(), QStringLiteral("511"));
  }

  void insertionLogCheckBoxShowsTheLogName() {
    Fixture f;
    f.state.dialogs.fileName = u"/tmp/game/script.txt";
    f.Open();
    auto* box = f.Find<QCheckBox>("fldCreateInsertionLogs");
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(f.state.insertOptions.CreateInsertionLogs);
    QCOMPARE(f.Find<QLabel>("lblLogFileName")->text(), QStringLiteral("/tmp/game/script.log"));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!f.state.insertOptions.CreateInsertionLogs);
    QCOMPARE(f.Find<QLabel>("lblLogFileName")->text(), QString());
  }

  // "0x4000" once read as 0 and the dialogs went over the ROM header.
  void aTypedAddressIsReadOrRefusedNamingTheField() {
    Fixture f;
    f.state.dialogs.isLoaded = true;
    f.Open();
    f.Retype("fldFreeSpaceStartAddr", QStringLiteral("0x4000"));
    QCOMPARE(f.state.insertion.FreeSpaceStartAddr, 0x4000);
    f.Retype("fldFreeSpaceStartAddr", QStringLiteral("$4000"));
    QCOMPARE(f.state.insertion.FreeSpaceStartAddr, 0x4000);  // kept while the text is no number
    f.Click("btnOK");
    QVERIFY(f.main->findChild<QWidget*>(QStringLiteral("RecalcPtrsandInsert"))->isVisible());
    QVERIFY(!f.host.messages.empty());
    const std::u16string& refusal = f.host.messages.back().text;
    QVERIFY(refusal.find(u"Адрес начала 'свободного' места в ROM") != std::u16string::npos);
    QVERIFY(refusal.find(u"\"$4000\" не число") != std::u16string::npos);
    QVERIFY(f.state.ctx.log.text.find(u"Начинаем расчет") == std::u16string::npos);
  }

  void anEmptyPadByteIsRefusedWhenPlacingInPlace() {
    Fixture f;
    f.state.dialogs.isLoaded = true;
    f.state.insertOptions.PadByte = 0xFF;
    f.Open();
    f.Find<QCheckBox>("fldInPlace")->setChecked(true);
    f.Field("fldPadByte")->clear();
    f.Click("btnOK");
    QVERIFY(f.main->findChild<QWidget*>(QStringLiteral("RecalcPtrsandInsert"))->isVisible());
    QVERIFY(!f.host.messages.empty());
    QVERIFY(f.host.messages.back().text.find(u"остаток заполнять байтом (hex)") != std::u16string::npos);
    QVERIFY(f.state.ctx.log.text.find(u"Начинаем расчет") == std::u16string::npos);
  }

  void continueWithoutDialogsOnlyReports() {
    Fixture f;
    f.Open();
    f.Click("btnOK");
    QCOMPARE(f.state.ctx.log.text, std::u16string(u"Диалоги еще не загружены"));
    QVERIFY(!f.main->findChild<QWidget*>(QStringLiteral("RecalcPtrsandInsert"))->isVisible());
  }

  void continuePlacesAndInsertsTheDialogs() {
    Fixture f;
    std::vector<std::uint8_t> rom(0x200, 0x00);
    rom[0x20] = 0x50, rom[0x21] = 0x00, rom[0x22] = 0x00, rom[0x23] = 0x08;  // pointer to 0x50
    f.PutRom(rom);
    f.state.table.entries[u'A'] = u"A";
    f.state.table.entries[u'B'] = u"B";
    f.state.table.tokenCount = 2;
    f.state.table.isLoaded = true;
    DialogRecord d;
    d.dlgID = u"80";
    d.ExtractedFromAddr = u"50";
    d.dlgText = u"ABBA";
    f.state.dialogs.records = {d, DialogRecord{}};
    f.state.dialogs.lastIndex = 0;
    f.state.dialogs.isLoaded = true;

    f.Open();
    f.Retype("fldFreeSpaceStartAddr", QStringLiteral("256"));
    f.Click("btnTillTheEnd");
    f.Click("btnOK");
    QCOMPARE(f.state.dialogs.records[0].NewDlgAddr, std::u16string(u"100"));
    QCOMPARE(f.state.rom.bytes[0x100], std::uint8_t{'A'});
    QCOMPARE(f.state.rom.bytes[0x103], std::uint8_t{'A'});
    QCOMPARE(f.state.rom.bytes[0x21], std::uint8_t{0x01});  // the pointer now leads to 0x100
    QCOMPARE(f.state.insertion.FreeSpaceStartAddr, 0x105);
    QCOMPARE(f.Field("fldFreeSpaceStartAddr")->text(), QStringLiteral("261"));  // fields reloaded
    QCOMPARE(f.state.ctx.busy, 0);
  }

  // Free space 100..1FF, zone 140..14F: dialogs of 0x30, 0x30, 0x80 bytes;
  // the third fits nowhere. The map is a dry run and names what is hovered.
  void mapButtonShowsTheDryRunAndHoverNamesTheDialog() {
    Fixture f;
    f.PutRom(std::vector<std::uint8_t>(0x400, 0xFF));
    f.state.table.entries[u'x'] = u"x";
    f.state.table.entries[0] = u"<$END>";
    f.state.table.type = u"SBCS";
    f.state.table.tokenCount = 2;
    f.state.table.isLoaded = true;
    for (int k : {0, 1, 2}) {
      DialogRecord d;
      d.dlgID = u"d" + std::u16string(1, static_cast<char16_t>(u'0' + k));
      d.ExtractedFromAddr = u"10";
      d.dlgText = std::u16string(k == 2 ? 0x7F : 0x2F, u'x') + u"<$END>";
      f.state.dialogs.records.push_back(d);
    }
    f.state.dialogs.records.emplace_back();
    f.state.dialogs.lastIndex = 2;
    f.state.dialogs.isLoaded = true;
    f.state.insertion.FreeSpaceStartAddr = 0x100;
    f.state.insertion.FreeSpaceEndAddr = 0x200;
    f.state.insertion.IgnoreRomZones = {RomZone{0x140, 0x14F}};

    f.Open();
    f.Click("btnFreeSpaceMap");
    auto* map = f.Find<ui::FreeSpaceMapForm>("FreeSpaceMap");
    QVERIFY(map && map->isVisible());
    QVERIFY(map->layout().dryRun);
    QVERIFY(f.state.dialogs.records[0].NewDlgAddr.empty());  // nothing placed for real
    QVERIFY(f.Find<QLabel>("lblFreeSpaceSummary")->text().contains(QStringLiteral("не поместилось 1")));
    auto* bar = f.Find<ui::FreeSpaceBar>("barFreeSpace");
    const int inner = bar->width() - 16;
    QVERIFY(bar->TipAt(QPoint(8 + inner / 20, 20)).startsWith(QStringLiteral("Dialog ID=d0, 48 байт, адрес 100")));
    QVERIFY(bar->TipAt(QPoint(8 + inner * 18 / 64, 20)).startsWith(QStringLiteral("игнорируемая зона")));
    QVERIFY(bar->TipAt(QPoint(9, 8 + 40 + 14 + 5)).startsWith(QStringLiteral("Dialog ID=d2, 128 байт, не поместился")));
    QCOMPARE(f.state.ctx.busy, 0);
  }
};

void InsertFormsTest::offsetFormatAndDeclaredTableWindowsRunTheirCommands() {
  {
    testing::WindowFixture f;
    QVERIFY(f.Open("menuPtrFormatOffset", "OffsetPointerFormat"));
    f.Retype("fldPtrBase", QStringLiteral("&h10000"));
    f.Find<QCheckBox>("fldPtrBigEndian")->setChecked(true);
    f.Click("btnOK");
    QVERIFY(f.state.ctx.settings.PtrFormat == PointerFormat::Offset(2, 0x10000, true));
    // A base it refuses leaves the window open over the earlier offset format.
    QVERIFY(f.Open("menuPtrFormatOffset", "OffsetPointerFormat"));
    f.Retype("fldPtrBase", QStringLiteral("-16"));
    f.Click("btnOK");
    QVERIFY(f.state.ctx.settings.PtrFormat == PointerFormat::Offset(2, 0x10000, true));
    QVERIFY(f.main->findChild<QWidget*>(QStringLiteral("OffsetPointerFormat"))->isVisible());
    QVERIFY(f.host.messages.back().text.find(u"база не может быть отрицательной (-16)") != std::u16string::npos);
  }
  testing::WindowFixture f;
  PutRomBytes(f.state.rom, std::vector<std::uint8_t>(0x100, 0x00));
  f.state.ctx.settings.PtrFormat = PointerFormat::Offset(2, 0, false);
  QVERIFY(f.Open("menuPointerTable", "PointerTableForm"));
  f.Retype("fldTableStart", QStringLiteral("&h10"));
  f.Retype("fldTableCount", QStringLiteral("4"));
  f.Retype("fldTableReport", QString::fromStdU16String(f.File("table.txt")));
  f.Click("btnReadTable");
  QVERIFY(f.dir.ReadText("table.txt").find(u"Всего найдено поинтеров  4") != std::u16string::npos);
}

QTEST_MAIN(InsertFormsTest)
#include "insert_forms_test.moc"
