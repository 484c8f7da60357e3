#include "codec/encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "codec/decoder.h"
#include "codec_test_support.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct Encoder : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  Bytes Enc(std::u16string_view text) { return Encode(state, text); }
};

}  // namespace

TEST_F(Encoder, LineBreaksAfterATokenAreConsumed) {
  LoadLines(state, {u"41=A", u"42=B", u"0A=<$VBCRLF>"});
  EXPECT_EQ(Enc(u"A\r\nB"), (Bytes{0x41, 0x42})) << "the break goes with A; entry 0A is never used";
  EXPECT_EQ(Enc(u"\r\nA"), (Bytes{0x41})) << "plain text is cut into single characters: CR and LF are unknown";
}

TEST_F(Encoder, EntryWithTheMostTrailingBreaksWins) {
  LoadLines(state, {u"48=H", u"69=i", u"FF=<$END><$VBCRLF>", u"FE=<$END><$VBCRLF><$VBCRLF><$VBCRLF>", u"FD=<$END>"});
  EXPECT_EQ(Enc(u"Hi<$END>\r\n\r\n"), (Bytes{0x48, 0x69, 0xFF})) << "the second break is dropped";
  EXPECT_EQ(Enc(u"<$END>\r\n\r\n\r\n\r\nH"), (Bytes{0xFE, 0x48}));
  EXPECT_EQ(Enc(u"<$END>H"), (Bytes{0xFD, 0x48}));
}

TEST_F(Encoder, ByteEscapesAndUnknownMarkup) {
  LoadLines(state, {u"41=A", u"24=$", u"3C=<", u"3E=>"});
  EXPECT_EQ(Enc(u"<$0d><$0D>"), (Bytes{0x0D, 0x0D}));
  EXPECT_EQ(Enc(u"<$0G>A<$123>A<$ABCD>"), (Bytes{0x41, 0x41})) << "unknown groups are dropped whole";
  EXPECT_EQ(Enc(u"A<$A>"), (Bytes{0x41, 0x3C, 0x24, 0x41, 0x3E})) << "a group needs four characters after '<'";
  EXPECT_EQ(Enc(u"<$41>"), (Bytes{0x41}));
  EXPECT_EQ(ByteEscapeValue(u"<$fF>"), std::optional<std::uint8_t>(0xFF));
  EXPECT_EQ(ByteEscapeValue(u"<$F>"), std::nullopt);
  EXPECT_EQ(ByteEscapeValue(u"<$FFF>"), std::nullopt);
  EXPECT_EQ(ByteEscapeValue(u"[$FF>"), std::nullopt);
}

TEST_F(Encoder, CodesAboveFFAreTwoBytesWhateverTheType) {
  LoadLines(state, {u"TrTableType=DBCS", u"0041=A", u"8140=あ"});
  EXPECT_EQ(Enc(u"Aあ"), (Bytes{0x41, 0x81, 0x40}));
}

TEST_F(Encoder, EqualTextsAreResolvedByTheLengthSortOrder) {
  // Slots 41, 61 (both one character): the first partition swaps them.
  LoadLines(state, {u"41=A", u"61=A"});
  EXPECT_EQ(Enc(u"A"), (Bytes{0x61}));

  // Slots 41 "<$aa>", 42 "B", 43 "<$aa>": pivot B; 42 and 43 swap, then
  // 41 and 43 swap, so 43 comes first.
  LoadLines(state, {u"41=<$aa>", u"42=B", u"43=<$aa>"});
  EXPECT_EQ(Enc(u"<$aa>"), (Bytes{0x43}));

  // Slots 41 "<$aa>", 42 "<$aa>", 43 "C": 41 and 42 swap once and stay.
  LoadLines(state, {u"41=<$aa>", u"42=<$aa>", u"43=C"});
  EXPECT_EQ(Enc(u"<$aa>"), (Bytes{0x42}));
}

// The length sort as the program has always done it, recursively, on
// (code, length) slots: ascending codes first, then the left-over empty slots.
namespace {
void ReferenceSort(std::vector<std::pair<int, int>>& slots, int lo, int hi) {
  const int pivot = slots[lo + (hi - lo) / 2].second;
  int i = lo;
  int j = hi;
  do {
    while (slots[i].second > pivot) ++i;
    while (slots[j].second < pivot) --j;
    if (i <= j) std::swap(slots[i++], slots[j--]);
  } while (i <= j);
  if (lo < j) ReferenceSort(slots, lo, j);
  if (i < hi) ReferenceSort(slots, i, hi);
}
}  // namespace

