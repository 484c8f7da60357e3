#include <gtest/gtest.h>

#include "app/state.h"
#include "codec/table_loader.h"
#include "fonttools/font_maker.h"
#include "fonttools/font_mapper.h"
#include "fonttools/font_tags.h"
#include "tests/support/scripted_host.h"

using namespace vorkat;

namespace {

// A picture given as rows of '.' (background) and '#' (ink).
std::optional<InkExtent> Measure(const std::vector<std::string>& rows) {
  return CalcWdthHeight(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), [&](int x, int y) {
    return rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#';
  });
}

}  // namespace

TEST(FontTags, DraggedCellTagCarriesTheMeasuredWidthAndItsGridPlace) {
  // Ink ends in column 6 of an 8-pixel cell, lowest ink in row 2.
  const auto ink = Measure({"......#.", "#.......", "..#.....", "........"});
  ASSERT_TRUE(ink);
  EXPECT_EQ(ink->width, 6);
  EXPECT_EQ(ink->height, 2);
  EXPECT_EQ(MakeFontMappingTag(ink->width, 3, 5), u"6,char3_5.bmp=текст");
  EXPECT_FALSE(Measure({"....", "...."}));
}

TEST(FontTags, EntryDialogWritesFlagsInTheirOrderAndKeepsOtherWords) {
  FdtEntry e = SplitFdtEntry(u"0,a.bmp=<$0A>");
  e.more = true;
  e.newLine = true;
  EXPECT_EQ(BuildFdtEntryTag(e), u"0_NEWLINE_MORE,a.bmp=<$0A>");

  const FdtEntry back = SplitFdtEntry(u"5_more_cls_Wait,b.bmp=x=y");
  EXPECT_EQ(back.width, 5);
  EXPECT_TRUE(back.more && back.clearScreen);
  EXPECT_FALSE(back.newLine || back.textScroll);
  EXPECT_EQ(back.otherFlags, u"_Wait");
  EXPECT_EQ(back.picture, u"b.bmp");
  EXPECT_EQ(back.text, u"x=y");
  EXPECT_EQ(BuildFdtEntryTag(back), u"5_CLS_MORE_Wait,b.bmp=x=y");

  FdtEntry other;
  other.otherFlags = u"SILENT";
  other.text = u"<$SPACE>";
  EXPECT_EQ(BuildFdtEntryTag(other), u"0_SILENT,= ");
}

TEST(FontTags, SpaceMarkupIsABlankInTheTagAndMarkupInTheList) {
  const std::u16string tag = FdtItemTextEdited(u"4,s.bmp=текст", u"<$SPACE>");
  EXPECT_EQ(tag, u"4,s.bmp= ");
  EXPECT_EQ(FdtItemText(tag), u"<$SPACE>");
  EXPECT_EQ(FdtItemTextEdited(u"no comma here", u"x"), u"no comma here");
}

TEST(FontTags, EditorLinesReadBackAsTheTagsTheyCameFrom) {
  FdtEditorSave save;
  save.cellWidth = 200;
  save.cellHeight = 12;
  save.FontFileName = u"sheet.bmp";
  save.FontDirPath = u"/fonts/";
  save.FontTranspColor = 0xFFFFFF;
  save.unknownCharWidth = 3;
  save.tags = {u"6,char0_1.bmp=A", u"0_NEWLINE,char0_2.bmp=\r\n", u"4,char0_3.bmp= ", u"8,=08"};
  const std::vector<std::u16string> lines = FdtEditorLines(save);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], u"16,12=FontWidthFontHeight");
  EXPECT_EQ(lines[4], u"&HFFFFFF,&HFFFFFF=FontTranspColor");
  EXPECT_EQ(lines[5], u"3,/fonts/unknown.bmp=UnknownMappingChar");
  EXPECT_TRUE(lines[6].empty());
  EXPECT_EQ(lines[8], u"0_NEWLINE,char0_2.bmp=<$VBCRLF>");

  FontDescriptionTable fdt;
  fdt.lines = lines;
  ReparseFontDescription(fdt);
  ASSERT_TRUE(fdt.isLoaded);
  EXPECT_EQ(fdt.FontDirPath, u"/fonts/");
  EXPECT_EQ(fdt.unknownCharWidth, 3);
  EXPECT_EQ(FdtEditorTags(fdt), save.tags);

  EXPECT_EQ(*FdtGlyphFile(u"/fonts/", save.tags[3], 3), u"/fonts/char-4.bmp");
  EXPECT_EQ(*FdtGlyphFile(u"/fonts", save.tags[0], 0), u"/fonts/char0_1.bmp");
  EXPECT_FALSE(FdtGlyphFile(u"/fonts/", u"8=a,b", 0));
  EXPECT_EQ(*FdtGlyphFile(u"/fonts/", u"8,#12=a", 0), u"");
  EXPECT_EQ(FdtEditorFileName(u"/a.b/font"), u"/a.b/font.fdt");
  EXPECT_EQ(FdtEditorFileName(u"font.txt"), u"font.txt");
}

TEST(FontTags, FlagsThatStartWithADigitStaySilentThroughTheList) {
  FontDescriptionTable fdt;
  fdt.lines = {u"08,a.bmp=a", u"7,b.bmp=b"};
  ReparseFontDescription(fdt);
  ASSERT_EQ(fdt.mappings[0].flags, u"0");
  const std::vector<std::u16string> tags = FdtEditorTags(fdt);
  fdt.lines = tags;
  ReparseFontDescription(fdt);
  EXPECT_EQ(fdt.mappings[0].width, 8);
  EXPECT_FALSE(fdt.mappings[0].flags.empty());
}

