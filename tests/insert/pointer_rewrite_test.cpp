#include <gtest/gtest.h>

#include <random>

#include "app/app.h"
#include "insert/insertion_log.h"
#include "insert/pointer_rewrite.h"
#include "tests/insert/insert_test_support.h"
#include "tests/support/rom_fixture.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

const std::vector<std::uint8_t> kOld = {0x30, 0x1C, 0x7A, 0x08};  // pointer to 0x7A1C30
const std::vector<std::uint8_t> kNew = {0x00, 0x00, 0x80, 0x08};  // pointer to 0x800000
const std::u16string kReportTwo = u"DialogID=7 меняли поинтер 301C7A08 на 00008008 сделано 2 изменений";
const std::u16string kReportOne = u"DialogID=7 меняли поинтер 301C7A08 на 00008008 сделано 1 изменений";

struct RewritePointersTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  RewritePointersTest() {
    PutRom(state, 0x4000);
    state.ctx.settings.ExtendedLogs = u"NO";
  }

  void PutOld(std::size_t at) { PutBytes(state, at, {0x30, 0x1C, 0x7A, 0x08}); }

  // One call for dialog 7 over the ROM as it is now.
  void Rewrite(std::int32_t zoneStart = 0, std::int32_t zoneEnd = 0, std::u16string listFile = u"",
               std::u16string doChange = u"Y", InsertionLogFile* log = nullptr) {
    PointerSnapshot snapshot(state.rom.view());
    snapshot.IndexAllPointers();
    std::u16string oldPtr = u"301C7A08";
    RewritePointers(state, snapshot, oldPtr, u"00008008", doChange, zoneStart, listFile, log, u"7", zoneEnd);
  }
};

}  // namespace

TEST_F(RewritePointersTest, RewritesEveryOccurrenceAndReportsACountOtherThanOneInDarkRed) {
  PutOld(0x1000);
  PutOld(0x2002);
  Rewrite();
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
  EXPECT_EQ(RomAt(state, 0x2002, 4), kNew);
  EXPECT_EQ(ColourOf(state, kReportTwo), kColourDarkRed);
}

TEST_F(RewritePointersTest, Mod4KeepsOnlyAlignedOccurrencesAndACountOfOneIsQuietWithoutExtendedLogs) {
  state.insertion.CheckByMod4 = true;
  PutOld(0x1000);
  PutOld(0x2002);
  Rewrite();
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
  EXPECT_EQ(RomAt(state, 0x2002, 4), kOld);
  EXPECT_EQ(state.ctx.log.lineCount, 0u);

  state.ctx.settings.ExtendedLogs = u"YES";
  PutOld(0x3000);
  Rewrite();
  EXPECT_EQ(ColourOf(state, kReportOne), kColourDefault);
}

TEST_F(RewritePointersTest, ListFileDecidesWhateverMod4Says) {
  state.insertion.CheckByMod4 = true;
  PutOld(0x1000);
  PutOld(0x2002);
  PutOld(0x3000);
  dir.WriteText("list.txt", u"&h2002\r\n\r\n  4096  \r\n");
  Rewrite(0, 0, u"  " + dir.File("list.txt") + u" ");
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
  EXPECT_EQ(RomAt(state, 0x2002, 4), kNew);
  EXPECT_EQ(RomAt(state, 0x3000, 4), kOld) << "not in the list";
  EXPECT_EQ(ColourOf(state, kReportTwo), kColourDarkRed);
}

TEST_F(RewritePointersTest, ListLinesThatAreNoRomOffsetsAreReportedAndNeverMeanOffsetZero) {
  PutOld(0);
  PutOld(0x1000);
  dir.WriteText("list.txt", u"zero\r\n-4\r\n&h1000\r\n99999");
  Rewrite(0, 0, dir.File("list.txt"));
  EXPECT_EQ(RomAt(state, 0, 4), kOld) << "a word is no offset 0";
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
  const std::u16string file = u"В файле " + dir.File("list.txt") + u" строка";
  EXPECT_EQ(ColourOf(state, file + u" 1 'zero' пропущена: это не число"), kColourDarkRed);
  EXPECT_EQ(CountLines(state, file + u" 2 '-4' пропущена: отрицательный адрес"), 1);
  EXPECT_EQ(CountLines(state, file + u" 4 '99999' пропущена: адрес за концом ROM'а"), 1);
}

