#include "insert/free_space_report.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "insert/new_addresses.h"
#include "tests/insert/insert_test_support.h"

using namespace vorkat;
using namespace vorkat::insert_testing;

namespace {

// Free space 100..1FF with the ignored zone 140..14F, no alignment, a gap of
// one byte. Dialogs of 0x30, 0x30, 0x80 and 0x10 bytes: the first fits
// before the zone, the second is moved past it, the third fits nowhere, the
// fourth follows the second.
struct FreeSpaceReportTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  FreeSpaceReportTest() {
    PutRom(state, 0x400, 0xFF);
    PutAsciiTable(state);
    const std::size_t sizes[] = {0x30, 0x30, 0x80, 0x10};
    for (int k = 0; k < 4; ++k) {
      DialogRecord& d = AddDialog(state, u"d" + DecText(k), std::u16string(sizes[k] - 1, u'x') + u"<$END>");
      d.ExtractedFromAddr = u"10";
    }
    state.insertion.FreeSpaceStartAddr = 0x100;
    state.insertion.FreeSpaceEndAddr = 0x200;
    state.insertion.IgnoreRomZones = {RomZone{0x140, 0x14F}};
  }

  static void ExpectKnownLayout(const FreeSpaceLayout& layout) {
    EXPECT_EQ(layout.spaceStart, 0x100);
    EXPECT_EQ(layout.spaceEnd, 0x200);
    ASSERT_EQ(layout.ranges.size(), 2u);
    const FreeSpaceRange& a = layout.ranges[0];
    EXPECT_EQ(a.start, 0x100);
    EXPECT_EQ(a.end, 0x140);
    EXPECT_EQ(a.used, 0x30);
    EXPECT_EQ(a.left, 0x10);
    EXPECT_EQ(a.gaps(), 0);
    EXPECT_EQ(a.firstDialog, 0);
    EXPECT_EQ(a.lastDialog, 0);
    const FreeSpaceRange& b = layout.ranges[1];
    EXPECT_EQ(b.start, 0x150);
    EXPECT_EQ(b.end, 0x200);
    EXPECT_EQ(b.used, 0x40);
    EXPECT_EQ(b.left, 0x200 - 0x191);
    EXPECT_EQ(b.gaps(), 1);
    EXPECT_EQ(b.dialogs, 2u);
    EXPECT_EQ(b.firstDialog, 1);
    EXPECT_EQ(b.lastDialog, 3);
    ASSERT_EQ(layout.unfit.size(), 1u);
    EXPECT_EQ(layout.unfit[0].dialog, 2);
    EXPECT_EQ(layout.unfit[0].size, 0x80);
  }
};

TEST_F(FreeSpaceReportTest, DryRunGivesTheLayoutAndChangesNothing) {
  const std::vector<DialogRecord> dialogsBefore = state.dialogs.records;
  const std::vector<std::uint8_t> romBefore(state.rom.bytes.begin(), state.rom.bytes.end());
  const std::size_t logLinesBefore = host.logLines.size();
  TempDir dir;
  FreeSpaceReport(state, dir.File("space.txt"));

  EXPECT_EQ(state.dialogs.records, dialogsBefore);
  EXPECT_EQ(std::vector<std::uint8_t>(state.rom.bytes.begin(), state.rom.bytes.end()), romBefore);
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x100);
  EXPECT_FALSE(state.record.calculated);
  EXPECT_FALSE(state.dialogs.changed);
  // The calculation's own lines stay out of the log: only the report's two.
  EXPECT_EQ(host.logLines.size(), logLinesBefore + 2);

  const std::u16string report = dir.ReadText("space.txt");
  EXPECT_NE(report.find(u"пробный расчет"), std::u16string::npos);
  EXPECT_NE(report.find(u"Игнорируемые зоны: 140-14F\r\n"), std::u16string::npos);
  EXPECT_NE(report.find(u"\r\n100-13F\t64\t48\t0\t16\t1\td0\td0\r\n"), std::u16string::npos);
  EXPECT_NE(report.find(u"\r\n150-1FF\t176\t64\t1\t111\t2\td1\td3\r\n"), std::u16string::npos);
  EXPECT_NE(report.find(u"\r\nd2\t128 байт\r\n"), std::u16string::npos);
  ExpectKnownLayout(PlanFreeSpace(state));
}

TEST_F(FreeSpaceReportTest, AfterTheCalculationTheReportDescribesIt) {
  CalcNewAddresses(state);
  ASSERT_EQ(Dialog(state, 1).NewDlgAddr, u"150");
  const FreeSpaceLayout layout = PlanFreeSpace(state);
  EXPECT_FALSE(layout.dryRun);
  ExpectKnownLayout(layout);
}

}  // namespace
