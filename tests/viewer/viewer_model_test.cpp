#include "viewer/viewer_model.h"

#include <gtest/gtest.h>

#include "tests/codec/codec_test_support.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

std::vector<std::uint8_t> Counting(std::size_t n) {
  std::vector<std::uint8_t> rom(n);
  for (std::size_t i = 0; i < n; ++i) rom[i] = static_cast<std::uint8_t>(i);
  return rom;
}

// A viewer of 4 cells by 3 rows (12 hex characters per line for one-byte cells).
struct Viewer : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ViewerModel view;

  void Open(const std::vector<std::uint8_t>& rom) {
    PutRom(state, rom);
    ResetViewer(state, view);
    LayOutViewer(state, view, 4 * (state.table.codeWidth == 2 ? 5 : 3), 3);
  }
  void Press(ViewerKey key, bool modifier = false) { PressViewerKey(state, view, key, modifier); }
  // Colour of the hex pane character at cell `cell`.
  std::uint32_t CellColour(const ViewerPage& page, int cell) {
    return page.hexColours[static_cast<std::size_t>(cell * view.CursorSizeInChar)];
  }
};

}  // namespace

TEST_F(Viewer, ShortRomShowsEverythingFromTheStart) {
  Open({0x41, 0x00, 0xC6});
  view.ViewTop = 2;
  const ViewerPage page = FillView(state, view);
  EXPECT_EQ(view.ViewTop, 0);
  EXPECT_EQ(page.hex, u"41 00 C6 ");
  EXPECT_EQ(page.text, u"A.Ж") << "no table: Windows-1251, and the placeholder below 32";
  EXPECT_EQ(CursorStatusText(view), u" 0, 0, 0, адрес курсора= 0 (&H0)");
}

TEST_F(Viewer, CursorWrapsAndScrollsAtThePageEdges) {
  Open(Counting(100));
  Press(ViewerKey::Left);
  EXPECT_EQ(view.CursorColumn, 3) << "left of the first cell is the last cell of the (first) row";
  Press(ViewerKey::Right);
  EXPECT_EQ(view.CursorRow, 1);
  EXPECT_EQ(view.CursorColumn, 0);
  Press(ViewerKey::Down);
  Press(ViewerKey::Down);
  EXPECT_EQ(view.CursorRow, 2);
  EXPECT_EQ(view.ViewTop, 4) << "below the last row the page scrolls one row";
  Press(ViewerKey::PageDown);
  EXPECT_EQ(view.ViewTop, 16);
  Press(ViewerKey::PageUp);
  EXPECT_EQ(view.ViewTop, 4);
  EXPECT_EQ(view.CursorRow, 0);
  Press(ViewerKey::Home);
  EXPECT_EQ(view.ViewTop, 0);
  EXPECT_EQ(CursorAddress(view), 0);
}

TEST_F(Viewer, ShiftRightOnTheLastPageIsPulledBack) {
  Open(Counting(100));
  Press(ViewerKey::End);
  EXPECT_EQ(view.ViewTop, 88);
  EXPECT_EQ(view.CursorRow, 2);
  EXPECT_EQ(view.CursorColumn, 0);
  Press(ViewerKey::Right, true);
  EXPECT_EQ(view.ViewTop, 88);
  Press(ViewerKey::Left, true);
  EXPECT_EQ(view.ViewTop, 87);
  EXPECT_EQ(view.CursorColumn, 0) << "the cursor stays where it is";
}

TEST_F(Viewer, EndOnDbcsShowsTheLastPairsAndTheirCharacters) {
  LoadLines(state, {u"TrTableType=DBCS", u"8140=あ", u"0041=AB"});
  Open({0, 0, 0, 0, 0x81, 0x40, 0x00, 0x41, 0x00, 0x01, 0x30, 0x42, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x81, 0x40});
  EXPECT_EQ(view.CursorSizeInChar, 5);
  Press(ViewerKey::End);
  EXPECT_EQ(view.ViewTop, 26 - 4 * 2 * 3);
  ViewerPage page = FillView(state, view);
  EXPECT_EQ(page.hex.substr(0, 15), u"0000 8140 0041 ");
  EXPECT_EQ(page.text.substr(0, 3), u".あ.") << "a two-character entry shows the placeholder";
  view.UseTrTable = false;
  page = FillView(state, view);
  EXPECT_EQ(page.text.substr(0, 5), u".\u8140A.\u3042") << "without the table a pair is its UTF-16 code";
}

TEST_F(Viewer, Sbcs2TwoByteCodesAreTwoCells) {
  LoadLines(state, {u"TrTableType=SBCS2", u"41=A", u"8140=X"});
  Open({0x81, 0x40, 0x41});
  EXPECT_EQ(FillView(state, view).text, u"..A");
}

TEST_F(Viewer, DefaultHighlightMarksThreeCellsBeforeEach08) {
  Open({0x08, 0x11, 0x22, 0x33, 0x08, 0x44, 0x80, 0x55});
  const ViewerPage page = FillView(state, view);
  const std::uint32_t red = kColourBrightRed;
  std::vector<std::uint32_t> cells;
  for (int i = 0; i < page.cells; ++i) cells.push_back(CellColour(page, i));
  EXPECT_EQ(cells, (std::vector<std::uint32_t>{red, red, red, red, red, 0, 0, 0}))
      << "the span that would start before the page starts at its beginning; 80 55 holds no 08";
}

