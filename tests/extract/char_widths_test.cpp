#include <gtest/gtest.h>

#include <unistd.h>

#include "app/app.h"
#include "tests/support/scripted_host.h"
#include "extract/char_widths.h"
#include "tests/extract/extract_test_support.h"

using namespace vorkat;
using namespace vorkat::extract_testing;

namespace {

struct CharWidths : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ScratchDir dir;
  std::u16string out = dir.File("widths.txt");

  void SetUp() override {
    std::vector<std::uint8_t> rom(0x106, 0x09);
    const std::uint8_t widths[] = {6, 5, 7, 8, 4, 3};
    for (int k = 0; k < 6; ++k) rom[0x100 + k] = widths[k];
    PutRom(state, rom);
  }
};

}  // namespace

TEST_F(CharWidths, ReadsUpToTwoBytesBeforeTheEnd) {
  ExtractCharWidths(state, 0x100, 0x106, 0, out);
  EXPECT_EQ(ReadBytes(out), " 6=0\r\n 5=1\r\n 7=2\r\n 8=3\r\n 4=4\r\n");
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Начали процесс вынимания ширины букв из ROM "));
  EXPECT_EQ(host.logLines.back(), u" 4");
  // End 0 is the ROM length, and so is an end past it.
  ExtractCharWidths(state, 0x100, 0, 0, out);
  EXPECT_EQ(ReadBytes(out), " 6=0\r\n 5=1\r\n 7=2\r\n 8=3\r\n 4=4\r\n");
  ExtractCharWidths(state, 0x100, 0x5000, 0, out);
  EXPECT_EQ(ReadBytes(out), " 6=0\r\n 5=1\r\n 7=2\r\n 8=3\r\n 4=4\r\n");
}

TEST_F(CharWidths, ReplacedOutputIsKeptAsBak) {
  WriteText(out, u"kept");
  ExtractCharWidths(state, 0x100, 0x106, 0, out);
  EXPECT_EQ(ReadText(out + u".bak"), u"kept");
}

TEST_F(CharWidths, SkipReadsEveryNthByteAndCodesAreHex) {
  ExtractCharWidths(state, 0x100, 0x106, 1, out);
  EXPECT_EQ(ReadBytes(out), " 6=0\r\n 7=1\r\n 4=2\r\n");
  ExtractCharWidths(state, 0xE6, 0x106, 0, out);
  auto lines = SplitCrLf(ReadText(out));
  ASSERT_GE(lines.size(), 0x1Bu);
  EXPECT_EQ(lines[0x19], u" 9=19");
  EXPECT_EQ(lines[0x1A], u" 6=1A");
}

TEST_F(CharWidths, NegativeFirstIsOneAndNegativeSkipIsRefused) {
  ExtractCharWidths(state, -5, 4, 0, out);
  EXPECT_EQ(ReadBytes(out), " 9=0\r\n 9=1\r\n");
  WriteText(out, u"old");
  ExtractCharWidths(state, 0x100, 0x106, -1, out);
  EXPECT_EQ(ReadText(out), u"old");
  EXPECT_EQ(host.logLines.back(), u"Сколько байт пропускать: нужно число не меньше 0, а не -1");
}

TEST_F(CharWidths, StopEndsAWholeRomRunKeepingTheLinesSoFar) {
  PutRom(state, std::vector<std::uint8_t>(1 << 20, 7));
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] {
    if (host.logLines.size() >= 100) state.ctx.CancelRequested = true;
  };
  ExtractCharWidths(state, 0, 0, 0, out);
  EXPECT_EQ(host.logLines.back(), u"Процесс вынимания ширины букв прерван пользователем");
  EXPECT_LT(host.logLines.size(), 110u);
  auto lines = SplitCrLf(ReadText(out));
  ASSERT_GE(lines.size(), 90u);
  EXPECT_LT(lines.size(), 110u);
  EXPECT_EQ(lines[0], u" 7=0");
  EXPECT_TRUE(lines.back().empty());
}

TEST_F(CharWidths, MenuAsksThreeQuestions) {
  host.inputs = {u"&h100", u"&h106", u"0"};
  host.fileNames = {out};
  RunCharWidthExtractor(state);
  ASSERT_EQ(host.prompts.size(), 4u);
  EXPECT_EQ(host.prompts[0].text, u"откуда резать");
  EXPECT_EQ(host.prompts[1].text, u"ДОкуда резать");
  EXPECT_EQ(host.prompts[2].text, u"Сколько байт пропускать");
  EXPECT_EQ(host.prompts[3].title, u"Save text to file");
  EXPECT_EQ(host.prompts[3].text, u"Вынутые данные о ширине букв(*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  EXPECT_EQ(host.logLines.front(), u"&h100,&h106,0");
  EXPECT_EQ(ReadBytes(out), " 6=0\r\n 5=1\r\n 7=2\r\n 8=3\r\n 4=4\r\n");

  // An empty answer does nothing, not even the log line.
  host.logLines.clear();
  host.prompts.clear();
  host.inputs = {u"1", u"", u"0"};
  RunCharWidthExtractor(state);
  EXPECT_TRUE(host.logLines.empty());
  EXPECT_EQ(host.prompts.size(), 2u);
}

TEST_F(CharWidths, WithoutRomOnlyTheMessage) {
  state.rom.isLoaded = false;
  ExtractCharWidths(state, 0, 0, 0);
  EXPECT_EQ(host.logLines, std::vector<std::u16string>{u"ROM еще не загружен"});
  EXPECT_TRUE(host.prompts.empty());
}
