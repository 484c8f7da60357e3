// The preview window: glyphs loaded from generated BMP files, a text printed
// into the picture and compared with a golden picture built from the known
// glyph rectangles; background, clear, size, save and the print position.
#include <QtTest>

#include "app/state.h"
#include "font/font_commands.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "ui/editor/x_editor_window.h"
#include "ui/font/text_preview_window.h"
#include "ui/shell/form_commands.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>

#include "codec/table_loader.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

const QRgb kInk = qRgb(0x00, 0x80, 0xFF);     // the body of "A"
const QRgb kTail = qRgb(0xF0, 0xFF, 0x3C);    // the tail of "A", reaching under the next glyph
const QRgb kStroke = qRgb(0x3C, 0x0F, 0xFF);  // the stroke of "B"
const QRgb kFrame = qRgb(0x40, 0x40, 0x40);   // the unknown-character picture

QImage White(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

void Fill(QImage& image, const QRect& rect, QRgb colour) {
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) image.setPixel(x, y, colour);
}

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

class XViewTest : public QObject {
  Q_OBJECT

  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  // "A" is 7 pixels wide with an advance of 5: its tail lies under the next glyph.
  void WriteFont() {
    QImage a = White(7, 6);
    Fill(a, QRect(1, 1, 2, 4), kInk);
    Fill(a, QRect(5, 0, 2, 2), kTail);
    QImage b = White(4, 6);
    Fill(b, QRect(0, 0, 1, 6), kStroke);
    QImage u = White(3, 6);
    Fill(u, QRect(0, 0, 3, 6), kFrame);
    Fill(u, QRect(1, 1, 1, 4), qRgb(255, 255, 255));
    QVERIFY(a.save(Q(dir.File("a.bmp")), "BMP"));
    QVERIFY(b.save(Q(dir.File("b.bmp")), "BMP"));
    QVERIFY(u.save(Q(dir.File("u.bmp")), "BMP"));
    dir.WriteText("font.fdt", u"4,6=FontWidthFontHeight\r\n3," + dir.File("u.bmp") +
                                  u"=UnknownMappingChar\r\n0,1=interletterspacing\r\n3,2=VivorurePrnXPrnY\r\n"
                                  u"5," +
                                  dir.File("a.bmp") + u"=A\r\n4," + dir.File("b.bmp") + u"=B\r\n4," +
                                  dir.File("b.bmp") + u"=<$SPACE>\r\n0_NEWLINE,=\\\r\n0_MORE,=^\r\n");
  }

 private Q_SLOTS:
  void initTestCase() {
    WriteFont();
    QVERIFY(LoadFontDescriptionFile(state, dir.File("font.fdt")));
  }

  void printedTextMatchesTheGoldenPicture() {
    ui::XViewForm form(state, nullptr);
    form.show();
    QVERIFY(form.LoadFntPics());
    QVERIFY(state.glyphsLoaded);
    form.PrintText(u"AB\\xA");

    // Pen from (3, 2), spacing 1: A at x 3, B at 3 + 5 + 1 = 9; the new line
    // goes down 6 to y 8; the unknown x at 3, then A at 3 + 3 + 1 = 7.
    QImage golden = White(240, 160);
    Fill(golden, QRect(4, 3, 2, 4), kInk);
    Fill(golden, QRect(8, 2, 2, 2), kTail);
    Fill(golden, QRect(9, 2, 1, 6), kStroke);
    golden.setPixel(9, 2, qRgb(0x30, 0x0F, 0x3C));  // kTail AND kStroke
    golden.setPixel(9, 3, qRgb(0x30, 0x0F, 0x3C));
    Fill(golden, QRect(3, 8, 3, 6), kFrame);
    Fill(golden, QRect(4, 9, 1, 4), qRgb(255, 255, 255));
    Fill(golden, QRect(8, 9, 2, 4), kInk);
    Fill(golden, QRect(12, 8, 2, 2), kTail);
    QCOMPARE(form.Picture(), golden);

    // A print clears first; a MORE code pauses with its message and starts a new line.
    form.PrintText(u"B^B");
    QImage again = White(240, 160);
    Fill(again, QRect(3, 2, 1, 6), kStroke);
    Fill(again, QRect(3, 8, 1, 6), kStroke);
    QCOMPARE(form.Picture(), again);
    QCOMPARE(host.messages.back().text, std::u16string(kMorePauseText));

    // Hidden, the window draws nothing.
    form.hide();
    form.PrintText(u"AAAA");
    QCOMPARE(form.Picture(), again);
  }

