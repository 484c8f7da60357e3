#include "search/relative_search.h"

#include <gtest/gtest.h>

#include "batch/batch.h"
#include "core/file_io.h"
#include "search/draft_table.h"
#include "tests/codec/codec_test_support.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct RelativeSearchTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  // A ROM of `size` bytes of 0xEE with `codes` written at `at`.
  void Rom(std::size_t size, std::size_t at, const std::vector<std::uint32_t>& codes, int width = 1) {
    std::vector<std::uint8_t> rom(size, 0xEE);
    for (std::uint32_t c : codes) {
      if (width == 2) rom[at++] = static_cast<std::uint8_t>(c >> 8);
      rom[at++] = static_cast<std::uint8_t>(c);
    }
    PutRom(state, rom);
  }
  // Implied codes of a hit of one group.
  static GroupCodes Only(std::size_t group, std::int32_t code) {
    GroupCodes codes;
    codes.fill(kNoCode);
    codes[group] = code;
    return codes;
  }
  // The logged hit and count lines of a whole-ROM search.
  std::vector<std::u16string> Search(std::u16string_view word, int width = 1) {
    ClearLog(state);
    RelativeSearchCommand(state, word, width);
    return LogLines(state);
  }
};

}  // namespace

TEST_F(RelativeSearchTest, LatinWordAtAnyStartingCodeButNotBelowZero) {
  Rom(16, 3, {0x87, 0x84, 0x8B, 0x8B, 0x8E});  // HELLO with A = 80
  EXPECT_EQ(Search(u"HELLO"), (std::vector<std::u16string>{u"Относительный поиск: 3 A=80", u"Найдено совпадений 1"}));
  Rom(16, 0, {0x08, 0x05, 0x0C, 0x0C, 0x0F});  // A = 01
  EXPECT_EQ(Search(u"HELLO").front(), u"Относительный поиск: 0 A=01");
  Rom(16, 0, {0x05, 0x02, 0x09, 0x09, 0x0C});  // the differences fit, but A would be -2
  EXPECT_EQ(Search(u"HELLO"), std::vector<std::u16string>{u"Найдено совпадений 0"});
}

TEST_F(RelativeSearchTest, UpperAndLowerCaseHaveIndependentCodesAndStarsMatchAnything) {
  Rom(16, 2, {0x87, 0x24, 0x2B, 0x2B, 0x2E});  // H at A = 80, "ello" at a = 20
  EXPECT_EQ(Search(u"Hello").front(), u"Относительный поиск: 2 A=80 a=20");
  EXPECT_EQ(Search(u"He*lo").front(), u"Относительный поиск: 2 A=80 a=20");
  EXPECT_EQ(Search(u"*e*lo").front(), u"Относительный поиск: 2 a=20");
}

TEST_F(RelativeSearchTest, CyrillicWithYoFreeAndKatakanaInTwoByteCodesAtAnOddOffset) {
  Rom(16, 5, {0x42, 0xCB, 0xCA, 0xC0});  // ЁЛКА: Ё anywhere, А = C0
  EXPECT_EQ(Search(u"ЁЛКА").front(), u"Относительный поиск: 5 А=C0");
  // カタカナ with ァ = 8340, big-endian, starting at an odd offset.
  Rom(20, 7, {0x834A, 0x835E, 0x834A, 0x8369}, 2);
  EXPECT_EQ(Search(u"カタカナ", 2),
            (std::vector<std::u16string>{u"Относительный поиск: 7 ァ=8340", u"Найдено совпадений 1"}));
}

TEST_F(RelativeSearchTest, OverlappingHitsAndAHitEndingAtTheRangeEnd) {
  PutRom(state, {0x01, 0x02, 0x01, 0x02, 0x01, 0x02});
  EXPECT_EQ(Search(u"ABAB"), (std::vector<std::u16string>{u"Относительный поиск: 0 A=01",
                                                          u"Относительный поиск: 2 A=01", u"Найдено совпадений 2"}));
  Rom(12, 8, {0x10, 0x11, 0x12, 0x13});  // ABCD in the last four bytes
  EXPECT_EQ(Search(u"ABCD").front(), u"Относительный поиск: 8 A=10");
  EXPECT_EQ(RelativeSearch(state, u"ABCD", 1, 8, 12).count, 1u);
  EXPECT_EQ(RelativeSearch(state, u"ABCD", 1, 0, 11).count, 0u) << "the word must fit before the range end";
  EXPECT_EQ(RelativeSearch(state, u"ABCD", 1, 9, 12).searched, false);
}

TEST_F(RelativeSearchTest, AWordWithoutTwoLettersOfOneGroupIsRefused) {
  Rom(8, 0, {});
  for (std::u16string_view word : {u"A1", u"Ab", u"A**", u"Ё!"}) {
    const auto lines = Search(word);
    ASSERT_EQ(lines.size(), 1u) << "no count line after a refusal";
    EXPECT_TRUE(StartsWith(lines[0], u"Относительный поиск не начат: в слове нужны"));
    EXPECT_EQ(LogColourOf(state, lines[0]), kColourDarkRed);
  }
  EXPECT_FALSE(RelativeSearch(state, u"AB", 3, 0, 8).searched);
}

