// The tile formats, the sheet layout and the page model on hand-made tiles.
#include <gtest/gtest.h>

#include <random>

#include "tiles/lz77.h"
#include "tiles/tile_format.h"
#include "tiles/tile_page.h"
#include "tiles/tile_palette.h"
#include "tiles/tile_sheet.h"

using namespace vorkat;

namespace {

// Rows of a tile written as eight strings of eight pixel digits (hexadecimal for GBA8).
TilePixels Pixels(const std::array<const char*, 8>& rows) {
  TilePixels px{};
  for (std::size_t y = 0; y < 8; ++y)
    for (std::size_t x = 0; x < 8; ++x) {
      const char c = rows[y][x];
      px[y * 8 + x] = static_cast<std::uint8_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    }
  return px;
}

std::vector<std::uint8_t> Encoded(TileFormat f, const TilePixels& px) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(TileBytes(f)));
  EncodeTile(f, px, out);
  return out;
}

}  // namespace

TEST(TileFormats, EachFormatReadsAndWritesAKnownTile) {
  struct Case {
    TileFormat format;
    std::vector<std::uint8_t> bytes;
    TilePixels pixels;
  };
  const Case cases[] = {
      // Bit 7 is the leftmost pixel.
      {TileFormat::GB1,
       {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0xFF},
       Pixels({"10000000", "01000000", "00100000", "00010000", "00001000", "00000100", "00000010", "11111111"})},
      // Low plane first: lo F0, hi CC give 3 3 1 1 2 2 0 0.
      {TileFormat::GB2,
       {0xF0, 0xCC, 0xFF, 0x00, 0x00, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x80},
       Pixels({"33112200", "11111111", "22222222", "00000000", "00000000", "00000000", "00000000", "20000001"})},
      // Low nibble is the left pixel.
      {TileFormat::GBA4,
       {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 0, 0, 0, 0, 0,    0, 0, 0,
        0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0x0F, 0, 0, 0xF0},
       Pixels({"01234567", "89ABCDEF", "00000000", "00000000", "00000000", "00000000", "00000000", "F000000F"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(TileFormatName(c.format).begin(), TileFormatName(c.format).end()));
    EXPECT_EQ(DecodeTile(c.format, c.bytes), c.pixels);
    EXPECT_EQ(Encoded(c.format, c.pixels), c.bytes);
  }
  // GBA8: one byte per pixel, left to right.
  std::vector<std::uint8_t> bytes(64);
  for (std::size_t i = 0; i < 64; ++i) bytes[i] = static_cast<std::uint8_t>(i * 4 + 1);
  const TilePixels px = DecodeTile(TileFormat::GBA8, bytes);
  EXPECT_EQ(px[9], 37);
  EXPECT_EQ(Encoded(TileFormat::GBA8, px), bytes);
}

TEST(TileFormats, NamesAndPalettes) {
  EXPECT_EQ(ParseTileFormat(u" gba4 "), TileFormat::GBA4);
  EXPECT_FALSE(ParseTileFormat(u"GBA16"));
  const TilePalette grey = GreyRamp(4);
  EXPECT_EQ(grey.front(), (Rgb{255, 255, 255}));  // the Game Boy's shade 0 is the lightest
  EXPECT_EQ(grey.back(), (Rgb{0, 0, 0}));
  // BGR555 little-endian: 001F red, 03E0 green, 7C00 blue, 4210 grey 16.
  const std::vector<std::uint8_t> rom = {0xAA, 0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0x10, 0x42};
  const auto pal = ReadBgr555Palette(rom, 1, 4);
  ASSERT_TRUE(pal);
  EXPECT_EQ((*pal)[0], (Rgb{255, 0, 0}));
  EXPECT_EQ((*pal)[1], (Rgb{0, 255, 0}));
  EXPECT_EQ((*pal)[2], (Rgb{0, 0, 255}));
  EXPECT_EQ((*pal)[3], (Rgb{132, 132, 132}));
  EXPECT_FALSE(ReadBgr555Palette(rom, 2, 4));  // runs past the end
  EXPECT_EQ(NearestEntry(*pal, Rgb{200, 30, 30}), 0);
}

TEST(TileSheet, GlyphsTwoTilesHighStackTheUpperTileOverTheLowerOne) {
  // Two glyphs of GB1 tiles: each tile filled with its own row byte.
  const std::vector<std::uint8_t> data = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,   // glyph 0, upper
                                          0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,   // glyph 0, lower
                                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,   // glyph 1, upper
                                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};  // glyph 1, lower
  const TileLayout layout{TileFormat::GB1, 16};
  const auto cells = CellRun(0, 2, layout.CellBytes());
  const IndexedImage sheet = CellsToSheet(data, layout, cells, 2);
  ASSERT_EQ(sheet.width, 16);
  ASSERT_EQ(sheet.height, 16);
  auto at = [&](int x, int y) { return sheet.pixels[static_cast<std::size_t>(y * 16 + x)]; };
  EXPECT_EQ(at(0, 3), 1);   // upper tile of glyph 0: left column
  EXPECT_EQ(at(7, 12), 1);  // lower tile of glyph 0: right column
  EXPECT_EQ(at(0, 12), 0);
  EXPECT_EQ(at(12, 5), 1);  // glyph 1 beside it
  EXPECT_EQ(at(12, 13), 0);

  std::vector<std::uint8_t> back(data.size(), 0x55);
  EXPECT_EQ(SheetToCells(sheet, layout, cells, 2, back), SheetFit::Fits);
  EXPECT_EQ(back, data);
  // A cell past the data may come back only blank.
  const auto beyond = CellRun(16, 2, layout.CellBytes());
  IndexedImage blankBeyond = CellsToSheet(data, layout, beyond, 2);
  EXPECT_EQ(SheetToCells(blankBeyond, layout, beyond, 2, back), SheetFit::Fits);
  blankBeyond.pixels.back() = 1;
  back = data;
  EXPECT_EQ(SheetToCells(blankBeyond, layout, beyond, 2, back), SheetFit::PastEnd);
  EXPECT_EQ(back, data);
  EXPECT_EQ(SheetToCells(sheet, layout, CellRun(0, 4, layout.CellBytes()), 2, back), SheetFit::WrongSize);
}

TEST(TilePage, SelectionStaysOnItsTilesAndKeysMoveByTheirSteps) {
  TileView view;
  view.layout = {TileFormat::GBA4, 8};
  view.perRow = 4;
  const std::vector<std::uint8_t> rom(32 * 64);
  const TilePage page = FillTilePage(rom, view, 3);
  EXPECT_EQ(page.pixels.width, 32);
  EXPECT_EQ(page.pixels.height, 24);
  EXPECT_EQ(page.cells.size(), 12u);

  const auto a = CellAt(view, 3, 17, 20);  // column 2, row 2
  ASSERT_TRUE(a);
  const TileSelection sel = SelectionBetween(view, *a, CellRect{1, 1, 1, 1});
  EXPECT_EQ(sel.first, (1 * 4 + 1) * 32);
  const auto shown = VisibleSelection(view, 3, sel);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->row, 1);
  EXPECT_EQ(shown->rows, 2);
  EXPECT_EQ(shown->cols, 2);

  view.offset = MoveOffset(view, TileStep::Row, +1, 3, static_cast<std::int64_t>(rom.size()));
  EXPECT_EQ(view.offset, 128);
  EXPECT_EQ(VisibleSelection(view, 3, sel)->row, 0);
  view.offset = MoveOffset(view, TileStep::Byte, +1, 3, static_cast<std::int64_t>(rom.size()));
  EXPECT_FALSE(VisibleSelection(view, 3, sel));  // the cells no longer line up
  EXPECT_EQ(MoveOffset(view, TileStep::Page, -1, 3, static_cast<std::int64_t>(rom.size())), 0);
  EXPECT_EQ(MoveOffset(view, TileStep::Tile, +1, 3, static_cast<std::int64_t>(rom.size())), 129 + 32);
}
