#include <QComboBox>
#include <QtTest>

#include "tests/support/window_fixture.h"
#include "tiles/png_file.h"
#include "tiles/tile_format.h"
#include "ui/tiles/rom_tiles_window.h"

using namespace vorkat;

class RomTilesTest : public QObject, public testing::WindowFixture {
  Q_OBJECT

 private Q_SLOTS:
  void keysMoveTheViewAndADraggedRectangleGoesToAPngAndBack() {
    Bytes rom(0x2000);
    for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(i * 13);
    PutRomBytes(state.rom, rom, File("game.gba"));
    auto* form = static_cast<ui::RomTilesForm*>(Open("menuRomTiles", "RomTilesForm"));
    QVERIFY(form);
    auto* canvas = Find<QWidget>("picTiles");
    canvas->resize(512, 512);
    QVERIFY(!canvas->grab().isNull());  // paints the visible page

    // GBA4, 16 per row, zoom 2: a row is 512 bytes.
    QTest::keyClick(canvas, Qt::Key_Down);
    QCOMPARE(Field("fldTilesOffset")->text(), QStringLiteral("&h200"));
    QTest::keyClick(canvas, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(Field("fldTilesOffset")->text(), QStringLiteral("&h201"));
    QTest::keyClick(canvas, Qt::Key_Left, Qt::ControlModifier);

    // Cells (1,2) to (2,4): 3 columns by 2 rows.
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(2 * 16 + 3, 1 * 16 + 3));
    const QPointF to(4 * 16 + 3, 2 * 16 + 3);
    QMouseEvent drag(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &drag);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to.toPoint());
    QVERIFY(form->selection());
    QCOMPARE(form->selection()->cols, 3);
    QCOMPARE(form->selection()->rows, 2);
    QCOMPARE(form->selection()->first, std::int64_t{0x200 + (16 + 2) * 32});

    host.fileNames.push_back(File("part.png"));
    Click("btnTilesExport");
    PngPicture png = ReadPng(dir.Read("part.png"));
    QCOMPARE(png.width, 24);
    QCOMPARE(png.height, 16);

    // The top-left pixel of the sheet edited to colour 15 lands in the ROM.
    IndexedImage sheet = MapToPalette(png, GreyRamp(16));
    sheet.pixels[0] = 15;
    dir.Write("part.png", WritePng(sheet, GreyRamp(16)));
    host.fileNames.push_back(File("part.png"));
    Click("btnTilesImport");
    QCOMPARE(state.rom.bytes[0x200 + 18 * 32] & 0x0F, 15);
    QVERIFY(state.rom.modified);
  }
};

QTEST_MAIN(RomTilesTest)
#include "rom_tiles_test.moc"