TEST(FontMaker, NamesHaveEvenHexDigitsAndLinesNameTheDecimalCell) {
  EXPECT_EQ(MakerCutFileName(u"/out", u" char- ", 9), u"/out/char-09.bmp");
  EXPECT_EQ(MakerCutFileName(u"/out/", u"char-", 0x100), u"/out/char-0100.bmp");
  EXPECT_EQ(MakerViewFileName(u"/o", u"c", MakerCellOf(18, 16), 0x20, false), u"/o/c122.bmp");
  EXPECT_EQ(MakerViewFileName(u"/o", u"c", MakerCellOf(18, 16), 0x20, true), u"/o/c221.bmp");
  EXPECT_EQ(MakerMappingLine(5, 33, 0x41), u"5,#33=A");
  EXPECT_EQ(MakerMappingLine(5, 200, 0xC0), u"5,#200=А");  // Windows-1251 C0 is Cyrillic A
  EXPECT_EQ(MakerMappingLine(7, 300, 0x3042), u"7,#300=\u3042");
}

TEST(FontMaker, WrittenFdtLoadsWithTheCellsTheGlyphLoaderReads) {
  MakerFdt m;
  m.charWidth = 8;
  m.charHeight = 12;
  m.sheetFile = u"/s/sheet.bmp";
  m.rows = 2;
  m.cols = 16;
  m.outDir = u"/out";
  m.prefix = u"char-";
  m.mappingLines = {MakerMappingLine(5, 10, 0x2A), MakerMappingLine(6, 11, 0x2B)};
  EXPECT_EQ(MakerFdtFileName(m), u"/out/char--surprize.fdt");
  const std::u16string text = MakerFdtText(m);
  EXPECT_TRUE(text.ends_with(u"6,#11=+\r\n"));
  FontDescriptionTable fdt;
  fdt.lines.clear();
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find(u"\r\n", start);
    fdt.lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  ReparseFontDescription(fdt);
  ASSERT_TRUE(fdt.isLoaded);
  EXPECT_EQ(fdt.fontHeight, 12);
  EXPECT_EQ(fdt.FontClipCols, 16);
  EXPECT_EQ(fdt.FontDirPath, u"/out/");
  EXPECT_EQ(fdt.mappings[0].picture, u"#10");
  EXPECT_EQ(fdt.mappings[1].text, u"+");
}

TEST(FontMaker, TableOrderCutsByTheGamesCodesWithTheGamesWidths) {
  ScriptedHost host;
  AppState state(host);
  LoadTableText(state, u"TrTableType=SBCS\r\n00=A\r\n01=<$SPACE>\r\n03=Б\r\nFE=<$VBCRLF>", u"t.tbl");
  // Cell index + first code is the table's code, its text in the FDT's markup form.
  EXPECT_EQ(MakerCellText(MakerOrder::Table, state.table, 0), u"A");
  EXPECT_EQ(MakerCellText(MakerOrder::Table, state.table, 1), u"<$SPACE>");
  EXPECT_EQ(MakerCellText(MakerOrder::Table, state.table, 0xFE), u"<$VBCRLF>");
  EXPECT_FALSE(MakerCellText(MakerOrder::Table, state.table, 2));  // no text: the cell is skipped
  EXPECT_EQ(MakerCellText(MakerOrder::Cp1251, state.table, 0xC1), u"Б");
  EXPECT_EQ(MakerMappingLineText(4, 3, u"Б"), u"4,#3=Б");

  // The character width extractor's lines; the FDT's width leaves out the 1-pixel spacing.
  const auto widths = ParseWidthTable(u" 6=0\r\n 5=1\r\n 8=1A\r\nнет\r\n 7=ZZ\r\n");
  EXPECT_EQ(widths.size(), 3u);
  EXPECT_EQ(widths.at(0x1A), 8);
  EXPECT_EQ(WidthFromAdvance(widths.at(1), 1), 4);
  EXPECT_EQ(WidthFromAdvance(0, 1), 0);

  const MakerGrid grid = MakerGridOf(128, 100, 8, 16);
  EXPECT_EQ(grid.cols, 16);
  EXPECT_EQ(grid.rows, 6);
}

TEST(FontMapper, TableLinesGiveTheirTextAndOneLineCloseChangesNothing) {
  ScriptedHost host;
  AppState state(host);
  LoadTableText(state, u"TrTableType=SBCS\r\n0A=a<$VBCRLF>b\r\n41=A", u"t.tbl");
  EXPECT_EQ(FontMapperCharText(state.table, u"0A = a\r\nb"), u"ab");
  EXPECT_EQ(FontMapperLine(u" 6 ", u"/g/A.bmp", u"A"), u"6,/g/A.bmp=A");

  state.fdt.lines = {u"8,16=FontWidthFontHeight", u"5,a.bmp=a", u"5,b.bmp=b"};
  ReparseFontDescription(state.fdt);
  ASSERT_EQ(FontMapperStartLines(state.fdt).size(), 3u);
  EXPECT_FALSE(CloseFontMapper(state, {u"6,c.bmp=c"}));
  EXPECT_EQ(state.fdt.lines.size(), 3u);
  EXPECT_EQ(state.fdt.lastMappingIndex, 1);

  EXPECT_TRUE(CloseFontMapper(state, {u"5,a.bmp=a", u"5,b.bmp=b", u"6,c.bmp=c"}));
  EXPECT_EQ(state.fdt.lastMappingIndex, 2);
  EXPECT_EQ(state.fdt.mappings[2].text, u"c");
}
