#include "font/glyph_names.h"

#include <gtest/gtest.h>

#include <set>

using namespace vorkat;

namespace {

struct GlyphFontPlan : ::testing::Test {
  FontDescriptionTable fdt;
  std::set<std::u16string> files;
  FileExistsFn exists = [this](std::u16string_view name) { return files.count(std::u16string(name)) > 0; };

  void Load(std::vector<std::u16string> lines) {
    fdt.lines = std::move(lines);
    ReparseFontDescription(fdt);
  }
};

using Kind = GlyphSource::Kind;

}  // namespace

TEST(GlyphFontSheet, CellsCountLeftToRightThenDown) {
  EXPECT_EQ(SheetCellAt(0, 4, 16), (SheetCell{0, 0}));
  EXPECT_EQ(SheetCellAt(17, 4, 16), (SheetCell{1, 1}));
  EXPECT_EQ(SheetCellAt(63, 4, 16), (SheetCell{3, 15}));
  EXPECT_FALSE(SheetCellAt(64, 4, 16));
  EXPECT_FALSE(SheetCellAt(-1, 4, 16));
  EXPECT_FALSE(SheetCellAt(0, 0, 16));
  bool outOfRange = false;
  EXPECT_EQ(SheetReference(u" #17 ", &outOfRange), 17);
  EXPECT_FALSE(SheetReference(u"a#1.bmp", &outOfRange));
  EXPECT_FALSE(outOfRange);
  EXPECT_FALSE(SheetReference(u"#40000", &outOfRange));
  EXPECT_TRUE(outOfRange);
}

TEST_F(GlyphFontPlan, PicturesFallBackToTheFolderThenToUnknownThenToThePlaceholder) {
  Load({u"0,/new/=FontDirPath", u"0,C:\\old\\sheet.bmp=FontFileName", u"6,C:\\old\\a.bmp=A", u"6,b.bmp=B", u"6,=C",
        u"6,#17=D", u"6,/old/e.bmp=E"});
  files = {u"/new/sheet.bmp", u"/new/a.bmp", u"/new/e.bmp"};
  GlyphPlan plan = PlanGlyphStore(fdt, exists);
  EXPECT_EQ(plan.sheetFile, u"/new/sheet.bmp");
  EXPECT_EQ(fdt.FontFileName, u"/new/sheet.bmp");
  EXPECT_EQ(fdt.mappings[0].picture, u"/new/a.bmp");  // the record keeps the path found
  EXPECT_EQ(fdt.mappings[2].picture, kNoPictureMarker);
  const std::vector<GlyphSource> expected = {{Kind::File, u"/new/a.bmp", 0}, {Kind::Placeholder, {}, 0},
                                             {Kind::Placeholder, {}, 0},     {Kind::SheetCell, {}, 17},
                                             {Kind::File, u"/new/e.bmp", 0}, {Kind::Placeholder, {}, 0}};
  EXPECT_EQ(plan.entries, expected);
  // "b.bmp" has no folder, so it is looked for only where it is written; the
  // record without a picture logs nothing.
  ASSERT_EQ(plan.log.size(), 1u);
  EXPECT_EQ(plan.log[0].text, u"Картинка по имени 'b.bmp' не найдена\r\nвместо нее загрузим ");
  EXPECT_TRUE(plan.missingPictures);
  EXPECT_FALSE(plan.failed);

  Load({u"3,u.bmp=UnknownMappingChar", u"6,x.bmp=A", u"6,y.bmp=B"});
  files = {u"u.bmp"};
  plan = PlanGlyphStore(fdt, exists);
  EXPECT_EQ(plan.entries, std::vector<GlyphSource>(3, {Kind::File, u"u.bmp", 0}));
  EXPECT_EQ(plan.log.size(), 2u);
}

TEST_F(GlyphFontPlan, CellNumberBeyondSixteenBitsAbandonsTheLoad) {
  Load({u"6,#1=A", u"6,#99999=B"});
  EXPECT_TRUE(PlanGlyphStore(fdt, exists).failed);
}
