#include "patch/rom_compare.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "patch/ips_writer.h"
#include "tests/patch/patch_fixtures.h"

using namespace vorkat;
using namespace vorkat::patch_testing;

namespace {

struct Block {
  std::int32_t offset;
  std::vector<std::uint8_t> bytes;
  bool operator==(const Block&) const = default;
};

std::vector<Block> Blocks(const ChangedBlockList& list) {
  std::vector<Block> out;
  for (const auto& b : list.blocks) {
    auto bytes = list.bytes(b);
    out.push_back({b.offset, {bytes.begin(), bytes.end()}});
  }
  return out;
}

// Every test runs in both comparison modes: they must agree.
class CompareRomsTest : public ::testing::TestWithParam<bool> {
 protected:
  ScriptedHost host;
  AppState state{host};
  bool eco() const { return GetParam(); }

  std::vector<Block> Compare(const std::vector<std::uint8_t>& working, const std::vector<std::uint8_t>& original,
                             bool merge) {
    SetRom(state.rom, working);
    SetOriginal(state.originalRom, original);
    CompareRoms(state, eco(), merge);
    EXPECT_TRUE(state.ips.changes.comparisonDone);
    return Blocks(state.ips.changes);
  }
};

TEST_P(CompareRomsTest, NearbyDifferencesMergeOnlyWhenAskedAndAtMostFourApart) {
  auto original = Pattern(0x400);
  auto working = original;
  working[0x100] ^= 0xFF;
  working[0x103] ^= 0xFF;
  auto apart = Compare(working, original, false);
  ASSERT_EQ(apart.size(), 2u);
  EXPECT_EQ(apart[0], (Block{0x100, {working[0x100]}}));
  EXPECT_EQ(apart[1], (Block{0x103, {working[0x103]}}));

  auto merged = Compare(working, original, true);
  ASSERT_EQ(merged.size(), 1u);
  EXPECT_EQ(merged[0], (Block{0x100, {working.begin() + 0x100, working.begin() + 0x104}}))
      << "the unchanged bytes in between are the working ROM's";

  auto four = original;
  four[0x100] ^= 1;
  four[0x105] ^= 1;
  EXPECT_EQ(Compare(four, original, true).size(), 1u);
  auto five = original;
  five[0x100] ^= 1;
  five[0x106] ^= 1;
  EXPECT_EQ(Compare(five, original, true).size(), 2u);
}

TEST_P(CompareRomsTest, IdenticalRomsGiveNoBlocksAndNoPatch) {
  auto rom = Pattern(100000);
  EXPECT_TRUE(Compare(rom, rom, true).empty());
  EXPECT_EQ(host.logLines.back().substr(19), u" Закончили сравнение ROM'ов, отличительных блоков насчитано 0");
  TempDir dir;
  host.fileNames.push_back(dir.File("none.ips"));
  WriteIps(state);
  EXPECT_EQ(host.logLines.back(), u"А нет нефига изменений, не буду ничего сохранять");
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.ips"));
}

TEST_P(CompareRomsTest, RunsAcrossChunkEdgesAndTheLastByte) {
  auto original = Pattern(3 * kCompareChunk + 5);
  auto working = original;
  for (std::size_t x : {kCompareChunk - 2, kCompareChunk - 1, kCompareChunk, kCompareChunk + 3, 2 * kCompareChunk + 1,
                        original.size() - 1})
    working[x] ^= 0x80;
  auto blocks = Compare(working, original, true);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].offset, static_cast<std::int32_t>(kCompareChunk - 2));
  EXPECT_EQ(blocks[0].bytes.size(), 6u);
  EXPECT_EQ(blocks[1].offset, static_cast<std::int32_t>(2 * kCompareChunk + 1));
  EXPECT_EQ(blocks[2].offset, static_cast<std::int32_t>(original.size() - 1));
  EXPECT_EQ(Compare(working, original, false).size(), 4u);
}

TEST_P(CompareRomsTest, LogsStartAndEndAndShowsProgress) {
  auto original = Pattern(1000);
  auto working = original;
  working[10] ^= 1;
  working[500] ^= 1;
  SetRom(state.rom, working, u"/t/work.gba");
  SetOriginal(state.originalRom, original, u"/t/orig.gba");
  CompareRoms(state, eco(), true);
  ASSERT_EQ(host.logLines.size(), 2u);
  const auto& start = host.logLines[0];
  EXPECT_EQ(start.substr(19),
            u" Начинаем сравнение двух ROM'ов\r\nИсправленный = /t/work.gba\r\nОригинальный = /t/orig.gba");
  EXPECT_EQ(start[2], u'.');
  EXPECT_EQ(start[5], u'.');
  EXPECT_EQ(start[13], u':');
  EXPECT_EQ(host.logLines[1].substr(19), u" Закончили сравнение ROM'ов, отличительных блоков насчитано 2");
  ASSERT_FALSE(host.progressCalls.empty());
  EXPECT_TRUE(host.progressCalls.front().visible);
  EXPECT_FALSE(host.progressCalls.back().visible);
}

