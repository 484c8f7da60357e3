// 32 MiB ROMs: text placed above 16 MiB is reached by pointers ending in 09,
// and the pointers that lead there are found and rewritten like any other.
#include <gtest/gtest.h>

#include <random>

#include "app/app.h"
#include "core/file_io.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_rewrite.h"
#include "insert/pointer_search.h"
#include "tests/insert/insert_test_support.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

constexpr std::size_t kUpper = 0x1000000;
using Bytes8 = std::vector<std::uint8_t>;

struct UpperHalf : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  UpperHalf() {
    PutRom(state, kUpper + 0x10000);
    PutAsciiTable(state);
    state.ctx.settings.ExtendedLogs = u"NO";
    state.dialogs.fileName = dir.File("script.txt");
  }
};

}  // namespace

TEST_F(UpperHalf, DialogPlacedAboveSixteenMiBGetsItsPointersRewrittenTo09) {
  // Dialog 1 lies at 0x1000 with two pointers in the lower half (one not
  // aligned by 4); dialog 2 lies in the upper half with a 09 pointer to it.
  PutBytes(state, 0x100, {0x00, 0x10, 0x00, 0x08});
  PutBytes(state, 0x206, {0x00, 0x10, 0x00, 0x08});
  PutBytes(state, kUpper + 0x200, {0x00, 0x30, 0x00, 0x09});
  AddDialog(state, u"1", u"Hello<$END>").ExtractedFromAddr = u"1000";
  AddDialog(state, u"2", u"Bye<$END>").ExtractedFromAddr = u"1003000";
  state.insertion.FreeSpaceStartAddr = static_cast<std::int32_t>(kUpper + 0x8001);
  state.insertion.FreeSpaceEndAddr = state.rom.size();
  state.insertion.AddressAlignBy = 4;
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).OldPtrHEX, u"00100008");
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"1008004");
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, u"04800009");
  EXPECT_EQ(Dialog(state, 1).OldPtrHEX, u"00300009");
  EXPECT_EQ(Dialog(state, 1).NewPtrHEX, u"0C800009");

  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x100, 4), (Bytes8{0x04, 0x80, 0x00, 0x09}));
  EXPECT_EQ(RomAt(state, 0x206, 4), (Bytes8{0x04, 0x80, 0x00, 0x09}));
  EXPECT_EQ(RomAt(state, kUpper + 0x200, 4), (Bytes8{0x0C, 0x80, 0x00, 0x09}));
  EXPECT_EQ(RomAt(state, kUpper + 0x8004, 6), (Bytes8{'H', 'e', 'l', 'l', 'o', 0x00}));
  EXPECT_EQ(RomAt(state, kUpper + 0x800C, 4), (Bytes8{'B', 'y', 'e', 0x00}));
  EXPECT_EQ(CountLines(state, u"DialogID=1 меняли поинтер 00100008 на 04800009 сделано 2 изменений"), 1);
  EXPECT_EQ(CountLinesStartingWith(state, u"DialogID=2"), 0) << "one rewrite: nothing to report";

  // The mod-4 rule works as below 16 MiB: the unaligned pointer stays.
  PutBytes(state, 0x206, {0x04, 0x80, 0x00, 0x09});
  PutBytes(state, 0x300, {0x04, 0x80, 0x00, 0x09});
  state.insertion.CheckByMod4 = true;
  Dialog(state, 0).OldPtrHEX = u"04800009";
  Dialog(state, 0).NewPtrHEX = u"00100008";
  Dialog(state, 1).DoPointerChange = u"N";
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x100, 4), (Bytes8{0x00, 0x10, 0x00, 0x08}));
  EXPECT_EQ(RomAt(state, 0x206, 4), (Bytes8{0x04, 0x80, 0x00, 0x09}));
  EXPECT_EQ(RomAt(state, 0x300, 4), (Bytes8{0x00, 0x10, 0x00, 0x08}));
}

// The index answers for 09 pointers exactly as a scan of the bytes does.
TEST_F(UpperHalf, PointerIndexCoversBothHalves) {
  Bytes8 rom(0x3000);
  std::mt19937 rng(9);
  for (auto& b : rom) b = std::array<std::uint8_t, 4>{0x00, 0x01, 0x08, 0x09}[rng() % 4];
  PointerSnapshot snapshot(rom);
  snapshot.IndexAllPointers();
  for (std::uint8_t high : {0x08, 0x09, 0x0A})
    for (std::uint8_t a : {0x00, 0x01, 0x08})
      for (std::uint8_t b : {0x00, 0x09}) {
        const std::array<std::uint8_t, 4> pattern{a, b, 0x01, high};
        EXPECT_EQ(snapshot.Find(pattern, 0, 0x3000), snapshot.FindLinear(pattern, 0, 0x3000));
      }
  snapshot.IndexPointers(std::vector<std::uint32_t>{0x1010900});
  EXPECT_EQ(snapshot.Find({0x00, 0x09, 0x01, 0x09}, 0, 0x3000),
            snapshot.FindLinear({0x00, 0x09, 0x01, 0x09}, 0, 0x3000));
  EXPECT_GT(snapshot.indexedCount(), 0u);
}

TEST_F(UpperHalf, PointerSearchFindsPointersIntoAnUpperRange) {
  PutBytes(state, 0x2000, {0x10, 0x00, 0x00, 0x09});  // to 0x1000010
  PutBytes(state, 0x2010, {0x10, 0x00, 0x00, 0x08});  // to 0x10: out of range
  PutBytes(state, kUpper + 0x40, {0x20, 0x00, 0x00, 0x09});
  const std::u16string report = dir.File("ptrs.txt");
  FindPointers(state, static_cast<std::int32_t>(kUpper), state.rom.size(), 0, 0, report);
  const auto bytes = ReadFileBytes(report);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(
      SplitCrLf(FromCp1251(bytes->data(), bytes->size())),
      (std::vector<std::u16string>{u"адрес байтов в роме=hex(2000), указывают на  16777232 (1000010)-->10,00,00,09",
                                   u"адрес байтов в роме=hex(1000040), указывают на  16777248 (1000020)-->20,00,00,09",
                                   u"Всего найдено поинтеров  2", u""}));

  // In a ROM of 16 MiB a 09 pointer addresses nothing: it is not reported.
  state.rom.bytes.resize(kUpper);
  FindPointers(state, 0, 0x7FFFFFFF, 0, 0, report);
  EXPECT_EQ(CountLines(state, u"Всего найдено поинтеров  1"), 1);
}
