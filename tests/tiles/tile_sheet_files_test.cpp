// TILESEXPORT / TILESIMPORT: sheets written and read back through PNG files,
// LZ77 blocks compressed again, and the files that are refused.
#include <gtest/gtest.h>

#include <random>

#include "app/app.h"
#include "app/state.h"
#include "batch/batch.h"
#include "tests/support/batch_fixture.h"
#include "tests/support/rom_fixture.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "tiles/lz77.h"
#include "tiles/png_file.h"
#include "tiles/tile_commands.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

struct TileFilesTest : vorkat::testing::BatchFixture {
  bool Logged(std::u16string_view part) const {
    for (const auto& l : host.logLines)
      if (l.find(part) != std::u16string::npos) return true;
    return false;
  }
  void PutRandomRom(std::size_t size) {
    std::mt19937 rng(7);
    Bytes rom(size);
    for (auto& b : rom) b = static_cast<std::uint8_t>(rng());
    PutRomBytes(state.rom, rom, F("game.gba"));
  }
  // A PNG sheet of the given size in the grey ramp of 16 colours, pixel k = k % 16.
  void WriteSheet(const std::string& name, int width, int height) {
    IndexedImage sheet{width, height, {}};
    for (int k = 0; k < width * height; ++k) sheet.pixels.push_back(static_cast<std::uint8_t>(k % 16));
    dir.Write(name, WritePng(sheet, GreyRamp(16)));
  }
};

TEST_F(TileFilesTest, AnUnchangedSheetLeavesTheRomByteIdenticalInEveryFormat) {
  PutRandomRom(0x4000);
  const Bytes before(state.rom.bytes.begin(), state.rom.bytes.end());
  for (const char* format : {"GB1", "GB2", "GBA4", "GBA8"}) {
    SCOPED_TRACE(format);
    const std::u16string f = FromUtf8(format);
    // 45 tiles, 8 per row: the last row is part-filled with the tiles that follow.
    ASSERT_FALSE(Run(u"TILESEXPORT=&h100,45," + f + u",8," + F("sheet.png") + u"\r\nTILESIMPORT=" + F("sheet.png") +
                     u",&h100," + f + u",8\r\n")
                     .stopped);
    const PngPicture png = ReadPng(dir.Read("sheet.png"));
    EXPECT_EQ(png.width, 64);
    EXPECT_EQ(png.height, 48);
    EXPECT_EQ(png.palette.size(), static_cast<std::size_t>(TileColours(*ParseTileFormat(f))));  // indexed colour
    EXPECT_TRUE(std::equal(before.begin(), before.end(), state.rom.bytes.begin()));
  }
  // A sheet an editor saved in RGB colours is mapped to the nearest grey.
  PngPicture rgb;
  rgb.width = 2;
  rgb.height = 1;
  rgb.pixels = {250, 250, 240, 90, 80, 70};
  const IndexedImage mapped = MapToPalette(rgb, GreyRamp(4));
  EXPECT_EQ(mapped.pixels, (std::vector<std::uint8_t>{0, 2}));
}

TEST_F(TileFilesTest, BadSheetsAreRefusedNamingTheFileAndChangeNothing) {
  PutRandomRom(0x1000);
  const Bytes before(state.rom.bytes.begin(), state.rom.bytes.end());
  dir.Write("text.png", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
  WriteSheet("good.png", 64, 16);
  Bytes cut = dir.Read("good.png");
  cut.resize(cut.size() / 2);
  dir.Write("cut.png", cut);
  Bytes corrupt = dir.Read("good.png");
  corrupt[20] ^= 0xFF;  // inside the header chunk: its CRC no longer matches
  dir.Write("crc.png", corrupt);
  WriteSheet("wide.png", 72, 16);
  WriteSheet("tall.png", 64, 12);
  for (const std::string name : {"text.png", "cut.png", "crc.png", "wide.png", "tall.png", "none.png"}) {
    SCOPED_TRACE(name);
    host.logLines.clear();
    const BatchResult r = Run(u"TILESIMPORT=" + F(name) + u",0,GBA4,8\r\nDOLOG=after\r\n");
    EXPECT_TRUE(r.stopped);
    EXPECT_TRUE(Logged(F(name)));
    EXPECT_FALSE(Logged(u"after"));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), state.rom.bytes.begin()));
  }
  // The cells past the end of the ROM must come back blank.
  EXPECT_TRUE(Run(u"TILESIMPORT=" + F("good.png") + u",&hFC0,GBA4,8\r\n").stopped);
  EXPECT_TRUE(Run(u"TILESIMPORT=" + F("good.png") + u",0,GBA5,8\r\n").stopped);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), state.rom.bytes.begin()));
}

