#include "insert/verify_insertion.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "insert/address_forms.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "tests/insert/insert_test_support.h"

using namespace vorkat;
using namespace vorkat::insert_testing;

namespace {

constexpr std::size_t kOldTexts = 0x1000;
constexpr std::size_t kPointerTable = 0x200;
constexpr std::size_t kFree = 0x8000;

void PutPointer(AppState& state, std::size_t at, std::size_t target) {
  PutBytes(state, at,
           {static_cast<std::uint8_t>(target), static_cast<std::uint8_t>(target >> 8),
            static_cast<std::uint8_t>(target >> 16), 0x08});
}

// Four dialogs whose old texts at 0x1000 are reached through a pointer table
// at 0x200; dialog 2 searches its pointers only up to 0x2FF and has a second
// pointer at 0x400 that this leaves out. The table has a two-byte entry
// 8141 for "Ж", which the one-byte decoder reads as two bytes.
struct VerifyInsertionTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  VerifyInsertionTest() {
    PutRom(state, 0x10000, 0x11);
    for (std::size_t i = kFree; i < 0x10000; ++i) state.rom.bytes[i] = 0xFF;
    PutAsciiTable(state);
    state.table.entries[0x8141] = u"Ж";
    ++state.table.tokenCount;
    state.table.endCode = 0x00;
    state.table.endCodeSet = true;
    const std::u16string texts[] = {u"Hello there.<$END>", u"Two lines<$VBCRLF>\r\nhere<$END>", u"Zoned text<$END>",
                                    u"Plain<$END>"};
    for (int k = 0; k < 4; ++k) {
      const std::size_t from = kOldTexts + static_cast<std::size_t>(k) * 0x40;
      DialogRecord& d = AddDialog(state, u"d" + DecText(k), texts[k]);
      d.ExtractedFromAddr = LongToAddrText(static_cast<std::int32_t>(from));
      PutPointer(state, kPointerTable + static_cast<std::size_t>(k) * 4, from);
    }
    Dialog(state, 2).PtrsAddrZones = u"0:&h2FF";
    PutPointer(state, 0x400, kOldTexts + 2 * 0x40);
    state.insertion.FreeSpaceStartAddr = static_cast<std::int32_t>(kFree);
    state.insertion.FreeSpaceEndAddr = 0x10000;
    state.insertion.AddressAlignBy = 4;
  }

  void Insert() {
    CalcNewAddresses(state);
    InsertDialogs(state);
  }
  std::int32_t NewAddr(int k) { return HexTextToLong(Dialog(state, k).NewDlgAddr); }
};

TEST_F(VerifyInsertionTest, CleanInsertionVerifiesCleanAndSaysSoInGreen) {
  Dialog(state, 2).PtrsAddrZones.clear();
  Insert();
  TempDir dir;
  VerifyInsertion(state, dir.File("verify.txt"));

  const VerifyResult result = CheckInsertion(state);
  EXPECT_TRUE(result.problems.empty());
  EXPECT_EQ(result.dialogsChecked, 4u);
  EXPECT_EQ(result.pointersChecked, 5u);
  EXPECT_TRUE(result.pointerRecordKnown);
  ASSERT_FALSE(host.logLines.empty());
  EXPECT_NE(host.logLines.back().find(u"проблем не найдено"), std::u16string::npos);
  EXPECT_EQ(host.logColours.back(), kColourGreen);
  EXPECT_NE(dir.ReadText("verify.txt").find(u"проблем не найдено"), std::u16string::npos);
}

