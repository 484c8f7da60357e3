#include "font/preview_layout.h"

#include <gtest/gtest.h>

using namespace vorkat;

namespace {

struct PreviewLayoutTest : ::testing::Test {
  FontDescriptionTable fdt;
  PreviewSettings ps;

  void Load(std::vector<std::u16string> lines) {
    fdt.lines = std::move(lines);
    fdt.lines.insert(fdt.lines.begin(), u"8,10=FontWidthFontHeight");
    fdt.lines.push_back(u"3,u.bmp=UnknownMappingChar");
    ReparseFontDescription(fdt);
    ASSERT_TRUE(fdt.isLoaded);
  }

  PreviewLayout Print(std::u16string_view text, LayoutView view = {}) {
    std::optional<PreviewLayout> layout = ParseText(fdt, ps, text, view);
    EXPECT_TRUE(layout.has_value());
    return layout.value_or(PreviewLayout{});
  }

  static std::vector<std::int32_t> Entries(const PreviewLayout& l) {
    std::vector<std::int32_t> e;
    for (const DrawStep& s : l.steps)
      if (s.kind == StepKind::Glyph) e.push_back(s.entry);
    return e;
  }
};

}  // namespace

TEST_F(PreviewLayoutTest, GlyphsAdvanceByWidthPlusSpacingAndUnknownsByTheirWidth) {
  Load({u"6,a.bmp=A", u"5,b.bmp=B"});
  ps.DefaultMyX = 10;
  ps.DefaultMyY = 20;
  ps.InterLetterStep = 1;
  const PreviewLayout l = Print(u"AB?A");
  const std::vector<DrawStep> expected = {{StepKind::Clear, 0, 0, 0},
                                          {StepKind::Glyph, 0, 10, 20},
                                          {StepKind::Glyph, 1, 17, 20},
                                          {StepKind::Glyph, UnknownEntry(fdt), 23, 20},
                                          {StepKind::Glyph, 0, 27, 20}};
  EXPECT_EQ(l.steps, expected);
  EXPECT_EQ(l.penX, 34);
}

TEST_F(PreviewLayoutTest, ThreeLineBreaksTakeTheTwoPairRecordThenTheOnePairRecord) {
  Load({u"0_NEWLINE,n1.bmp=<$VBCRLF>", u"0_NEWLINE_X,n2.bmp=<$VBCRLF><$VBCRLF>", u"6,a.bmp=A"});
  ps.DoClsBeforePrint = false;
  PreviewPen pen(fdt, ps, {}, nullptr);
  pen.Start();
  const std::u16string text = u"A\r\n\r\n\r\nA";
  TokenResult t = pen.Token(text, 1);
  EXPECT_EQ(t.record, 1);
  EXPECT_EQ(t.next, 5u);
  t = pen.Token(text, t.next);
  EXPECT_EQ(t.record, 0);
  EXPECT_EQ(t.next, 7u);
  EXPECT_EQ(pen.y, 20);
}

TEST_F(PreviewLayoutTest, TokensAreCharactersLineBreaksOrWholeMarkupElements) {
  Load({u"6,a.bmp=<$A>", u"6,b.bmp=<$LONG>", u"6,c.bmp=xy"});
  ps.DoClsBeforePrint = false;
  // "<$A>" at the end has only three characters after "<": character by character.
  EXPECT_EQ(Entries(Print(u"<$A><$LONG>xy<$A>")), (std::vector<std::int32_t>{0, 1, 3, 3, 3, 3, 3, 3}));
}

TEST_F(PreviewLayoutTest, IgnoreHexSkipsAnUnmappedHexElementAndNMore) {
  Load({u"6,a.bmp=A", u"6,b.bmp=<$0A>"});
  ps.DoClsBeforePrint = false;
  const std::u16string text = u"<$41>BA<$0A><$0AB>xx";
  EXPECT_EQ(Entries(Print(text)), (std::vector<std::int32_t>{0, 1, 2, 2, 2}));
  ps.IgnoreHexN = 0;
  EXPECT_EQ(Entries(Print(text)), (std::vector<std::int32_t>{2, 0, 1, 2, 2, 2}));
  ps.IgnoreHex = false;
  ps.IgnoreHexN = 1;
  EXPECT_EQ(Entries(Print(text)), (std::vector<std::int32_t>{2, 2, 0, 1, 2, 2, 2}));
}

TEST_F(PreviewLayoutTest, HiddenPreviewDrawsNothingAndKeepsThePenUnlessMeasuring) {
  Load({u"6,a.bmp=A", u"0_NEWLINE,n.bmp=<$VBCRLF>"});
  ps.DefaultMyX = 4;
  PreviewLayout l = Print(u"AA\r\nA", {false, false});
  EXPECT_TRUE(l.steps.empty());
  EXPECT_EQ(l.penX, 4);
  EXPECT_EQ(l.penY, 0);
  l = Print(u"AA\r\nA", {false, true});
  EXPECT_TRUE(l.steps.empty());
  EXPECT_EQ(l.penX, 10);
  EXPECT_EQ(l.penY, 10);
}

TEST_F(PreviewLayoutTest, ControlWordsClearPauseOrBreakAndClsCanActAsNewLine) {
  Load({u"6,a.bmp=A", u"0_CLS,c.bmp=C", u"0_SCROLL,s.bmp=S", u"0_MORE,m.bmp=M", u"0_SILENT,q.bmp=Q"});
  ps.DefaultMyY = 5;
  ps.DoClsBeforePrint = false;
  PreviewLayout l = Print(u"AMAQSAC");
  std::vector<DrawStep> expected = {{StepKind::Glyph, 0, 0, 5},  {StepKind::PauseMore, 0, 0, 0},
                                    {StepKind::Glyph, 0, 0, 15}, {StepKind::PauseScroll, 0, 0, 0},
                                    {StepKind::Clear, 0, 0, 0},  {StepKind::Glyph, 0, 0, 5},
                                    {StepKind::Clear, 0, 0, 0}};
  EXPECT_EQ(l.steps, expected);
  EXPECT_EQ(l.penY, 5);

  ps.IgnoreClsWhenPrint = true;
  ps.WaitForKeyPress = false;
  l = Print(u"AMAQSAC");
  EXPECT_EQ(Entries(l), (std::vector<std::int32_t>{0, 0, 0}));
  EXPECT_EQ(l.steps.size(), 3u);  // no pause, no clear
  EXPECT_EQ(l.penY, 5 + 3 * 10);
}

TEST(PreviewSettingsTest, PrintPositionNeedsBothNumbers) {
  PreviewSettings ps;
  TakeOverPreviewValues(ps, u"12, &h10", u"2");
  EXPECT_EQ(PrintPositionText(ps), u"12,16");
  TakeOverPreviewValues(ps, u"40", u"x");
  EXPECT_EQ(PrintPositionText(ps), u"12,16");
  EXPECT_EQ(ps.InterLetterStep, 0);
}

TEST(PreviewSettingsTest, WrapSettingsListKeepsEmptyFields) {
  PreviewSettings ps;
  ps.gameScrollChar = u"@";
  ApplyWrapSettings(ps, u"230,<$SPACE>\\,,3,,8");
  EXPECT_EQ(ps.WrapRightLimitPix, 230);
  EXPECT_EQ(ps.gameLFchar, u" \\");
  EXPECT_EQ(ps.gameScrollChar, u"@");
  EXPECT_EQ(ps.MkPageBrkEveryNLFs, 3);
  EXPECT_EQ(ps.DefaultMyX, 0);
  EXPECT_EQ(ps.DefaultMyY, 8);
  EXPECT_EQ(ps.InterLetterStep, 0);
}