TEST_F(RewritePointersTest, MissingListFileIsReportedAndTheSearchGoesOnWithoutIt) {
  PutOld(0x1000);
  PutOld(0x2002);
  state.insertion.CheckByMod4 = true;
  const std::u16string name = dir.File("nothere.txt");
  Rewrite(0, 0, name);
  EXPECT_EQ(ColourOf(state, u"Файл с адресами правильных указателей " + name + u" не найден"), kColourBrightRed);
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
  EXPECT_EQ(RomAt(state, 0x2002, 4), kOld);
}

TEST_F(RewritePointersTest, ZoneEndIsInclusiveForThePointersLastByte) {
  PutOld(0x1000);
  Rewrite(0x1000, 0x1003);
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);

  PutRom(state, 0x4000);
  PutOld(0x1001);
  Rewrite(0x1000, 0x1003);
  EXPECT_EQ(RomAt(state, 0x1001, 4), kOld);

  // A zone start below 0 counts as 0.
  PutRom(state, 0x4000);
  PutOld(0);
  Rewrite(-5, 0x10);
  EXPECT_EQ(RomAt(state, 0, 4), kNew);
}

TEST_F(RewritePointersTest, NeverWritesPastTheRomEnd) {
  // The whole ROM lets a pointer end at most one byte before the last one.
  PutOld(0x4000 - 4);
  Rewrite();
  EXPECT_EQ(RomAt(state, 0x4000 - 4, 4), kOld);
  // A zone reaching past the end stops at the last byte.
  Rewrite(0x3000, 0x5000);
  EXPECT_EQ(RomAt(state, 0x4000 - 4, 4), kNew);
  EXPECT_EQ(state.rom.bytes.size(), 0x4000u);
}

TEST_F(RewritePointersTest, DoPointerChangeOtherThanYTouchesNothing) {
  PutOld(0x1000);
  Rewrite(0, 0, u"", u"n");
  Rewrite(0, 0, u"", u"");
  EXPECT_EQ(RomAt(state, 0x1000, 4), kOld);
  EXPECT_EQ(state.ctx.log.lineCount, 0u);
  Rewrite(0, 0, u"", u"yes");
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
}

TEST_F(RewritePointersTest, OverlappingOccurrencesAreBothFound) {
  PutBytes(state, 0x100, {0x08, 0x08, 0x08, 0x08, 0x08});
  PointerSnapshot snapshot(state.rom.view());
  snapshot.IndexAllPointers();
  std::u16string oldPtr = u"08080808", list;
  RewritePointers(state, snapshot, oldPtr, u"11223308", u"Y", 0, list, nullptr, u"5", 0);
  EXPECT_EQ(RomAt(state, 0x100, 5), (std::vector<std::uint8_t>{0x11, 0x11, 0x22, 0x33, 0x08}));
  EXPECT_EQ(CountLines(state, u"DialogID=5 меняли поинтер 08080808 на 11223308 сделано 2 изменений"), 1);
}

TEST_F(RewritePointersTest, SearchesTheSnapshotNotWhatTheRunWrote) {
  PutOld(0x1000);
  PointerSnapshot snapshot(state.rom.view());
  snapshot.IndexAllPointers();
  std::u16string first = u"301C7A08", second = u"00008008", list;
  RewritePointers(state, snapshot, first, u"00008008", u"Y", 0, list, nullptr, u"1", 0);
  RewritePointers(state, snapshot, second, u"44332208", u"Y", 0, list, nullptr, u"2", 0);
  EXPECT_EQ(RomAt(state, 0x1000, 4), kNew);
  EXPECT_EQ(ColourOf(state, u"DialogID=2 меняли поинтер 00008008 на 44332208 сделано 0 изменений"), kColourDarkRed);
}

TEST_F(RewritePointersTest, RefusesANewPointerThatIsNotEightHexDigitsBeforeTouchingTheDialog) {
  PutOld(0x1000);
  PointerSnapshot snapshot(state.rom.view());
  std::u16string oldPtr = u"1C7A08", list = u" list.txt ";
  for (std::u16string bad : {u"", u"8008", u"00008G08", u"0000800800"}) {
    RewritePointers(state, snapshot, oldPtr, bad, u"Y", 0, list, nullptr, u"9", 0);
    EXPECT_EQ(ColourOf(state, u"DialogID=9 новый поинтер '" + bad +
                                  u"' не из 8 шестнадцатеричных цифр, указатели этого диалога не меняли"),
              kColourBrightRed)
        << ToUtf8(bad);
  }
  EXPECT_EQ(RomAt(state, 0x1000, 4), kOld);
  EXPECT_EQ(oldPtr, u"1C7A08");
  EXPECT_EQ(list, u" list.txt ");
  EXPECT_EQ(state.insertion.listCache.name, u"");
}

