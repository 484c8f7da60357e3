#include <QApplication>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstring>

#include "app/app.h"
#include "core/file_io.h"
#include "font/font_commands.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "ui/fonttools/fdt_editor_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/gui_host.h"

using namespace vorkat;
using vorkat::testing::TempDir;

class FdtEditTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void editsAnEntryAndTheFdtReadsBackWhatTheEditorSaved() {
    TempDir dir;
    // A 4 x 2 sheet of 8 x 8 cells on white; cell 1 has ink up to column 3.
    QImage sheet(32, 16, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    sheet.setPixel(8 + 3, 4, qRgb(0, 0, 0));
    QVERIFY(sheet.save(ui::ToQ(dir.File("sheet.bmp")), "BMP"));

    ScriptedHost host;
    AppState state(host);
    state.fdt.fileName = dir.File("old.fdt");
    state.fdt.lines = {u"8,8=FontWidthFontHeight",
                       u"0," + dir.File("sheet.bmp") + u"=FontFileName",
                       u"0,2=FontClipRows",
                       u"0,4=FontClipCols",
                       u"&HFFFFFF,&HFFFFFF=FontTranspColor",
                       u"5,#1=A",
                       u"0_NEWLINE,#2=<$0A>"};
    ReparseFontDescription(state);
    QVERIFY(state.fdt.isLoaded);

    // A picture of the same name from an earlier save is kept as ".bak".
    QVERIFY(sheet.save(ui::ToQ(dir.File("char0_1.bmp")), "BMP"));
    host.fileNames.push_back(dir.File("out"));
    host.inputs.push_back(dir.File(""));
    bool driven = false;
    QTimer::singleShot(0, this, [&] {
      auto* form = qobject_cast<ui::FDTeditForm*>(QApplication::activeModalWidget());
      QVERIFY(form);
      auto* list = form->findChild<QListView*>(QStringLiteral("FDTitems"));
      QCOMPARE(list->model()->rowCount(), 2);
      QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("<$0A>"));
      // The in-place edit of the first glyph's text.
      list->model()->setData(list->model()->index(0, 0), QStringLiteral("<$SPACE>"));
      // A sheet cell added from the keyboard: cell 1 (row 0, column 1).
      auto* sheetView = form->findChild<QWidget*>(QStringLiteral("FontPreview"));
      QTest::keyClick(sheetView, Qt::Key_Right);
      QTest::keyClick(sheetView, Qt::Key_Return);
      QCOMPARE(list->model()->rowCount(), 3);
      form->findChild<QPushButton*>(QStringLiteral("btnSaveFDT"))->click();
      QVERIFY(form->Saved());
      form->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
      driven = true;
    });
    ui::FindFormCommand("menuFDTeditor")->open(nullptr, state);
    QVERIFY(driven);