TEST_F(Viewer, RulesTakePaletteNumbersOrRgbAndSkipUnknownColours) {
  Open({0x09, 0x0F, 0x01});
  SetHighlightRules(state, view, u"09,-1,c521c3\r\n0f,,1\r\nno comma\r\n01,0,99");
  ASSERT_EQ(view.rules.size(), 2u);
  EXPECT_TRUE(LogHas(state, u"01,0,99"));
  const ViewerPage page = FillView(state, view);
  EXPECT_EQ(CellColour(page, 0), 0xC321C5u);
  EXPECT_EQ(CellColour(page, 1), 0x800000u) << "palette 1 is blue";
  EXPECT_EQ(CellColour(page, 2), 0u);
}

TEST_F(Viewer, DifferencesAgainstTheOriginalAreGreenPerCell) {
  Open({1, 2, 3, 4});
  state.originalRom.bytes.assign({1, 9, 3});
  state.originalRom.isLoaded = true;
  view.ShowDiff = true;
  SetHighlightRules(state, view, u"");
  ViewerPage page = FillView(state, view);
  EXPECT_EQ(CellColour(page, 0), 0u);
  EXPECT_EQ(CellColour(page, 1), kViewerDiffColour);
  EXPECT_EQ(CellColour(page, 3), kViewerDiffColour) << "beyond the original's end counts as different";
  view.ShowOrigHexes = true;
  page = FillView(state, view);
  EXPECT_EQ(page.hex, u"01 09 03 ");
  EXPECT_EQ(CellColour(page, 0), 0u);
  EXPECT_EQ(CellColour(page, 1), kViewerDiffColour) << "the original's view shows the differences too";
}

TEST_F(Viewer, PageCarriesRowOffsetsTheBlockAndTheSelection) {
  Open(Counting(0x20000));
  view.ViewTop = 0x1FFEC;
  ViewerPage page = BuildPage(state, view);
  EXPECT_EQ(page.offsets, (std::vector<std::u16string>{u"01FFEC", u"01FFF0", u"01FFF4"}))
      << "as many digits as the last offset needs, at least six";

  Press(ViewerKey::Right);
  Press(ViewerKey::SetBlockStart);
  Press(ViewerKey::Down);
  Press(ViewerKey::SetBlockEnd);
  page = BuildPage(state, view);
  EXPECT_EQ(std::pair(page.blockFrom, page.blockTo), std::pair(1, 6)) << "both ends included";
  view.BlockStart = -1;
  page = BuildPage(state, view);
  EXPECT_EQ(std::pair(page.blockFrom, page.blockTo), std::pair(0, 6)) << "an end alone runs from offset 0";

  // Shift+arrows select from where the cursor stood; a plain move drops the selection.
  ExtendSelection(state, view, ViewerKey::Left);
  ExtendSelection(state, view, ViewerKey::Left);
  page = BuildPage(state, view);
  EXPECT_EQ(std::pair(page.selectedFrom, page.selectedTo), std::pair(3, 6));
  EXPECT_EQ(SelectedHex(state, view), u"EF F0 F1");
  view.UseTrTable = false;
  EXPECT_EQ(SelectedText(state, view), u"прс") << "Windows-1251 without a table";
  Press(ViewerKey::Right);
  EXPECT_EQ(SelectedBytes(view), std::pair(0, 0));
}

TEST_F(Viewer, JumpsRememberWhereThePageStood) {
  Open(Counting(200));
  JumpToText(state, view, u"&H40");
  EXPECT_EQ(view.ViewTop, 64);
  JumpBack(state, view);
  EXPECT_EQ(view.ViewTop, 0);
  JumpBack(state, view);
  EXPECT_EQ(view.ViewTop, 64);
  std::vector<std::uint8_t> rom = Counting(200);
  rom[10] = 0x30, rom[11] = 0, rom[12] = 0, rom[13] = 0x08;
  PutRom(state, rom);
  FollowPointer(state, view, u"10");
  EXPECT_EQ(view.ViewTop, 0x30);
  FollowPointer(state, view, u"20");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Не думаю, что по этому смещению лежит указатель GBA");
}

// A pointer ending in 09 leads into the upper 16 MiB of a 32 MiB ROM.
TEST_F(Viewer, PointerJumpFollows09Pointers) {
  std::vector<std::uint8_t> rom(0x1000100, 0);
  rom[10] = 0x40, rom[11] = 0, rom[12] = 0, rom[13] = 0x09;
  rom[20] = 0x40, rom[21] = 0, rom[22] = 0, rom[23] = 0x0A;
  Open(rom);
  FollowPointer(state, view, u"10");
  EXPECT_EQ(view.ViewTop, 0x1000040);
  FollowPointer(state, view, u"20");
  EXPECT_EQ(view.ViewTop, 0x1000040);
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(Viewer, JumpListReadsReportsLogsAndNumbers) {
  Open(Counting(16));
  TempDir dir;
  dir.WriteText("list.txt", CrLfLines({u"адрес байтов в роме=hex(1A2B), указывают на  1234 (4D2)-->D2,04,00,08",
                                       u"адрес  17 hex(11)   -->48,45,4C", u"  300 ", u"0", u"7",
                                       u"адрес байтов в роме=hex(), указывают на"}));
  ASSERT_TRUE(LoadJumpList(state, view, dir.File("list.txt")));
  EXPECT_EQ(view.jumpList, (std::vector<std::u16string>{u"&H1A2B", u"17", u"300"}))
      << "a one-character line is not taken";
  EXPECT_FALSE(LoadJumpList(state, view, dir.File("none.txt")));
  EXPECT_EQ(view.jumpList.size(), 3u);
}