TEST_F(RewritePointersTest, EmptyOldPointerSearchesNothing) {
  PutBytes(state, 0x10, {0x00, 0x00, 0x00, 0x08});
  PointerSnapshot snapshot(state.rom.view());
  std::u16string oldPtr, list;
  RewritePointers(state, snapshot, oldPtr, u"00008008", u"Y", 0, list, nullptr, u"3", 0);
  EXPECT_EQ(RomAt(state, 0x10, 4), (std::vector<std::uint8_t>{0, 0, 0, 8}));
  EXPECT_EQ(CountLines(state, u"Ошибка преобразования адреса вставки диалога в строку...(передали пустую строку)"), 1);
  EXPECT_EQ(ColourOf(state, u"DialogID=3 меняли поинтер  на 00008008 сделано 0 изменений"), kColourDarkRed);
}

TEST_F(RewritePointersTest, ShortOldPointerIsPaddedInPlace) {
  PutBytes(state, 0x20, {0x00, 0x1C, 0x7A, 0x08});
  PointerSnapshot snapshot(state.rom.view());
  std::u16string oldPtr = u"1C7A08", list;
  RewritePointers(state, snapshot, oldPtr, u"00008008", u"Y", 0, list, nullptr, u"3", 0);
  EXPECT_EQ(oldPtr, u"001C7A08");
  EXPECT_EQ(RomAt(state, 0x20, 4), kNew);
}

TEST_F(RewritePointersTest, InsertionLogRecordsListReadsSearchesAndOffsets) {
  PutOld(0x1000);
  PutOld(0x2000);
  dir.WriteText("list.txt", u"4096\r\n8192\r\n");
  const std::u16string list = dir.File("list.txt");
  InsertionLogFile log;
  ASSERT_TRUE(log.Open(state, dir.File("ins.log")));
  Rewrite(0, 0, list, u"Y", &log);
  PutRom(state, 0x4000);
  PutOld(0x2000);
  Rewrite(0, 0, list, u"Y", &log);
  log.Close(state);

  EXPECT_EQ(dir.ReadText("ins.log"),
            u"----- Читаем файл с адресами 'правильных' поинтеров " + list + u"\r\n" +
                u"----- DialogID=7-----ищем поинтер=301C7A08 будем менять его на 00008008 -----\r\n"
                u"4096\r\n8192\r\n"
                u"----- Файл с адресами 'правильных' поинтеров " +
                list + u" уже загружен\r\n" +
                u"----- DialogID=7-----ищем поинтер=301C7A08 будем менять его на 00008008 -----\r\n"
                u"8192\r\n");
}

TEST_F(RewritePointersTest, ListCacheRereadsAFileThatChangedOnDisk) {
  PutOld(0x1000);
  PutOld(0x2000);
  dir.WriteText("list.txt", u"4096\r\n");
  const std::u16string list = dir.File("list.txt");
  Rewrite(0, 0, list);
  EXPECT_EQ(RomAt(state, 0x2000, 4), kOld);

  dir.WriteText("list.txt", u"4096\r\n8192\r\n");
  Rewrite(0, 0, list);
  EXPECT_EQ(RomAt(state, 0x2000, 4), kNew);
  EXPECT_EQ(state.insertion.listCache.offsets, (std::vector<std::int32_t>{4096, 8192}));
}

TEST_F(RewritePointersTest, ListOfMoreThan1024OffsetsUsesTheFirst1024) {
  std::u16string text;
  for (int i = 0; i < 1500; ++i) text += DecText(i * 8) + u"\r\n";
  dir.WriteText("big.txt", text);
  PutRom(state, 0x4000);
  PutOld(1023 * 8);  // the last offset used
  PutOld(1024 * 8);  // the first offset dropped
  const std::u16string list = dir.File("big.txt");
  Rewrite(0, 0, list);
  EXPECT_EQ(CountLines(state, u"слишком много адресов указано в файле " + list + u" ограничение = 1024"), 1);
  EXPECT_EQ(state.insertion.listCache.offsets.size(), 1024u);
  EXPECT_EQ(RomAt(state, 1023 * 8, 4), kNew);
  EXPECT_EQ(RomAt(state, 1024 * 8, 4), kOld);

  // Exactly 1024 entries are not too many.
  text.clear();
  for (int i = 0; i < 1024; ++i) text += DecText(i) + u"\r\n";
  dir.WriteText("full.txt", text);
  ClearLog(state);
  Rewrite(0, 0, dir.File("full.txt"));
  EXPECT_EQ(CountLinesStartingWith(state, u"слишком много адресов"), 0);
  EXPECT_EQ(state.insertion.listCache.offsets.size(), 1024u);
}