TEST_F(VerifyInsertionTest, EachPlantedProblemIsReportedOnceWithItsDialogAndOffset) {
  Dialog(state, 3).dlgText = u"ЖPlain<$END>";
  // Two overlapping zones rewrite d1's pointer twice; it is still one place.
  Dialog(state, 1).PtrsAddrZones = u"0:&h3FF;&h200:&h2FF";
  Insert();
  // The text of d0 overwritten after the insertion; d1's pointer put back.
  state.rom.bytes[static_cast<std::size_t>(NewAddr(0)) + 2] = 'X';
  PutPointer(state, kPointerTable + 4, kOldTexts + 0x40);

  const VerifyResult result = CheckInsertion(state);
  ASSERT_EQ(result.problems.size(), 4u);
  const VerifyProblem& bytes = result.problems[0];
  EXPECT_EQ(bytes.dialog, 0);
  EXPECT_EQ(bytes.kind, VerifyProblemKind::TextBytes);
  EXPECT_EQ(bytes.offset, NewAddr(0) + 2);
  const VerifyProblem& pointer = result.problems[1];
  EXPECT_EQ(pointer.dialog, 1);
  EXPECT_EQ(pointer.kind, VerifyProblemKind::Pointer);
  EXPECT_EQ(pointer.offset, static_cast<std::int32_t>(kPointerTable + 4));
  EXPECT_NE(pointer.detail.find(u"вернулся старый указатель"), std::u16string::npos);
  const VerifyProblem& stale = result.problems[2];
  EXPECT_EQ(stale.dialog, 2);
  EXPECT_EQ(stale.kind, VerifyProblemKind::StalePointer);
  EXPECT_EQ(stale.offset, 0x400);
  EXPECT_NE(stale.detail.find(u"0:&h2FF"), std::u16string::npos);
  const VerifyProblem& decoding = result.problems[3];
  EXPECT_EQ(decoding.dialog, 3);
  EXPECT_EQ(decoding.kind, VerifyProblemKind::TextDecoding);
  EXPECT_NE(decoding.detail.find(u"<$81>"), std::u16string::npos);

  TempDir dir;
  VerifyInsertion(state, dir.File("verify.txt"));
  EXPECT_EQ(host.logColours.back(), kColourBrightRed);
  const std::u16string report = dir.ReadText("verify.txt");
  EXPECT_EQ(SplitCrLf(report).at(3), u"d1\tуказатель\t204\t" + pointer.detail);
  EXPECT_NE(report.find(u"найдено проблем 4"), std::u16string::npos);
}

TEST_F(VerifyInsertionTest, EndCodeInsideTheTextCutsWhatTheGameReads) {
  Dialog(state, 0).dlgText = u"Short<$END>and more<$END>";
  Dialog(state, 2).PtrsAddrZones.clear();
  Insert();
  const VerifyResult result = CheckInsertion(state);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].kind, VerifyProblemKind::TextDecoding);
  EXPECT_NE(result.problems[0].detail.find(u"код конца текста"), std::u16string::npos);
}

TEST_F(VerifyInsertionTest, WithoutAnInsertionInThisRunTheStalePointersAreStillFound) {
  Insert();
  state.record = InsertionRecord{};
  // Every old pointer was rewritten except d2's second one; a pointer of the
  // table now holding a new value is not seen as stale.
  const VerifyResult result = CheckInsertion(state);
  EXPECT_FALSE(result.pointerRecordKnown);
  EXPECT_EQ(result.pointersChecked, 0u);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_EQ(result.problems[0].kind, VerifyProblemKind::StalePointer);
  EXPECT_EQ(result.problems[0].offset, 0x400);
}

TEST_F(VerifyInsertionTest, OldPointersOfDifferentHighBytesAreFoundInTheSamePass) {
  Insert();
  // A pointer into the second 16 MiB ends in 09; the pass looks for both kinds.
  Dialog(state, 3).OldPtrHEX = u"00100009";
  PutBytes(state, 0x501, {0x00, 0x10, 0x00, 0x09});
  const VerifyResult result = CheckInsertion(state);
  ASSERT_EQ(result.problems.size(), 2u);
  EXPECT_EQ(result.problems[0].dialog, 2);
  EXPECT_EQ(result.problems[0].offset, 0x400);
  EXPECT_EQ(result.problems[1].dialog, 3);
  EXPECT_EQ(result.problems[1].offset, 0x501);
}

TEST_F(VerifyInsertionTest, StopsWhenAskedAndSaysSo) {
  Insert();
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] { state.ctx.CancelRequested = true; };
  TempDir dir;
  VerifyInsertion(state, dir.File("verify.txt"));
  EXPECT_NE(dir.ReadText("verify.txt").find(u"прервана пользователем"), std::u16string::npos);
}

}  // namespace
