#include "viewer/block_ops.h"

#include <gtest/gtest.h>

#include "tests/codec/codec_test_support.h"
#include "tests/support/temp_dir.h"
#include "viewer/viewer_model.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct BlockOps : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ViewerModel view;
  TempDir dir;

  BlockOps() {
    std::vector<std::uint8_t> rom(32);
    for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(0x41 + i % 26);
    PutRom(state, rom);
    ResetViewer(state, view);
    LayOutViewer(state, view, 4 * 3, 4);
  }
  void CursorAt(int row, int column) {
    view.CursorRow = row;
    view.CursorColumn = column;
  }
};

}  // namespace

TEST_F(BlockOps, OnlyAnEndTakesTheBlockFromTheStart) {
  CursorAt(0, 3);
  PressViewerKey(state, view, ViewerKey::SetBlockEnd);
  EXPECT_EQ(BlockStatusText(view), u"Адрес начала блока для дампа=-1 адрес конца блока= 3");
  host.fileNames.push_back(dir.File("b.bin"));
  WriteBlockToFile(state, view);
  EXPECT_EQ(dir.Read("b.bin"), (Bytes{0x41, 0x42, 0x43, 0x44}));
  EXPECT_EQ(view.BlockStart, 0);
  const std::u16string text =
      u"Блок начиная с адреса 0(0) и заканчивая адресом 3(3) записан в двоичный файл " + dir.File("b.bin");
  EXPECT_TRUE(LogHas(state, text));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, text);
}

TEST_F(BlockOps, SameCellOrNoBoundsIsAnEmptyBlock) {
  PressViewerKey(state, view, ViewerKey::SetBlockStart);
  PressViewerKey(state, view, ViewerKey::SetBlockEnd);
  DumpBlockAsDialog(state, view);
  WriteBlockToFile(state, view);
  PressViewerKey(state, view, ViewerKey::ClearBlock);
  AppendBlockToFile(state, view);
  ASSERT_EQ(host.messages.size(), 3u);
  for (const auto& m : host.messages) {
    EXPECT_EQ(m.text, u"Выбранная длинна блока 0 байт");
    EXPECT_EQ(m.icon, MsgIcon::Error);
  }
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(BlockOps, AppendTwiceGivesTheBlockTwiceAndAFailedAppendKeepsTheFile) {
  view.BlockStart = 2;
  view.BlockEnd = 4;
  for (int i = 0; i < 2; ++i) {
    host.fileNames.push_back(dir.File("a.bin"));
    AppendBlockToFile(state, view);
  }
  const Bytes twice{0x43, 0x44, 0x45, 0x43, 0x44, 0x45};
  EXPECT_EQ(dir.Read("a.bin"), twice);
  EXPECT_TRUE(LogHas(state, u" добавлен в двоичный файл "));
  state.ctx.writeFaults.failAfterBytes = 2;
  host.fileNames.push_back(dir.File("a.bin"));
  AppendBlockToFile(state, view);
  EXPECT_EQ(dir.Read("a.bin"), twice);
  EXPECT_EQ(LogColourOf(state, u"Не удалось записать файл"), kColourBrightRed);
}

TEST_F(BlockOps, DumpDecodesUpToButNotIncludingTheEnd) {
  LoadLines(state, {u"41=A", u"42=B", u"43=C", u"44=D"});
  view.BlockStart = 1;
  view.BlockEnd = 3;
  host.fileNames.push_back(dir.File("d.txt"));
  DumpBlockAsDialog(state, view);
  const std::u16string text = dir.ReadText("d.txt");
  EXPECT_NE(text.find(u"BC"), std::u16string::npos);
  EXPECT_EQ(text.find(u"BCD"), std::u16string::npos);
  EXPECT_TRUE(LogHas(state, u"Блок начиная с адреса 1(1) и заканчивая адресом 3(3) записан в файл диалогов "));
}

TEST_F(BlockOps, EndBeyondTheRomIsClampedToTheLastByte) {
  view.BlockStart = 30;
  view.BlockEnd = 500;
  host.fileNames.push_back(dir.File("e.bin"));
  WriteBlockToFile(state, view);
  EXPECT_EQ(view.BlockEnd, 31);
  EXPECT_EQ(dir.Read("e.bin").size(), 2u);
  view.BlockStart = 40;
  view.BlockEnd = 50;
  WriteBlockToFile(state, view);
  EXPECT_EQ(host.messages.back().text, u"Выбранная длинна блока 0 байт");
}
