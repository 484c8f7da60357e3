#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "app/app.h"
#include "core/file_io.h"
#include "tests/support/window_fixture.h"
#include "ui/shell/form_commands.h"
#include "tests/support/rom_fixture.h"

using namespace vorkat;

namespace {

// A state with a small ROM and table, a stand-in main window and the
// extraction windows opened through their menu commands.
struct Fixture : testing::WindowFixture {
  Fixture() {
    std::vector<std::uint8_t> rom(64, 0);
    for (int k = 0; k < 5; ++k) rom[0x10 + k] = static_cast<std::uint8_t>(u"HELLO"[k]);
    for (int k = 0; k < 3; ++k) rom[0x20 + k] = static_cast<std::uint8_t>(u"BYE"[k]);
    PutRomBytes(state.rom, rom);
    for (int c = 0x41; c <= 0x5A; ++c) state.table.entries[c] = std::u16string(1, static_cast<char16_t>(c));
    state.table.type = u"SBCS";
    state.table.isLoaded = true;
  }
  std::u16string Read(const std::u16string& name) {
    auto bytes = ReadFileBytes(name);
    return bytes ? DecodeTextFile(*bytes) : u"<missing>";
  }

  void Retype(const char* name, const QString& text) {
    QLineEdit* f = Field(name);
    f->selectAll();
    f->del();
    QTest::keyClicks(f, text);
  }
};

QString Q(const std::u16string& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

class ExtractFormsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void rangeWindowShowsTheStoredRange() {
    Fixture f;
    f.state.ctx.settings.StartExtrFromAddr = 16;
    f.state.ctx.settings.EndExtrFromAddr = 40;
    QWidget* w = f.Open("menuExtractTextFromRom", "FromToAddrForm");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Вынимать текст из файла"));
    QVERIFY(w->isVisible());
    QCOMPARE(f.Field("fldStartAddr")->text(), QStringLiteral("16"));
    QCOMPARE(f.Field("fldEndAddr")->text(), QStringLiteral("40"));
    QCOMPARE(f.Find<QPushButton>("Command2")->text(), QStringLiteral("Весь ROM пожалуйста"));
    QCOMPARE(f.Find<QPushButton>("Command1")->text(), QStringLiteral("Вынуть текст из ROM"));
  }

  void bytesToDumpCountsFromTheStoredStart() {
    Fixture f;
    f.state.ctx.settings.StartExtrFromAddr = 16;
    f.Open("menuExtractTextFromRom", "FromToAddrForm");
    f.Retype("fldStartAddr", QStringLiteral("100"));  // typed but not yet stored
    f.Retype("fldBytesToDump", QStringLiteral("&h10"));
    Q_EMIT f.Field("fldBytesToDump")->editingFinished();
    QCOMPARE(f.state.ctx.settings.EndExtrFromAddr, 32);
    QCOMPARE(f.Field("fldEndAddr")->text(), QStringLiteral("32"));
    // Leaving the field recomputes the end also when its text did not change.
    f.state.ctx.settings.StartExtrFromAddr = 20;
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(f.Field("fldBytesToDump"), &out);
    QCOMPARE(f.state.ctx.settings.EndExtrFromAddr, 36);
    f.state.ctx.settings.StartExtrFromAddr = 16;
    Q_EMIT f.Field("fldBytesToDump")->editingFinished();
    // 0 or text leaves the end alone.
    f.Retype("fldBytesToDump", QStringLiteral("abc"));
    Q_EMIT f.Field("fldBytesToDump")->editingFinished();
    QCOMPARE(f.Field("fldEndAddr")->text(), QStringLiteral("32"));
  }

  void wholeRomSetsBothFieldsAndSettings() {
    Fixture f;
    f.state.ctx.settings.StartExtrFromAddr = 5;
    f.Open("menuExtractTextFromRom", "FromToAddrForm");
    f.Click("Command2");
    QCOMPARE(f.state.ctx.settings.StartExtrFromAddr, 0);
    QCOMPARE(f.state.ctx.settings.EndExtrFromAddr, 64);
    QCOMPARE(f.Field("fldStartAddr")->text(), QStringLiteral("0"));
    QCOMPARE(f.Field("fldEndAddr")->text(), QStringLiteral("64"));
  }

  void extractRunsTheScanOrRefusesAnEmptyRange() {
    Fixture f;
    QWidget* w = f.Open("menuExtractTextFromRom", "FromToAddrForm");
    f.Retype("fldStartAddr", QStringLiteral("40"));
    f.Retype("fldEndAddr", QStringLiteral("&h20"));
    f.Click("Command1");
    QVERIFY(w->isVisible());
    QCOMPARE(f.host.logLines.back(), std::u16string(u"Начальный адрес для вынимания не может быть больше конечного"));
    QVERIFY(f.host.prompts.empty());

    const std::u16string out = f.File("scan.txt");
    f.host.fileNames = {out};
    f.Retype("fldStartAddr", QStringLiteral("&h10"));
    f.Retype("fldEndAddr", QStringLiteral("64"));
    f.Click("Command1");
    QVERIFY(!w->isVisible());
    QCOMPARE(f.state.ctx.settings.StartExtrFromAddr, 16);
    QCOMPARE(f.state.ctx.settings.EndExtrFromAddr, 64);
    QVERIFY(f.Read(out) == u"16,10\r\n\u00B6\r\nHELLO\r\n\u00A7\r\n32,20\r\n\u00B6\r\nBYE\r\n\u00A7\r\n");
  }

  void addressWindowHasItsDefaults() {
    Fixture f;
    QWidget* w = f.Open("menuDumpTxtByAddrs", "AddrExtrForm");
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->windowTitle(), QStringLiteral("Извлечение текста по адресам (справочники)"));
    for (const char* name : {"fldBytes2Extract", "fldExtrStartAddr", "fldStepByBytes", "fldNumBlocksToExtr"})
      QCOMPARE(f.Field(name)->text(), QStringLiteral("0"));
    QVERIFY(f.Field("fldAddrsFileName")->text().isEmpty());
    QVERIFY(f.Field("OutputDlgFileName")->text().isEmpty());
    f.Click("DoCansel");
    QVERIFY(!w->isVisible());
    // Opened again it is the same window with the fields it had.
    f.Retype("fldBytes2Extract", QStringLiteral("7"));
    QCOMPARE(f.Open("menuDumpTxtByAddrs", "AddrExtrForm"), w);
    QCOMPARE(f.Field("fldBytes2Extract")->text(), QStringLiteral("7"));
  }

