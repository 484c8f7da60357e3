#include "font/text_wrapper.h"

#include <gtest/gtest.h>

using namespace vorkat;

namespace {

// 6-pixel letters, a 4-pixel blank, "\" a new line; spacing 1, border 230.
struct WrapTest : ::testing::Test {
  FontDescriptionTable fdt;
  PreviewSettings ps;

  void SetUp() override { Load(true); }

  void Load(bool blankRecord) {
    fdt.lines = {u"8,10=FontWidthFontHeight", u"0_NEWLINE,n.bmp=\\", u"6,a.bmp=a", u"6,b.bmp=b"};
    if (blankRecord) fdt.lines.push_back(u"4,s.bmp=<$SPACE>");
    ReparseFontDescription(fdt);
    ps.InterLetterStep = 1;
    ps.WrapRightLimitPix = 230;
    ps.gameLFchar = u"\\";
  }

  // Five-letter words: each word with its blank advances 40 pixels.
  static std::u16string Words(int n) {
    std::u16string s;
    for (int i = 0; i < n; ++i) s += (i ? u" " : u"") + std::u16string(5, u'a');
    return s;
  }
};

}  // namespace

TEST_F(WrapTest, LastMappedBlankBeforeTheBorderBecomesTheLineBreak) {
  const std::u16string text = Words(15);
  const WrapResult r = ParseTextForWrapper(fdt, ps, text);
  std::u16string expected = text;
  expected[29] = u'\\';  // after the 5th word: the 6th ends at X = 235
  expected[59] = u'\\';
  EXPECT_EQ(r.text, expected);
  EXPECT_TRUE(r.overflows.empty());
  EXPECT_TRUE(r.steps.empty());  // measured without a shown preview

  const WrapResult shown = ParseTextForWrapper(fdt, ps, text, true);
  EXPECT_EQ(shown.text, expected);
  EXPECT_FALSE(shown.steps.empty());
}

TEST_F(WrapTest, BlankWithoutRecordIsNeverABreak) {
  Load(false);
  const std::u16string text = Words(15);
  const WrapResult r = ParseTextForWrapper(fdt, ps, text);
  EXPECT_EQ(r.text, text);
  EXPECT_EQ(r.overflows.size(), 1u);  // one line, reported once
}

TEST_F(WrapTest, OverWideLineIsLeftAndReportedOnceThenTheRestWraps) {
  const std::u16string text = std::u16string(40, u'a') + u" bb";
  const WrapResult r = ParseTextForWrapper(fdt, ps, text);
  ASSERT_EQ(r.overflows.size(), 1u);
  EXPECT_EQ(r.overflows[0].position, 33u);  // 33 × 7 = 231
  EXPECT_EQ(r.overflows[0].penX, 231);
  EXPECT_EQ(r.text, std::u16string(40, u'a') + u"\\bb");
  const LogLine line = OverflowLogLine(r.overflows[0]);
  EXPECT_EQ(line.colour, kColourDarkRed);
  EXPECT_NE(line.text.find(u" 33"), std::u16string::npos);
}

TEST_F(WrapTest, OnlyTheFirstCharacterOfALongLineBreakIsWritten) {
  ps.gameLFchar = u"\\n";
  std::u16string expected = Words(7);
  expected[29] = u'\\';
  EXPECT_EQ(ParseTextForWrapper(fdt, ps, Words(7)).text, expected);
  // The page marker looks for the whole string.
  EXPECT_EQ(MarkPages(u"a\\nb\\c\\nd", u"\\n", u"#", 1), u"a#b\\c#d");
}

TEST_F(WrapTest, EveryThirdOfSevenLineBreaksBecomesAPage) {
  EXPECT_EQ(MarkPages(u"1\\2\\3\\4\\5\\6\\7\\8", u"\\", u"@", 3), u"1\\2\\3@4\\5\\6@7\\8");
  // A page string that holds the line break is not counted again.
  EXPECT_EQ(MarkPages(u"1\\2\\3\\4", u"\\", u"\\\\", 1), u"1\\\\2\\\\3\\\\4");
  EXPECT_EQ(MarkPages(u"1\\2", u"", u"@", 1), u"1\\2");
}

TEST_F(WrapTest, RefusesAStartNotLeftOfTheBorder) {
  EXPECT_EQ(CheckWrapValues(fdt, ps), WrapRefusal::None);
  ps.DefaultMyX = 240;
  EXPECT_EQ(CheckWrapValues(fdt, ps), WrapRefusal::BorderNotRightOfStart);
  ps.gameLFchar.clear();
  EXPECT_EQ(CheckWrapValues(fdt, ps), WrapRefusal::EmptyLfChar);
}

TEST_F(WrapTest, WrapsEveryDialogMarksPagesAndCountsTheChanged) {
  std::vector<DialogRecord> dialogs(3);
  dialogs[0].dlgID = u"100";
  dialogs[0].dlgText = Words(15);
  dialogs[1].dlgText = u"aa";
  dialogs[2].dlgID = u"300";
  dialogs[2].dlgText = std::u16string(40, u'a');
  ps.MkPageBrkEveryNLFs = 2;
  ps.gameScrollChar = u"@";
  const WrapDialogsResult r = WrapDialogTexts(dialogs, fdt, ps);
  EXPECT_EQ(r.changed, 1);
  std::u16string expected = Words(15);
  expected[29] = u'\\';
  expected[59] = u'@';
  EXPECT_EQ(dialogs[0].dlgText, expected);
  ASSERT_EQ(r.log.size(), 1u);
  EXPECT_EQ(r.log[0].text.rfind(u"Диалог 300: ", 0), 0u);
}

TEST_F(WrapTest, CheckListsTheLinesPassingTheBorder) {
  std::vector<DialogRecord> dialogs(2);
  dialogs[0].dlgID = u"7";
  dialogs[0].dlgText = u"ab\\" + std::u16string(40, u'b') + u"\\a";
  dialogs[1].dlgID = u"8";
  dialogs[1].dlgText = Words(6);
  const std::vector<OverBorderLine> lines = CheckWrap(dialogs, fdt, ps);
  const std::vector<OverBorderLine> expected = {{u"7", 2, 280, std::u16string(40, u'b')}, {u"8", 1, 235, Words(6)}};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(OverBorderReportLine(expected[1]), u"8\t1\t235\t" + Words(6));
}
