#include "search/masked_search.h"

#include <gtest/gtest.h>

#include "batch/batch.h"
#include "tests/codec/codec_test_support.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct MaskedSearch : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  // The hit lines of one search, and the jump list it filled.
  std::vector<std::u16string> Hits(std::u16string_view pattern, std::vector<std::u16string>* jumps = nullptr) {
    ClearLog(state);
    SearchRomBytes(state, pattern, jumps);
    std::vector<std::u16string> hits;
    for (const auto& line : LogLines(state))
      if (StartsWith(line, u"адрес")) hits.push_back(line);
    return hits;
  }
};

}  // namespace

// A malformed item is named and nothing else is searched in its place:
// "48 45 4C" once searched 48 00 05 4C and reported a false hit.
TEST_F(MaskedSearch, MalformedItemsAreReportedInsteadOfSearched) {
  EXPECT_EQ(ParseSearchPattern(u"48??fFa0"), (SearchPattern{0x48, kAnyByte, 0xFF, 0xA0}));
  PutRom(state, {0x48, 0x00, 0x05, 0x4C, 0x00, 0x04});
  for (const auto& [pattern, item] : {std::pair<std::u16string, std::u16string>{u"48 45 4C", u" 4"},
                                      {u"ZZ", u"ZZ"},
                                      {u"484", u"4"},
                                      {u"4?", u"4?"}}) {
    std::u16string bad;
    EXPECT_FALSE(ParseSearchPattern(pattern, &bad));
    EXPECT_EQ(bad, item);
    EXPECT_TRUE(Hits(pattern).empty()) << ToUtf8(pattern);
    EXPECT_NE(state.ctx.log.text.find(u"'" + item + u"'"), std::u16string::npos);
    EXPECT_EQ(state.ctx.log.spans.back().colour, kColourDarkRed);
  }
}

TEST_F(MaskedSearch, HitsBeyondTheLoggedOnesAreCountedExactly) {
  const std::size_t size = kSearchHitsLogged + 7;
  state.rom.bytes.assign(size, 0);
  state.rom.isLoaded = true;
  EXPECT_EQ(Hits(u"00").size(), kSearchHitsLogged);
  EXPECT_NE(state.ctx.log.text.find(u"Найдено совпадений" + NumText(static_cast<long long>(size))),
            std::u16string::npos);
}

TEST_F(MaskedSearch, LogsHitsWithTheirBytesAndFillsTheJumpList) {
  PutRom(state, {0x00, 0x48, 0x45, 0x4C, 0x4C, 0x4F, 0x48, 0x41});
  std::vector<std::u16string> jumps{u"5"};
  EXPECT_EQ(Hits(u"48??4C", &jumps), std::vector<std::u16string>{u"адрес  1 hex(1)   -->48,45,4C"});
  EXPECT_EQ(jumps, (std::vector<std::u16string>{u"5", u"1"}));
  const auto lines = LogLines(state);
  EXPECT_EQ(lines.front(), u"Будем искать строку 48??4C");
  EXPECT_EQ(lines.back(), u"поиск завершен.");
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(MaskedSearch, OneBytePatternFindsEveryByteUpToTheLast) {
  PutRom(state, {0xFF, 0x00, 0xFF, 0x10, 0xFF});
  EXPECT_EQ(Hits(u"FF"), (std::vector<std::u16string>{u"адрес  0 hex(0)   -->FF", u"адрес  2 hex(2)   -->FF",
                                                      u"адрес  4 hex(4)   -->FF"}));
}

TEST_F(MaskedSearch, LeadingWildcardReportsTheByteBefore) {
  PutRom(state, {0x41, 0x10, 0x41, 0x41});
  EXPECT_EQ(Hits(u"??41"), (std::vector<std::u16string>{u"адрес  1 hex(1)   -->10,41"}))
      << "the 41 at 0 has no byte before it, and 2..3 would overlap the hit 1..2";
  PutRom(state, {0x41, 0x10, 0x41, 0x20, 0x41});
  EXPECT_EQ(Hits(u"??41").size(), 2u);
}

TEST_F(MaskedSearch, HitsDoNotOverlapAndAFailedAttemptRetriesOneByteLater) {
  PutRom(state, {0x41, 0x41, 0x41});
  EXPECT_EQ(Hits(u"4141"), std::vector<std::u16string>{u"адрес  0 hex(0)   -->41,41"});
  PutRom(state, {0x41, 0x41, 0x41, 0x42});
  EXPECT_EQ(Hits(u"41??42"), std::vector<std::u16string>{u"адрес  1 hex(1)   -->41,41,42"});
  PutRom(state, {0x10, 0x41, 0x42});
  EXPECT_EQ(Hits(u"4142??").size(), 0u) << "a hit must lie wholly inside the ROM";
  EXPECT_EQ(LogLines(state).back(), u"поиск завершен.");
}

TEST_F(MaskedSearch, MissingPrefixOneCharacterAndNoRom) {
  PutRom(state, {1, 2, 3});
  Hits(u"0405");
  EXPECT_EQ(LogLines(state).back(), u"Такая строка не найдена ");
  Hits(u"0");
  EXPECT_EQ(LogLines(state), std::vector<std::u16string>{u"Будем искать строку 0"});
  state.rom = {};
  Hits(u"01");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, u"Ошибочка");
  EXPECT_EQ(LogLines(state), std::vector<std::u16string>{u"ROM еще не загружен"});
}

TEST_F(MaskedSearch, StopButtonEndsTheSearchMidway) {
  std::vector<std::uint8_t> rom(4u << 20, 0);
  for (std::size_t i = 0; i < rom.size(); i += 4096) rom[i] = 0x99;
  PutRom(state, rom);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] { state.ctx.CancelRequested = true; };
  const auto hits = Hits(u"99");
  EXPECT_LT(hits.size(), 1024u);
  EXPECT_EQ(LogLines(state).back(), u"Процесс поиска прерван пользователем");
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(MaskedSearch, TypedTextBecomesHexWithOrWithoutTheTable) {
  EXPECT_EQ(SearchTextToHex(state, u"A*B", false), u"41??42");
  EXPECT_EQ(SearchTextToHex(state, u"Жж", false), u"C6E6");
  LoadLines(state, {u"01=A", u"02=*", u"03=B"});
  EXPECT_EQ(SearchTextToHex(state, u"A*B", true), u"010203") << "with the table, * is an ordinary character";
}

TEST_F(MaskedSearch, BatchCommandLogsHits) {
  TempDir dir;
  PutRom(state, {0x12, 0x34, 0x12, 0x34});
  dir.WriteText("s.txt", u"SEARCHROM=12??\r\n");
  RunBatch(state, dir.File("s.txt"));
  EXPECT_TRUE(LogHas(state, u"адрес  0 hex(0)   -->12,34"));
  EXPECT_TRUE(LogHas(state, u"адрес  2 hex(2)   -->12,34"));
}
