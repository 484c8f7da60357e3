#include <QtTest>

#include "tests/support/temp_dir.h"
#include "ui/font/font_pictures.h"

using namespace vorkat;

namespace {

QImage Filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// Two colours per column so that each cell of a sheet is recognisable.
QImage Sheet(int rows, int cols, int cell) {
  QImage sheet(cols * cell, rows * cell, QImage::Format_RGB32);
  for (int y = 0; y < sheet.height(); ++y)
    for (int x = 0; x < sheet.width(); ++x) sheet.setPixel(x, y, qRgb(x / cell * 10, y / cell * 10, 0));
  return sheet;
}

// One glyph drawn as a preview draws it.
void DrawGlyph(QImage& target, const QImage& glyph, int x, int y) {
  ui::GlyphStore store;
  store.entries = {glyph};
  const std::vector<DrawStep> steps = {{StepKind::Glyph, 0, x, y}};
  ui::DrawSteps(target, steps, 0, store, QImage());
}

}  // namespace

class FontPicturesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void glyphsCombineWithThePreviewByAnd() {
    QImage preview = Filled(4, 3, qRgb(0xF0, 0x0F, 0xFF));
    QImage glyph(2, 2, QImage::Format_RGB32);
    glyph.setPixel(0, 0, qRgb(0xFF, 0xFF, 0xFF));  // white leaves the background
    glyph.setPixel(1, 0, qRgb(0x3C, 0x3C, 0x00));
    glyph.setPixel(0, 1, qRgb(0x00, 0x00, 0x00));
    glyph.setPixel(1, 1, qRgb(0x0F, 0xF0, 0x81));
    DrawGlyph(preview, glyph, 1, 1);
    QCOMPARE(preview.pixel(1, 1), qRgb(0xF0, 0x0F, 0xFF));
    QCOMPARE(preview.pixel(2, 1), qRgb(0x30, 0x0C, 0x00));
    QCOMPARE(preview.pixel(1, 2), qRgb(0, 0, 0));
    QCOMPARE(preview.pixel(2, 2), qRgb(0x00, 0x00, 0x81));
    QCOMPARE(preview.pixel(0, 0), qRgb(0xF0, 0x0F, 0xFF));
    QCOMPARE(preview.pixel(3, 2), qRgb(0xF0, 0x0F, 0xFF));

    // Overlapping glyphs darken each other instead of erasing.
    DrawGlyph(preview, Filled(2, 1, qRgb(0x0F, 0xFF, 0xFF)), 2, 0);
    DrawGlyph(preview, Filled(2, 1, qRgb(0xFF, 0xFF, 0x0F)), 3, 0);
    QCOMPARE(preview.pixel(3, 0), qRgb(0x00, 0x0F, 0x0F));
  }

  void stepsDrawUntilAPauseAndClearToTheBackground() {
    ui::GlyphStore store;
    store.entries = {Filled(1, 1, qRgb(0x0F, 0x0F, 0x0F)), Filled(2, 1, qRgb(0xF1, 0xF1, 0xF1))};
    const std::vector<DrawStep> steps = {{StepKind::Glyph, 0, 0, 0},
                                         {StepKind::PauseMore, 0, 0, 0},
                                         {StepKind::Clear, 0, 0, 0},
                                         {StepKind::Glyph, 1, 1, 1},
                                         {StepKind::Glyph, 0, 2, 1}};
    QImage preview = Filled(3, 2, qRgb(0xFF, 0xFF, 0xFF));
    QImage background = Filled(3, 2, qRgb(0x80, 0x80, 0x80));
    QCOMPARE(ui::DrawSteps(preview, steps, 0, store, background), std::size_t{2});
    QCOMPARE(preview.pixel(0, 0), qRgb(0x0F, 0x0F, 0x0F));
    QCOMPARE(preview.pixel(1, 0), qRgb(0xFF, 0xFF, 0xFF));
    QCOMPARE(ui::DrawSteps(preview, steps, 2, store, background), steps.size());
    QCOMPARE(preview.pixel(0, 0), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(preview.pixel(1, 1), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(preview.pixel(2, 1), qRgb(0x00, 0x00, 0x00));
  }

  void storeCutsSheetCellsAndUsesThePlaceholder() {
    testing::TempDir dir;
    QVERIFY(ui::SavePictureBmp(Sheet(4, 16, 3), dir.File("sheet.bmp")));
    GlyphPlan plan;
    plan.sheetFile = dir.File("sheet.bmp");
    plan.entries = {{GlyphSource::Kind::SheetCell, {}, 17}, {GlyphSource::Kind::Placeholder, {}, 0}};
    QImage sheet;
    ui::GlyphStore store = ui::LoadGlyphStore(plan, sheet, 4, 16, 5, 7);
    QVERIFY(store.complete);
    QCOMPARE(store.entries[0].size(), QSize(3, 3));
    QCOMPARE(store.entries[0].pixel(0, 0), qRgb(10, 10, 0));  // row 1, column 1
    QCOMPARE(store.entries[1].size(), QSize(5, 7));

    plan.entries = {{GlyphSource::Kind::SheetCell, {}, 64}};
    QVERIFY(!ui::LoadGlyphStore(plan, sheet, 4, 16, 5, 7).complete);
    plan.sheetFile.clear();  // the sheet loaded before stays
    plan.entries = {{GlyphSource::Kind::SheetCell, {}, 0}};
    QVERIFY(ui::LoadGlyphStore(plan, sheet, 4, 16, 5, 7).complete);
  }

  void loadFindsPicturesAndReportsTheMissingOnce() {
    testing::TempDir dir;
    QVERIFY(ui::SavePictureBmp(Filled(6, 8, qRgb(1, 2, 3)), dir.File("a.bmp")));
    QVERIFY(ui::SavePictureBmp(Sheet(2, 2, 4), dir.File("sheet.bmp")));
    FontDescriptionTable fdt;
    fdt.lines = {u"6,8=FontWidthFontHeight",
                 u"0," + dir.File("sheet.bmp") + u"=FontFileName",
                 u"0,2=FontClipRows",
                 u"0,2=FontClipCols",
                 u"6,/gone/a.bmp=A",
                 u"6,/gone/b.bmp=B",
                 u"6,#3=C",
                 u"0,/gone/c.bmp=D",
                 u"0," + dir.File("") + u"=FontDirPath"};
    ReparseFontDescription(fdt);
    PreviewSettings ps;
    QImage sheet;
    ui::FontPicturesLoad load = ui::LoadFntPics(fdt, sheet, ps, u"5,9", u"2");
    QVERIFY(load.store.complete);
    QCOMPARE(load.store.entries.size(), std::size_t{5});
    QCOMPARE(load.store.entries[0].pixel(0, 0), qRgb(1, 2, 3));
    QCOMPARE(load.store.entries[2].pixel(0, 0), qRgb(10, 10, 0));
    QCOMPARE(load.store.entries[1].size(), QSize(6, 8));  // the placeholder
    QCOMPARE(load.log.size(), std::size_t{2});
    QVERIFY(load.showErrorsMessage);
    QCOMPARE(ps.DefaultMyY, 9);
    QCOMPARE(ps.InterLetterStep, 2);

    fdt.isLoaded = false;
    QVERIFY(ui::LoadFntPics(fdt, sheet, ps, u"", u"").fdtNotLoaded);
  }
};

QTEST_MAIN(FontPicturesTest)
#include "font_pictures_test.moc"