TEST_F(TileFilesTest, CompressedTilesGoBackInPlaceOrMoveWithTheirPointers) {
  // 64 GBA4 tiles of stripes after one of noise, compressed at 0x200, with a pointer to it at 0x40.
  Bytes tiles(64 * 32);
  for (std::size_t i = 0; i < tiles.size(); ++i)
    tiles[i] = static_cast<std::uint8_t>(i < 32 ? i * 37 + 11 : i / 64 % 2 ? 0x11 : 0x00);
  const std::vector<std::uint8_t> stream = CompressLz77(tiles);
  Bytes rom(0x8000, 0xFF);
  std::copy(stream.begin(), stream.end(), rom.begin() + 0x200);
  const Bytes pointer = {0x00, 0x02, 0x00, 0x08};
  std::copy(pointer.begin(), pointer.end(), rom.begin() + 0x40);
  PutRomBytes(state.rom, rom, F("game.gba"));

  ASSERT_FALSE(Run(u"TILESEXPORT=&h200,64,GBA4,16," + F("font.png") + u",LZ77\r\nTILESIMPORT=" + F("font.png") +
                   u",&h200,GBA4,16,LZ77\r\n")
                   .stopped);
  EXPECT_TRUE(std::equal(rom.begin(), rom.end(), state.rom.bytes.begin()));

  // The noisy tile filled with ink compresses into the old place.
  IndexedImage sheet = MapToPalette(ReadPng(dir.Read("font.png")), GreyRamp(16));
  for (int y = 0; y < 8; ++y) std::fill_n(sheet.pixels.begin() + y * sheet.width, 8, std::uint8_t{15});
  dir.Write("ink.png", WritePng(sheet, GreyRamp(16)));
  ASSERT_FALSE(Run(u"TILESIMPORT=" + F("ink.png") + u",&h200,GBA4,16,LZ77\r\n").stopped);
  Lz77Block back = DecompressLz77(state.rom.view().subspan(0x200));
  ASSERT_EQ(back.error, Lz77Error::None);
  EXPECT_EQ(back.data, [&] {
    Bytes inked = tiles;
    std::fill_n(inked.begin(), 32, std::uint8_t{0xFF});
    return inked;
  }());

  // Noise does not fit: refused by the batch, moved by the import given free space.
  std::mt19937 rng(3);
  for (auto& p : sheet.pixels) p = static_cast<std::uint8_t>(rng() % 16);
  dir.Write("noise.png", WritePng(sheet, GreyRamp(16)));
  const Bytes beforeNoise(state.rom.bytes.begin(), state.rom.bytes.end());
  EXPECT_TRUE(Run(u"TILESIMPORT=" + F("noise.png") + u",&h200,GBA4,16,LZ77\r\n").stopped);
  EXPECT_TRUE(Logged(F("noise.png")));
  EXPECT_TRUE(std::equal(beforeNoise.begin(), beforeNoise.end(), state.rom.bytes.begin()));

  TileSheetJob job;
  job.layout = {TileFormat::GBA4, 8};
  job.columns = 16;
  job.palette = GreyRamp(16);
  job.lz77Block = 0x200;
  EXPECT_FALSE(ImportTileSheet(state, job, F("noise.png"), Lz77Room{0x4001, 0x4100}));  // too small
  ASSERT_TRUE(ImportTileSheet(state, job, F("noise.png"), Lz77Room{0x4001, 0x7FFF}));
  EXPECT_EQ(state.rom.bytes[0x41], 0x40);  // the pointer now addresses 0x4004
  EXPECT_EQ(state.rom.bytes[0x40], 0x04);
  back = DecompressLz77(state.rom.view().subspan(0x4004));
  ASSERT_EQ(back.error, Lz77Error::None);
  EXPECT_EQ(back.data, [&] {
    std::vector<std::uint8_t> d(tiles.size());
    SheetToCells(sheet, job.layout, CellRun(0, 64, 32), 16, d);
    return d;
  }());
}

}  // namespace
