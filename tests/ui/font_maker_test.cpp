#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "app/app.h"
#include "codec/table_loader.h"
#include "core/file_io.h"
#include "core/text.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "ui/fonttools/font_maker_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/gui_host.h"

using namespace vorkat;
using vorkat::testing::TempDir;

class FontMakerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cutsFromTheChosenCellAndWritesAnFdtWithMeasuredWidths() {
    TempDir dir;
    // One row of three 8 x 8 cells on white; cell 2 has ink up to column 5.
    QImage sheet(24, 8, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    sheet.setPixel(16 + 5, 3, qRgb(0, 0, 0));
    QVERIFY(sheet.save(ui::ToQ(dir.File("sheet.bmp")), "BMP"));

    ScriptedHost host;
    AppState state(host);
    QWidget main;
    host.fileNames.push_back(dir.File("sheet.bmp"));
    ui::FindFormCommand("menuFontMaker")->open(&main, state);
    auto* form = main.findChild<ui::FontMakerForm*>(QStringLiteral("FontMakerForm"));
    QVERIFY(form);
    auto set = [&](const char* name, const QString& text) {
      form->findChild<QLineEdit*>(QLatin1String(name))->setText(text);
    };
    auto click = [&](const char* name) { form->findChild<QPushButton*>(QLatin1String(name))->click(); };
    click("btnLoadFontPicture");
    QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("sizeWidth"))->text(), QStringLiteral("24"));
    set("charheight", QStringLiteral("8"));
    set("rows", QStringLiteral("1"));
    set("cols", QStringLiteral("3"));
    set("fldStartFromNN", QStringLiteral("64"));
    set("fldOutputDir", ui::ToQ(dir.File("")));
    click("btnSetCharSize");
    click("btnSetRowsCols");
    form->findChild<QScrollBar*>(QStringLiteral("cellScroll"))->setValue(1);
    click("btnCutAll");

    QVERIFY(!FileExists(dir.File("char-40.bmp")));
    QVERIFY(FileExists(dir.File("char-41.bmp")));
    QVERIFY(FileExists(dir.File("char-42.bmp")));
    const auto bytes = ReadFileBytes(dir.File("char--surprize.fdt"));
    QVERIFY(bytes);
    const std::u16string text = DecodeTextFile(*bytes);
    QVERIFY(text.starts_with(u"8,8=FontWidthFontHeight\r\n"));
    QVERIFY(text.ends_with(u"0,#1=A\r\n5,#2=B\r\n"));
    QCOMPARE(host.messages.back().text, std::u16string(u"Done!"));

    // A letter saved where no folder is: the error is said, not "записано!".
    host.fileNames = {dir.File("missing/one.bmp")};
    click("btnSaveCharAs");
    QCOMPARE(host.messages.back().text, u"Ошибка сохранения файла " + dir.File("missing/one.bmp"));
    host.fileNames = {dir.File("one.bmp")};
    click("btnSaveCharAs");
    QCOMPARE(host.messages.back().text, std::u16string(u"записано!"));
    set("fldOutputDir", ui::ToQ(dir.File("missing/")));
    click("btnCutAll");
    QVERIFY(host.messages.back().text.ends_with(u". FDT не записан"));
  }

  void cutsInTableOrderWithTheGamesWidthsInOneStep() {
    TempDir dir;
    QImage sheet(24, 8, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    sheet.setPixel(2, 3, qRgb(0, 0, 0));
    QVERIFY(sheet.save(ui::ToQ(dir.File("sheet.png")), "PNG"));
    dir.WriteText("widths.txt", u" 7=0\r\n 3=2\r\n");
    ScriptedHost host;
    AppState state(host);
    LoadTableText(state, u"TrTableType=SBCS\r\n00=A\r\n02=Б", u"t.tbl");
    QWidget main;
    ui::FindFormCommand("menuFontMaker")->open(&main, state);
    auto* form = main.findChild<ui::FontMakerForm*>(QStringLiteral("FontMakerForm"));
    auto set = [&](const char* name, const QString& text) {
      form->findChild<QLineEdit*>(QLatin1String(name))->setText(text);
    };
    set("cellheight", QStringLiteral("8"));
    set("charheight", QStringLiteral("8"));
    set("fldOutputDir", ui::ToQ(dir.File("")));
    set("fldWidthTable", ui::ToQ(dir.File("widths.txt")));
    form->findChild<QComboBox*>(QStringLiteral("cmbCellOrder"))->setCurrentIndex(1);
    host.fileNames.push_back(dir.File("sheet.png"));
    form->findChild<QPushButton*>(QStringLiteral("btnLoadFontPicture"))->click();  // the grid follows at once
    QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("cols"))->text(), QStringLiteral("3"));
    form->findChild<QPushButton*>(QStringLiteral("btnSetCharSize"))->click();
    form->findChild<QPushButton*>(QStringLiteral("btnCutAll"))->click();

    QVERIFY(!FileExists(dir.File("char-01.bmp")));  // code 1 has no text in the table
    const std::u16string text = DecodeTextFile(ReadFileBytes(dir.File("char--surprize.fdt")).value_or(Bytes{}));
    QVERIFY(text.ends_with(u"6,#0=A\r\n2,#2=Б\r\n"));
  }
};

QTEST_MAIN(FontMakerTest)
#include "font_maker_test.moc"