TEST(PointerSnapshot, IndexAgreesWithTheLinearScanOnRandomRoms) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 40; ++round) {
    // A small alphabet rich in 0x08 makes repeated and overlapping pointers likely.
    const std::size_t size = 1 + rng() % 3000;
    std::vector<std::uint8_t> rom(size);
    for (auto& b : rom) b = std::array<std::uint8_t, 4>{0x08, 0x00, 0x01, 0x08}[rng() % 4];
    PointerSnapshot all(rom), some(rom), none(rom);
    all.IndexAllPointers();
    std::vector<std::uint32_t> wanted;
    for (int k = 0; k < 3; ++k) wanted.push_back(rng() % 4 | (rng() % 4) << 8 | (rng() % 2) << 16);
    some.IndexPointers(wanted);
    for (int q = 0; q < 200; ++q) {
      std::array<std::uint8_t, 4> pattern{};
      if (size >= 4 && q % 2) {
        const std::size_t at = rng() % (size - 3);
        std::copy_n(rom.begin() + static_cast<std::ptrdiff_t>(at), 4, pattern.begin());
      } else {
        for (auto& b : pattern) b = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0x08 : rng() % 2);
      }
      const auto from = static_cast<std::int32_t>(rng() % (size + 10)) - 5;
      const auto lastStart = static_cast<std::int32_t>(rng() % (size + 10)) - 5;
      const auto expected = none.FindLinear(pattern, from, lastStart);
      ASSERT_EQ(all.Find(pattern, from, lastStart), expected) << "round " << round;
      ASSERT_EQ(some.Find(pattern, from, lastStart), expected) << "round " << round;
      ASSERT_EQ(none.Find(pattern, from, lastStart), expected) << "round " << round;
    }
  }
}

TEST(PointerSnapshot, RewritingThroughTheIndexMatchesTheScanOnRandomRoms) {
  std::mt19937 rng(777);
  TempDir dir;
  for (int round = 0; round < 30; ++round) {
    const std::size_t size = 64 + rng() % 2000;
    std::vector<std::uint8_t> rom(size);
    for (auto& b : rom) b = std::array<std::uint8_t, 3>{0x08, 0x10, 0x20}[rng() % 3];
    ScriptedHost hostA, hostB;
    AppState a(hostA), b(hostB);
    for (AppState* s : {&a, &b}) {
      PutRomBytes(s->rom, rom);
      s->insertion.CheckByMod4 = rng() % 2;
    }
    b.insertion.CheckByMod4 = a.insertion.CheckByMod4;
    std::u16string listText;
    for (int k = 0; k < 20; ++k) listText += DecText(rng() % size) + u"\r\n";
    dir.WriteText("l.txt", listText);

    PointerSnapshot indexed(a.rom.view()), scanned(b.rom.view());
    indexed.IndexAllPointers();
    for (int d = 0; d < 20; ++d) {
      const std::uint8_t p0 = std::array<std::uint8_t, 3>{0x08, 0x10, 0x20}[rng() % 3];
      const std::uint8_t p1 = std::array<std::uint8_t, 3>{0x08, 0x10, 0x20}[rng() % 3];
      std::u16string oldPtr = HexText(p0, 2) + HexText(p1, 2) + u"0808";
      std::u16string oldCopy = oldPtr;
      const std::u16string newPtr = HexText(rng() % 256, 2) + u"000008";
      std::u16string list = rng() % 3 == 0 ? dir.File("l.txt") : u"", listCopy = list;
      const auto start = static_cast<std::int32_t>(rng() % size) - 10;
      const auto end = rng() % 2 ? 0 : static_cast<std::int32_t>(rng() % (size + 20));
      const std::u16string id = DecText(d);
      RewritePointers(a, indexed, oldPtr, newPtr, u"Y", start, list, nullptr, id, end);
      RewritePointers(b, scanned, oldCopy, newPtr, u"Y", start, listCopy, nullptr, id, end);
    }
    ASSERT_TRUE(std::equal(a.rom.bytes.begin(), a.rom.bytes.end(), b.rom.bytes.begin())) << "round " << round;
    ASSERT_EQ(a.ctx.log.text, b.ctx.log.text) << "round " << round;
  }
}