TEST_P(CompareRomsTest, MissingRomsAreReportedAndTheListIsEmptied) {
  auto rom = Pattern(100);
  auto other = rom;
  other[1] ^= 1;
  Compare(other, rom, true);
  ASSERT_EQ(state.ips.changes.blocks.size(), 1u);
  state.originalRom.isLoaded = false;
  CompareRoms(state, eco(), true);
  EXPECT_EQ(host.logLines.back(), u"Не загружен оригинальный ROM");
  EXPECT_TRUE(state.ips.changes.blocks.empty());
  EXPECT_FALSE(state.ips.changes.comparisonDone);
  state.rom.isLoaded = false;
  CompareRoms(state, eco(), true);
  EXPECT_EQ(host.logLines.back(), u"Не загружен ROM");
}

TEST_P(CompareRomsTest, StopLeavesAPartialListThatIsNotWritten) {
  auto original = Pattern(5000);
  auto working = original;
  for (std::size_t x = 0; x < working.size(); x += 100) working[x] ^= 1;
  SetRom(state.rom, working);
  SetOriginal(state.originalRom, original);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] { state.ctx.CancelRequested = true; };
  CompareRoms(state, eco(), false);
  EXPECT_FALSE(state.ips.changes.comparisonDone);
  EXPECT_LT(state.ips.changes.blocks.size(), 50u);
  EXPECT_FALSE(LogHas(host, u"Закончили сравнение"));
  EXPECT_FALSE(state.ctx.progress.visible);
  WriteIps(state, u"never.ips");
  EXPECT_EQ(host.logLines.back(), u"Для того, чтобы сохранить IPS нужно сначала сравнить пару ROM'ов");
}

TEST_P(CompareRomsTest, LongerWorkingRomCountsItsTailAsChanged) {
  auto original = Pattern(300);
  auto working = original;
  working.insert(working.end(), {1, 2, 3});
  working[290] ^= 1;
  auto blocks = Compare(working, original, true);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1], (Block{300, {1, 2, 3}}));
  EXPECT_TRUE(LogHasColoured(state, u"Исправленный ROM длиннее оригинального на 3 байт", kColourDarkRed));
  int warnings = 0;
  for (const auto& line : host.logLines) warnings += line.find(u"длиннее") != std::u16string::npos;
  EXPECT_EQ(warnings, 1);

  auto shorter = std::vector<std::uint8_t>(original.begin(), original.begin() + 200);
  shorter[199] ^= 1;
  blocks = Compare(shorter, original, true);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].offset, 199);
  EXPECT_TRUE(LogHasColoured(state, u"Исправленный ROM короче оригинального на 100 байт", kColourDarkRed));
}

INSTANTIATE_TEST_SUITE_P(BothModes, CompareRomsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Eco" : "Chunked"; });

TEST(FindChangedBlocks, ModesAgreeOnRandomRoms) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    auto original = Pattern(std::uniform_int_distribution<std::size_t>(1, 200000)(rng), round);
    auto working = original;
    int changes = std::uniform_int_distribution<int>(0, 60)(rng);
    for (int i = 0; i < changes; ++i) {
      std::size_t at = std::uniform_int_distribution<std::size_t>(0, working.size() - 1)(rng);
      std::size_t len = std::uniform_int_distribution<std::size_t>(1, 12)(rng);
      for (std::size_t k = at; k < std::min(working.size(), at + len); ++k)
        working[k] = static_cast<std::uint8_t>(rng());
    }
    for (bool merge : {false, true}) {
      ChangedBlockList eco, chunked;
      ASSERT_TRUE(FindChangedBlocks(working, original, true, merge, eco));
      ASSERT_TRUE(FindChangedBlocks(working, original, false, merge, chunked));
      EXPECT_EQ(Blocks(eco), Blocks(chunked)) << "round " << round;
      for (std::size_t i = 1; i < eco.blocks.size(); ++i)
        EXPECT_GT(eco.blocks[i].offset, eco.blocks[i - 1].offset + eco.blocks[i - 1].size + (merge ? 4 : 0));
    }
  }
}

}  // namespace