  void backgroundColourClearSizeAndSave() {
    ui::XViewForm form(state, nullptr);
    form.show();
    QImage shot = White(20, 10);
    Fill(shot, QRect(0, 0, 20, 5), qRgb(10, 20, 30));
    QVERIFY(shot.save(Q(dir.File("shot.bmp")), "BMP"));
    host.fileNames.push_back(dir.File("shot.bmp"));
    form.LoadBackground();
    QCOMPARE(state.ctx.settings.LastBGFileName, dir.File("shot.bmp"));
    QCOMPARE(form.Picture(), shot);

    form.PaintBrush(0, 0);
    QCOMPARE(form.Picture().pixel(0, 0), qRgb(255, 255, 255));
    form.ClearPicture();
    QCOMPARE(form.Picture(), shot);

    // An empty width keeps the width and still applies the height.
    host.inputs = {u"", u"12"};
    form.AskPictureSize();
    QCOMPARE(form.Picture().size(), QSize(20, 12));

    form.SetBackgroundColour(qRgb(0, 0, 255));
    QVERIFY(state.ctx.settings.LastBGFileName.empty());
    form.ClearPicture();
    QCOMPARE(form.Picture().pixel(5, 2), qRgb(0, 0, 255));

    host.fileNames.push_back(dir.File("photo"));
    form.SavePicture();
    QVERIFY(dir.Exists("photo.bmp"));
    QCOMPARE(QImage(Q(dir.File("photo.bmp"))).convertToFormat(QImage::Format_RGB32), form.Picture());
    QCOMPARE(host.messages.back().title, std::u16string(u"Картинка сохранена"));

    // A double click at zoom 3 picks the picture's pixel under the pointer.
    form.SetZoom(3);
    QWidget* picture = form.findChild<QWidget*>(QStringLiteral("Picture1"));
    QCOMPARE(picture->size(), form.Picture().size() * 3);
    host.answers.push_back(MsgAnswer::Yes);
    QTest::mouseDClick(picture, Qt::LeftButton, {}, QPoint(11 * 3 + 2, 7 * 3 + 1));
    QCOMPARE(state.preview.DefaultMyX, 11);
    QCOMPARE(state.ctx.settings.VivorurePrnXPrnY, std::u16string(u"11,7"));
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
  }

  void editorPrintsAndWrapsThroughThePreview() {
    QWidget main;
    LoadTableText(state, u"41=A\r\n42=B\r\n20=<$SPACE>\r\n5C=\\", u"t.tbl");
    state.dialogs.records.assign(2, DialogRecord{});
    state.dialogs.records[0].dlgID = u"1";
    state.dialogs.records[0].dlgText = u"AB AB AB AB AB AB";
    state.dialogs.lastIndex = 0;
    state.dialogs.isLoaded = true;
    ui::FindFormCommand("menuXXEditor")->open(&main, state);
    auto* editor = main.findChild<ui::XEditorForm*>(QStringLiteral("xEditor"));
    QVERIFY(editor);
    QVERIFY2(state.glyphsLoaded, "opening the editor reads the glyphs of the loaded FDT");
    editor->OpenDialog(0);

    auto* previewItem = editor->findChild<QAction*>(QStringLiteral("menuXPreview"));
    previewItem->trigger();
    auto* preview = main.findChild<ui::XViewForm*>();
    QVERIFY(preview && preview->isVisible());
    QVERIFY(previewItem->isChecked());
    editor->findChild<QPushButton*>(QStringLiteral("doPrintText"))->click();
    QVERIFY(preview->Picture() != White(preview->Picture().width(), preview->Picture().height()));

    // A border of 30 pixels: blanks become line breaks, the length stays.
    state.preview.gameLFchar = u"\\";
    state.preview.WrapRightLimitPix = 30;
    editor->findChild<QPushButton*>(QStringLiteral("btnSetScriptLfs"))->click();
    auto* box = editor->findChild<QPlainTextEdit*>(QStringLiteral("txtDialog"));
    const QString wrapped = box->toPlainText();
    QVERIFY(wrapped.contains(u'\\'));
    QCOMPARE(wrapped.size(), 17);
    QCOMPARE(state.dialogs.records[0].dlgText, std::u16string(u"AB AB AB AB AB AB"));  // only on accept

    preview->hide();
    QVERIFY(!previewItem->isChecked());
  }
};

QTEST_MAIN(XViewTest)
#include "x_view_test.moc"
