// MAKEFDT: an FDT written from a PNG font sheet in the order of the loaded
// table, read back by the FDT loader; sheets and states it refuses.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/state.h"
#include "tests/support/batch_fixture.h"
#include "tiles/png_file.h"

using namespace vorkat;

namespace {

struct SheetFdtTest : vorkat::testing::BatchFixture {
  // Three 8x16 cells for the codes 20, 21, 22: blank, ink in columns 1 to 5,
  // ink everywhere. The table has texts for 20 and 21 and an end code.
  void SetUp() override {
    BatchFixture::SetUp();
    dir.WriteText("font.tbl", u"/FF\r\n20=<$SPACE>\r\n21=A\r\nFF=<$END>\r\n");
    IndexedImage sheet{24, 16, std::vector<std::uint8_t>(24 * 16, 0)};
    for (int y = 2; y < 12; ++y)
      for (int x = 8 + 1; x <= 8 + 5; ++x) sheet.pixels[static_cast<std::size_t>(y * 24 + x)] = 15;
    for (int y = 0; y < 16; ++y)
      for (int x = 16; x < 24; ++x) sheet.pixels[static_cast<std::size_t>(y * 24 + x)] = 7;
    dir.Write("font.png", WritePng(sheet, GreyRamp(16)));
  }
  BatchResult Make(const std::u16string& before) {
    return Run(before + u"MAKEFDT=" + F("font.png") + u",8,16,&h20," + F("font.fdt") + u"\r\nDOLOG=next");
  }
};

}  // namespace

TEST_F(SheetFdtTest, WritesOneMappingPerTableCodeWithMeasuredWidthsAndTheWrapCodes) {
  ASSERT_FALSE(Make(u"LOADTABLE=" + F("font.tbl") + u"\r\nWRAPSETTINGS=100,\\,^\r\n").stopped);
  ASSERT_FALSE(Run(u"LOADFDT=" + F("font.fdt")).stopped);
  const FontDescriptionTable& fdt = state.fdt;
  EXPECT_EQ(fdt.fontWidth, 8);
  EXPECT_EQ(fdt.fontHeight, 16);
  EXPECT_EQ(fdt.FontFileName, F("font.png"));
  EXPECT_EQ(fdt.FontClipRows, 1);
  EXPECT_EQ(fdt.FontClipCols, 3);
  ASSERT_EQ(fdt.lastMappingIndex, 4);  // cell 22 has no text in the table
  const FdtMapping expected[] = {{u"\\", u"", 0, u"_NEWLINE"},
                                 {u"^", u"", 0, u"_MORE_CLS"},
                                 {u"<$END>", u"", 0, u"_END"},
                                 {u" ", u"#0", 4, u""},   // no ink: half a cell
                                 {u"A", u"#1", 5, u""}};  // the rightmost ink column
  for (std::size_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(fdt.mappings[k], expected[k]) << k;
}

TEST_F(SheetFdtTest, RefusesWithoutTableOrReadableSheetAndStopsTheScript) {
  EXPECT_TRUE(Make(u"").stopped);
  dir.WriteText("font.png", u"not a picture");
  EXPECT_TRUE(Make(u"LOADTABLE=" + F("font.tbl") + u"\r\n").stopped);
  EXPECT_TRUE(Run(u"MAKEFDT=" + F("font.png") + u",8,x,0," + F("font.fdt")).stopped);
  EXPECT_TRUE(Run(u"MAKEFDT=" + F("font.png") + u",8,16,&h7FFFFFFF," + F("font.fdt")).stopped);
  EXPECT_TRUE(std::any_of(host.logLines.begin(), host.logLines.end(),
                          [](const std::u16string& l) { return l.find(u"от 0 до FFFF") != l.npos; }));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "font.fdt"));
  for (const auto& line : host.logLines) EXPECT_NE(line, u"next");
}

TEST_F(SheetFdtTest, NamesCellsItCannotTakeFromTheSheet) {
  ASSERT_FALSE(Run(u"LOADTABLE=" + F("font.tbl")).stopped);
  // A sheet of whole cells says nothing of them; the 7 pixels at the right edge of a 31-pixel one
  // are no whole 8x16 cell, and are said to be left out.
  ASSERT_FALSE(Run(u"MAKEFDT=" + F("font.png") + u",8,16,&h20," + F("font.fdt")).stopped);
  EXPECT_TRUE(host.logLines.end() == std::find_if(host.logLines.begin(), host.logLines.end(), [](const auto& l) {
                return l.find(u"не делится на клетки нацело") != l.npos;
              }));
  IndexedImage wider{31, 16, std::vector<std::uint8_t>(31 * 16, 0)};
  dir.Write("wide.png", WritePng(wider, GreyRamp(16)));
  ASSERT_FALSE(Run(u"MAKEFDT=" + F("wide.png") + u",8,16,&h20," + F("font.fdt")).stopped);
  EXPECT_TRUE(std::any_of(host.logLines.begin(), host.logLines.end(), [](const std::u16string& l) {
    return l.find(u"не делится на клетки нацело (31x16, клетка 8x16)") != l.npos;
  }));
  // A cell larger than the sheet is refused as such.
  EXPECT_TRUE(Run(u"MAKEFDT=" + F("font.png") + u",32,16,&h20," + F("big.fdt")).stopped);
  EXPECT_TRUE(std::any_of(host.logLines.begin(), host.logLines.end(), [](const std::u16string& l) {
    return l.find(u"меньше одной клетки (24x16, клетка 32x16)") != l.npos;
  }));
  // Cells whose codes run past the table's last are named as such.
  EXPECT_TRUE(Run(u"MAKEFDT=" + F("font.png") + u",8,16,&hFFFF," + F("big.fdt")).stopped);
  EXPECT_TRUE(std::any_of(host.logLines.begin(), host.logLines.end(), [](const std::u16string& l) {
    return l.find(u"за концом таблицы (после FFFF) пропущено: 2") != l.npos;
  }));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "big.fdt"));
}