    QVERIFY(state.fdt.isLoaded);
    QCOMPARE(state.fdt.fileName, dir.File("out.fdt"));
    QVERIFY(FileExists(dir.File("out.fdt")));
    QVERIFY(FileExists(dir.File("char0_1.bmp")));
    QCOMPARE(QImage(ui::ToQ(dir.File("char0_1.bmp.bak"))).size(), sheet.size());
    QCOMPARE(QImage(ui::ToQ(dir.File("char0_1.bmp"))).size(), QSize(8, 8));
    QCOMPARE(state.fdt.lastMappingIndex, 2);
    QCOMPARE(state.fdt.mappings[0].text, std::u16string(u" "));
    QCOMPARE(state.fdt.mappings[0].picture, std::u16string(u"#1"));
    QCOMPARE(state.fdt.mappings[1].flags, std::u16string(u"_NEWLINE"));
    QCOMPARE(state.fdt.mappings[2].width, 3);
    QCOMPARE(state.fdt.mappings[2].text, std::u16string(u"текст"));
    QCOMPARE(state.fdt.lines[9], u"3,char0_1.bmp=текст");
  }

  void closingWithEditsAsksAndAFailedSaveKeepsTheEditorOpen() {
    TempDir dir;
    QImage sheet(16, 8, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QVERIFY(sheet.save(ui::ToQ(dir.File("sheet.bmp")), "BMP"));
    ScriptedHost host;
    AppState state(host);
    state.fdt.lines = {u"0," + dir.File("sheet.bmp") + u"=FontFileName", u"0,1=FontClipRows", u"0,2=FontClipCols",
                       u"5,#1=A", u"5,#2=B"};
    ReparseFontDescription(state);
    const std::vector<std::u16string> lines = state.fdt.lines;
    bool driven = false;
    QTimer::singleShot(0, this, [&] {
      auto* form = qobject_cast<ui::FDTeditForm*>(QApplication::activeModalWidget());
      QVERIFY(form);
      auto* list = form->findChild<QListView*>(QStringLiteral("FDTitems"));
      QVERIFY(!form->Edited());
      list->model()->setData(list->model()->index(0, 0), QStringLiteral("Z"));
      QVERIFY(form->Edited());
      // Escape, Cancel; Close, Yes, the save prompt cancelled; Yes into a folder that is not there.
      host.answers = {MsgAnswer::Cancel, MsgAnswer::Yes, MsgAnswer::Yes};
      host.fileNames = {u"", dir.File("out")};
      host.inputs = {dir.File("missing")};
      QTest::keyClick(form, Qt::Key_Escape);
      form->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
      form->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
      QVERIFY(form->isVisible());
      QCOMPARE(host.messages.at(0).text, std::u16string(u"Будем сохранять изменения в FDT ?"));
      QCOMPARE(host.messages.back().text, u"Нет папки " + dir.File("missing") + u". FDT не сохранён");
      QVERIFY(!FileExists(dir.File("out.fdt")));
      host.answers = {MsgAnswer::No};
      form->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
      QVERIFY(!form->isVisible());
      driven = true;
    });
    ui::FindFormCommand("menuFDTeditor")->open(nullptr, state);
    QVERIFY(driven);
    QCOMPARE(state.fdt.lines, lines);
    QVERIFY(state.fdt.isLoaded);
  }

  void refreshAndResetAskAboutEditsAsClosingDoes() {
    TempDir dir;
    QImage sheet(16, 8, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QVERIFY(sheet.save(ui::ToQ(dir.File("sheet.bmp")), "BMP"));
    ScriptedHost host;
    AppState state(host);
    state.fdt.lines = {u"0," + dir.File("sheet.bmp") + u"=FontFileName", u"0,1=FontClipRows", u"0,2=FontClipCols",
                       u"5,#1=A", u"5,#2=B"};
    ReparseFontDescription(state);
    bool driven = false;
    QTimer::singleShot(0, this, [&] {
      auto* form = qobject_cast<ui::FDTeditForm*>(QApplication::activeModalWidget());
      QVERIFY(form);
      QAbstractItemModel* glyphs = form->findChild<QListView*>(QStringLiteral("FDTitems"))->model();
      const auto click = [&](const char* name, MsgAnswer answer) {
        host.answers = {answer};
        form->findChild<QPushButton*>(QLatin1String(name))->click();
      };
      glyphs->setData(glyphs->index(0, 0), QStringLiteral("Z"));
      click("btnRefresh", MsgAnswer::Cancel);
      click("btnReset", MsgAnswer::Cancel);
      QCOMPARE(glyphs->index(0, 0).data().toString(), QStringLiteral("Z"));
      QCOMPARE(host.messages.size(), std::size_t{2});
      QCOMPARE(host.messages.back().text, std::u16string(u"Будем сохранять изменения в FDT ?"));
      click("btnRefresh", MsgAnswer::No);
      QCOMPARE(glyphs->index(0, 0).data().toString(), QStringLiteral("A"));
      QVERIFY(!form->Edited());
      // The transparent colour is the editor's own until a save: No leaves the FDT as it was.
      const auto transparent = [&](const char* answer) {
        host.inputs = {std::u16string(answer, answer + std::strlen(answer))};
        form->findChild<QPushButton*>(QStringLiteral("btnTranspColor"))->click();
      };
      transparent("&H123456");
      QVERIFY(form->Edited());
      click("btnRefresh", MsgAnswer::No);
      QCOMPARE(state.fdt.FontTranspColor, 0);

      // Yes saves, then the reset goes on; the refresh reads the FDT just saved.
      transparent("&H654321");
      glyphs->setData(glyphs->index(0, 0), QStringLiteral("Y"));
      host.fileNames = {dir.File("out")};
      host.inputs = {dir.File("")};
      click("btnReset", MsgAnswer::Yes);
      QVERIFY(form->Saved());
      QCOMPARE(glyphs->rowCount(), 0);
      const std::size_t shown = host.messages.size();
      click("btnRefresh", MsgAnswer::Cancel);
      QCOMPARE(host.messages.size(), shown);  // nothing edited since: not asked
      QCOMPARE(glyphs->rowCount(), 2);
      QCOMPARE(glyphs->index(0, 0).data().toString(), QStringLiteral("Y"));
      QCOMPARE(state.fdt.FontTranspColor, 0x654321);
      form->findChild<QPushButton*>(QStringLiteral("btnClose"))->click();
      driven = true;
    });
    ui::FindFormCommand("menuFDTeditor")->open(nullptr, state);
    QVERIFY(driven);
    QVERIFY(state.fdt.isLoaded);
    QCOMPARE(state.fdt.fileName, dir.File("out.fdt"));
  }
};

QTEST_MAIN(FdtEditTest)
#include "fdt_edit_test.moc"