TEST_F(RelativeSearchTest, StopsWhenTheUserAsksAndKeepsTheHitsFoundSoFar) {
  std::vector<std::uint8_t> rom(1 << 20);
  for (std::size_t i = 0; i < rom.size(); ++i) rom[i] = static_cast<std::uint8_t>(i);  // AB everywhere
  PutRom(state, rom);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] { state.ctx.CancelRequested = true; };
  const RelativeSearchResult result = RelativeSearch(state, u"AB", 1, 0, rom.size());
  EXPECT_TRUE(result.stopped);
  EXPECT_GT(result.count, 0u);
  EXPECT_LT(result.count, rom.size() - 1);
  EXPECT_EQ(result.hits.size(), std::min(result.count, kRelativeHitsKept));
  EXPECT_EQ(LogLines(state).back(), u"Относительный поиск прерван пользователем");
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(RelativeSearchTest, DraftStopsAtTheTopCodeAndMapsFreeCharactersUnlessALetterHasTheCode) {
  // "AB-C!*D": "-" sits on E's code (a letter wins it), "!" on 0x30, "*" on 0x31.
  Rom(16, 0, {0xF0, 0xF1, 0xF4, 0xF2, 0x30, 0x31, 0xF3});
  const RelativeWord word = ReadRelativeWord(u"AB-C!*D", 1);
  const DraftEntries draft = DraftFromHit(word, state.rom.view(), RelativeHit{0, Only(0, 0xF0)});
  EXPECT_EQ(draft.size(), 17u) << "A..P fill F0..FF, Q..Z are left out, plus !";
  EXPECT_EQ(draft.at(0xFF), u"P");
  EXPECT_EQ(draft.at(0xF4), u"E");
  EXPECT_EQ(draft.at(0x30), u"!");
  EXPECT_FALSE(draft.contains(0x31));
  EXPECT_EQ(DraftPreview(draft, 1, state.rom.view(), 0, 7, 2), u"ABEC!·D··");

  const RelativeWord wide = ReadRelativeWord(u"ゔゕ", 2);  // ぁ = FFA0: ゖ at 0xFFF5, ぁ..ゟ
  const DraftEntries top = DraftFromHit(wide, {}, RelativeHit{0, Only(5, 0xFFA0)});
  EXPECT_EQ(top.size(), 86u);
  EXPECT_EQ(top.rbegin()->first, 0xFFF5u);
  const DraftEntries cut = DraftFromHit(wide, {}, RelativeHit{0, Only(5, 0xFFF0)});
  EXPECT_EQ(cut.size(), 16u);
  EXPECT_EQ(cut.at(0xFFFF), u"ぐ");
}

TEST_F(RelativeSearchTest, BatchCommandsLogTheHitsAndWriteTheDraftedTable) {
  TempDir dir;
  std::vector<std::uint8_t> rom(32, 0x00);
  const std::uint8_t word[] = {0x1C, 0x3F, 0x46, 0x46, 0x49, 0x5A, 0x01};  // "Hello?" and a byte after
  std::copy(std::begin(word), std::end(word), rom.begin() + 0x10);
  dir.Write("game.gb", Bytes(rom.begin(), rom.end()));
  dir.WriteText("script.txt", u"LOADROM=" + dir.File("game.gb") +
                                  u"\r\nRELATIVESEARCH=Hello?,1\r\n"
                                  u"DRAFTTABLE=Hello?,1,&h10," +
                                  dir.File("draft.tbl") +
                                  u"\r\n"
                                  u"DRAFTTABLE=Hello?,1,&h11," +
                                  dir.File("none.tbl") + u"\r\n");
  ASSERT_TRUE(RunBatch(state, dir.File("script.txt")).read);
  EXPECT_TRUE(LogHas(state, u"Относительный поиск: 10 A=15 a=3B\r\nНайдено совпадений 1\r\n"));
  const auto text = DecodeTextFile(*ReadFileBytes(dir.File("draft.tbl")));
  EXPECT_TRUE(StartsWith(text, u"TRTABLETYPE=SBCS\r\n15=A\r\n16=B\r\n"));
  EXPECT_NE(text.find(u"\r\n2E=Z\r\n3B=a\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"\r\n54=z\r\n5A=?"), std::u16string::npos);
  EXPECT_TRUE(LogHas(state, u"Сохранили черновую таблицу в файле " + dir.File("draft.tbl") + u", кодов 53"));
  EXPECT_EQ(LogColourOf(state, u"Таблица не создана: по адресу 11 нет совпадения со словом Hello?"), kColourBrightRed);
  EXPECT_FALSE(FileExists(dir.File("none.tbl")));
}