TEST(EncoderIndexOrder, FollowsTheRecursiveLengthSortExactly) {
  std::mt19937 rng(77);
  for (int round = 0; round < 30; ++round) {
    TranslationTable table;
    std::vector<std::pair<int, int>> expected;
    const int filled = std::uniform_int_distribution<int>(1, 3000)(rng);
    std::vector<int> codes(65536);
    for (int c = 0; c < 65536; ++c) codes[c] = c;
    std::shuffle(codes.begin(), codes.end(), rng);
    codes.resize(static_cast<std::size_t>(filled));
    std::sort(codes.begin(), codes.end());
    // Few distinct lengths, so that many slots tie.
    std::uniform_int_distribution<int> length(1, 1 + round % 6);
    for (int c : codes) {
      table.entries[static_cast<std::size_t>(c)] = std::u16string(static_cast<std::size_t>(length(rng)), u'x');
      expected.emplace_back(c, static_cast<int>(table.entries[static_cast<std::size_t>(c)].size()));
    }
    table.tokenCount = filled + std::uniform_int_distribution<int>(0, 200)(rng);
    expected.resize(static_cast<std::size_t>(table.tokenCount), {0, 0});
    if (expected.size() > 1) ReferenceSort(expected, 0, static_cast<int>(expected.size()) - 1);

    BuildEncoderIndex(table);
    ASSERT_EQ(table.encoderIndex.slots.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
      const EncoderIndexSlot& slot = table.encoderIndex.slots[k];
      ASSERT_EQ(slot.length, expected[k].second) << "round " << round << " slot " << k;
      if (slot.length > 0) {
        ASSERT_EQ(slot.code, expected[k].first) << "round " << round << " slot " << k;
      }
    }
  }
}

TEST_F(Encoder, IndexFollowsTheTableRevision) {
  LoadLines(state, {u"41=A"});
  EXPECT_EQ(Encode(state, u"A"), (Bytes{0x41}));
  LoadLines(state, {u"42=A"});
  EXPECT_EQ(Encode(state, u"A"), (Bytes{0x42})) << "a reload is seen at once";

  // A table edited by hand with more entries than tokenCount: seen once marked.
  state.table.entries[0x43] = u"<$cc>";
  EXPECT_EQ(Encode(state, u"A<$cc>"), (Bytes{0x42, 0xCC})) << "an unmarked edit is not seen";
  state.table.MarkChanged();
  EXPECT_EQ(Encode(state, u"A<$cc>"), (Bytes{0x42, 0x43}));
}

TEST_F(Encoder, UnknownCharacters) {
  LoadLines(state, {u"41=A"});
  state.ctx.settings.ExtendedLogs = u"NO";
  state.codecOptions.SkipUnknownTRChars = false;
  std::size_t logSize = state.ctx.log.lineCount;
  EXPECT_EQ(Enc(u"AЖA"), (Bytes{0x41, 0x41})) << "dropped silently without extended logs";
  EXPECT_EQ(state.ctx.log.lineCount, logSize);

  state.ctx.settings.ExtendedLogs = u"YES";
  EXPECT_EQ(Enc(u"AЖあ\r\n"), (Bytes{0x41, 0xC6, '?', 0x0D, 0x0A}));
  EXPECT_TRUE(LogHas(state, u"В таблице не найдена комбинация символов (правая часть таблицы) ='Ж'"));
  EXPECT_EQ(LogColourOf(state, u"При вставке текста диалога в ROM, могут появиться незапланированные проблемы..."),
            kColourBrightRed);

  state.codecOptions.SkipUnknownTRChars = true;
  EXPECT_EQ(Enc(u"<$xy>A"), (Bytes{0x41}));
  EXPECT_TRUE(LogHas(state, u"='<$xy>'"));
  EXPECT_EQ(LogColourOf(state, u"Будем считать, что мы вообще этой последовательности не встречали"), kColourGreen);
}

TEST_F(Encoder, UnknownCharactersAreReportedAHundredTimesPerOperation) {
  LoadLines(state, {u"41=A"});
  state.ctx.settings.ExtendedLogs = u"YES";
  state.codecOptions.SkipUnknownTRChars = false;
  const std::u16string text(250, u'Ж');
  EXPECT_EQ(Enc(text), Bytes(250, 0xC6)) << "characters whose report is left out are still written";
  EXPECT_EQ(CountIn(state.ctx.log.text, u"='Ж'"), 100u);
  EXPECT_EQ(CountIn(state.ctx.log.text, u"незапланированные проблемы"), 100u);
  EXPECT_EQ(LogColourOf(state,
                        u"В таблице не найдена комбинация символов (правая часть таблицы): ещё 150 таких "
                        u"сообщений не показано"),
            kColourDarkRed);

  // Calls that share one limit are one operation: its caller sums up.
  ClearLog(state);
  WarningLimit shared = UnknownTokenWarnings();
  for (int i = 0; i < 3; ++i) Encode(state, std::u16string(60, u'Ж'), &shared);
  EXPECT_EQ(CountIn(state.ctx.log.text, u"='Ж'"), 100u);
  EXPECT_FALSE(LogHas(state, u"ещё"));
  shared.Summarise(state, kColourDarkRed);
  EXPECT_TRUE(LogHas(state, u"ещё 80 таких сообщений не показано"));
}

