// Extraction and pointer search given numbers at and beyond the edges of the
// ROM and of 32 bits: every run must end cleanly (the sanitizer build checks
// the arithmetic), with the progress bar hidden and the busy mark cleared.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <unistd.h>

#include "app/app.h"
#include "core/numbers.h"
#include "tests/support/scripted_host.h"
#include "extract/char_widths.h"
#include "extract/dump_by_addresses.h"
#include "extract/dump_via_pointers.h"
#include "extract/extract_common.h"
#include "extract/scan_extract.h"
#include "insert/pointer_search.h"
#include "tests/extract/extract_test_support.h"

using namespace vorkat;
using namespace vorkat::extract_testing;

namespace {

struct ExtremeInputs : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ScratchDir dir;
  std::u16string out = dir.File("out.txt");
  std::u16string list = dir.File("list.txt");
  std::u16string report = dir.File("report.txt");

  void SetUp() override {
    // Letters with an 08 byte (also the end code) every third byte.
    std::vector<std::uint8_t> rom(300);
    for (std::size_t k = 0; k < rom.size(); ++k) rom[k] = static_cast<std::uint8_t>(k % 3 ? 0x41 + k % 26 : 8);
    PutRom(state, rom);
    PutLetterTable(state);
    SetEndCode(state, 0x08);
  }

  // The state after a run: nothing left busy or shown.
  void ExpectIdle(const char* what, std::int64_t a, std::int64_t b, std::int64_t c = 0) {
    EXPECT_EQ(state.ctx.busy, 0) << what << " " << a << " " << b << " " << c;
    EXPECT_FALSE(state.ctx.progress.visible) << what << " " << a << " " << b << " " << c;
  }
};

const std::int32_t kValues[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, 2, 299, 300, 301, INT32_MAX - 1, INT32_MAX};
// Fewer for the three-number operations.
const std::int32_t kEdges[] = {INT32_MIN, -1, 0, 1, 299, 300, INT32_MAX};

}  // namespace

TEST_F(ExtremeInputs, ScanEndsCleanlyForAnyRange) {
  for (const char16_t* type : {u"SBCS", u"SBCS2", u"DBCS"}) {
    state.table.type = type;
    for (const char16_t* hex : {u"NO", u"YES"}) {
      state.codecOptions.HexEncodeUnknownChars = hex;
      for (std::int32_t a : kValues)
        for (std::int32_t b : kValues) {
          std::int32_t start = a, end = b;
          ScanExtract(state, start, end, out);
          ExpectIdle("scan", a, b);
          EXPECT_GE(start, 0);
          if (start < end) {
            EXPECT_LE(end, state.rom.size());
          }
        }
    }
  }
}

TEST_F(ExtremeInputs, WidthsStepsAndPointerSearchEndCleanly) {
  for (std::int32_t a : kEdges)
    for (std::int32_t b : kEdges)
      for (std::int32_t c : {INT32_MIN, 1, INT32_MAX}) {
        ExtractCharWidths(state, a, b, c, out);
        ExpectIdle("widths", a, b, c);
        DumpByAddressSteps(state, a, b, c, out, 0);
        DumpByAddressSteps(state, a, c, 3, out, b);
        ExpectIdle("steps", a, b, c);
        FindPointers(state, a, b, c, 0, report);
        FindPointers(state, 0, 0, a, b, report);
        ExpectIdle("pointers", a, b, c);
      }
}

TEST_F(ExtremeInputs, ListsOfExtremeNumbersDumpOneRecordPerEntry) {
  std::u16string text;
  for (std::int32_t a : kValues) text += DecText(a) + u",";
  text += u"&h80000000,&hFFFFFFFF,&hFFFFFFFFFF,1e300,-1e300,abc";
  WriteText(list, text);
  // Only the entries that are offsets of the 300-byte ROM are dumped; the others are reported.
  const std::size_t entries = static_cast<std::size_t>(
      std::count_if(std::begin(kValues), std::end(kValues), [](std::int32_t a) { return a >= 0 && a < 300; }));
  for (std::int32_t length : kValues) {
    DumpByAddressList(state, list, out, length);
    ExpectIdle("list", length, 0);
    std::u16string dump = ReadText(out);
    EXPECT_EQ(static_cast<std::size_t>(std::count(dump.begin(), dump.end(), u'\u00A7')), entries) << length;
  }

  std::vector<std::u16string> sorted = SplitOffsetList(text);
  SortOffsets(state, sorted, 0, static_cast<std::int32_t>(sorted.size()) - 1);
  for (std::size_t k = 1; k < sorted.size(); ++k) EXPECT_LE(ReadInt(sorted[k - 1]), ReadInt(sorted[k])) << k;

  WriteText(report,
            u"x), указывают на  \r\n), указывают на  1,2 x\r\n), указывают на  -5 \r\n"
            u"), указывают на  99999999999 \r\n");
  DumpViaPointers(state, report, dir.File("sorted.txt"), out, false);
  ExpectIdle("via pointers", 0, 0);
  EXPECT_EQ(host.logLines.back(), u"Закончили dump по указателям.");
}