  void addressWindowComplainsAboutMissingFiles() {
    Fixture f;
    QWidget* w = f.Open("menuDumpTxtByAddrs", "AddrExtrForm");
    f.Click("Command1");
    QCOMPARE(f.host.messages.size(), size_t(1));
    QVERIFY(f.host.messages[0].text == u"Не указан выходной файл диалогов!");
    QVERIFY(f.host.messages[0].icon == MsgIcon::Error);
    f.Retype("OutputDlgFileName", Q(f.File("out.txt")));
    f.Click("Command1");
    QCOMPARE(f.host.messages.size(), size_t(2));
    QVERIFY(f.host.messages[1].text == u"Не указан входной файл с адресами для дампа!");
    QVERIFY(w->isVisible());
  }

  void browseButtonsFillTheFields() {
    Fixture f;
    f.Open("menuDumpTxtByAddrs", "AddrExtrForm");
    const std::u16string list = f.File("list.txt");
    std::string text = "16,32";
    QVERIFY(WriteFileAtomic(list, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                            Backup::None, nullptr));
    f.host.fileNames = {f.File("missing.txt"), list, f.File("out.txt")};
    f.Click("browse");
    QVERIFY(f.Field("fldAddrsFileName")->text().isEmpty());
    f.Click("browse");
    QCOMPARE(f.Field("fldAddrsFileName")->text(), Q(list));
    QVERIFY(f.host.prompts.back().title == u"Выбери файл с адресами указателей");
    f.Click("browse1");
    QCOMPARE(f.Field("OutputDlgFileName")->text(), Q(f.File("out.txt")));
    QVERIFY(f.host.prompts.back().forSave);

    f.Click("Command1");
    QVERIFY(f.Read(f.File("out.txt")) ==
            u"16,10\r\n\u00B6\r\nHELLO<$00><$00><$00><$00><$00><$00><$00><$00><$00><$00><$00>\r\n\u00A7\r\n"
            u"32,20\r\n\u00B6\r\nBYE" +
                [] {
                  std::u16string zeros;
                  for (int k = 0; k < 29; ++k) zeros += u"<$00>";
                  return zeros;
                }() +
                u"\r\n\u00A7\r\n");
  }

  void addressWindowDumpsByStepsWithoutAList() {
    Fixture f;
    QWidget* w = f.Open("menuDumpTxtByAddrs", "AddrExtrForm");
    f.Retype("OutputDlgFileName", Q(f.File("steps.txt")));
    f.Retype("fldExtrStartAddr", QStringLiteral("&h10"));
    f.Retype("fldStepByBytes", QStringLiteral("16"));
    f.Retype("fldNumBlocksToExtr", QStringLiteral("2"));
    f.Retype("fldBytes2Extract", QStringLiteral("5"));
    f.Click("Command1");
    QVERIFY(!w->isVisible());
    QVERIFY(f.Read(f.File("steps.txt")) ==
            u"16,10\r\n\u00B6\r\nHELLO\r\n\u00A7\r\n32,20\r\n\u00B6\r\nBYE<$00><$00>\r\n\u00A7\r\n");
  }
};

QTEST_MAIN(ExtractFormsTest)
#include "extract_forms_test.moc"