TEST_F(Encoder, PostprocessorIsUndoneFirst) {
  LoadLines(state, {u"<$POSTPROCESSOR>ae,æ", u"<$POSTPROCESSOR>q,", u"61=a", u"65=e", u"71=q"});
  EXPECT_EQ(Enc(u"æq"), (Bytes{0x61, 0x65, 0x71})) << "a pair with an empty replace text is left alone";
  EXPECT_EQ(UndoPostprocessor(state.table, u""), u"");
}

TEST_F(Encoder, PairNeverAppliedWhenDecodingIsNotUndone) {
  // A pair with an empty find text changes nothing when decoding; undoing it
  // would delete every "x" from the text before it is encoded.
  LoadLines(state, {u"<$POSTPROCESSOR>,x", u"78=x", u"41=A"});
  EXPECT_EQ(ApplyPostprocessor(state.table, u"AxA"), u"AxA");
  EXPECT_EQ(UndoPostprocessor(state.table, u"AxA"), u"AxA");
  EXPECT_EQ(Enc(u"AxA"), (Bytes{0x41, 0x78, 0x41}));
}

TEST_F(Encoder, WithoutATableNothingIsEncoded) {
  EXPECT_TRUE(Enc(u"A").empty());
  EXPECT_EQ(LogLines(state).back(), u"Таблица еще не загружена");
}

TEST_F(Encoder, ManyLineBreaksAndUnclosedGroupsStayLinear) {
  LoadLines(state, {u"41=A", u"FF=<$E><$VBCRLF><$VBCRLF>"});
  state.ctx.settings.ExtendedLogs = u"NO";
  std::u16string text = u"A";
  for (int i = 0; i < 200000; ++i) text += u"\r\n";
  for (int i = 0; i < 200000; ++i) text += u"<$A";
  Bytes out = Enc(text);
  EXPECT_EQ(out, Bytes(1 + 200000, 0x41));
}

// Random byte strings through random one-character tables decode and encode
// back to the same bytes. The tables avoid the characters of markup and line
// breaks, and two-byte codes whose first byte is 0 (the encoder writes codes
// up to FF as one byte); an SBCS2 table has an entry for byte 00, else 00 41
// would decode as the one-byte code 41.
TEST(CodecRoundTrip, RandomTablesGiveTheSameBytesBack) {
  std::mt19937 rng(20240601);
  for (std::u16string type : {u"SBCS", u"SBCS2", u"DBCS"}) {
    for (int round = 0; round < 40; ++round) {
      ScriptedHost host;
      AppState state(host);
      state.ctx.settings.ExtendedLogs = u"NO";
      std::vector<char16_t> pool;
      for (char16_t c = 0x4E00; c < 0x4E00 + 20000; ++c) pool.push_back(c);
      std::shuffle(pool.begin(), pool.end(), rng);
      std::size_t next = 0;
      std::u16string text = u"TrTableType=" + type;
      std::bernoulli_distribution keep(0.6);
      if (type != u"DBCS")
        for (int b = 0; b < 256; ++b)
          if (keep(rng) || (type == u"SBCS2" && b == 0))
            text += u"\r\n" + HexText(b, 2) + u"=" + std::u16string(1, pool[next++]);
      if (type != u"SBCS")
        for (int i = 0; i < 3000; ++i) {
          int code = std::uniform_int_distribution<int>(0x100, 0xFFFF)(rng);
          text += u"\r\n" + HexText(code, 4) + u"=" + std::u16string(1, pool[next++]);
        }
      LoadTableText(state, text, u"random.tbl");
      // The loader ran through 4-digit lines; duplicates keep the last text.
      std::vector<std::uint8_t> bytes(std::uniform_int_distribution<int>(0, 3000)(rng) * 2);
      for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
      PutRom(state, bytes);
      std::u16string decoded = DecodeRangeText(state, 0, static_cast<std::int32_t>(bytes.size()));
      Bytes encoded = Encode(state, decoded);
      auto diff = std::mismatch(encoded.begin(), encoded.end(), bytes.begin(), bytes.end());
      ASSERT_EQ(encoded, Bytes(bytes.begin(), bytes.end()))
          << ToUtf8(type) << " round " << round << " first difference at " << (diff.first - encoded.begin());
    }
  }
}
