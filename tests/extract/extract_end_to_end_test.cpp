#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <unistd.h>

#include "app/app.h"
#include "tests/support/scripted_host.h"
#include "extract/dump_via_pointers.h"
#include "insert/address_forms.h"
#include "insert/pointer_search.h"
#include "script/dialogs_file.h"
#include "tests/extract/extract_test_support.h"

using namespace vorkat;
using namespace vorkat::extract_testing;

namespace {

constexpr std::int32_t kTextStart = 0x1000;
constexpr std::int32_t kPointerTable = 0x200;

// A ROM with a GBA pointer table (shuffled, some strings addressed twice)
// and, from kTextStart to the ROM's end, strings each closed by the end
// code FF. Returns the strings by offset.
std::map<std::int32_t, std::u16string> BuildRom(AppState& state) {
  const std::vector<std::u16string> strings = {u"HELLO WORLD", u"ЖУК", u"A", u"SECOND LINE!", u"Ж Ж Ж", u"LAST ONE"};
  std::vector<std::uint8_t> rom(kTextStart, 0);
  std::map<std::int32_t, std::u16string> byOffset;
  std::vector<std::int32_t> targets;
  for (const auto& s : strings) {
    const auto at = static_cast<std::int32_t>(rom.size());
    byOffset[at] = s;
    targets.push_back(at);
    for (char16_t c : s)
      rom.push_back(c == u'Ж' ? 0x80 : c == u'У' ? 0x81 : c == u'К' ? 0x82 : static_cast<std::uint8_t>(c));
    rom.push_back(0xFF);
  }
  targets.push_back(targets[1]);
  targets.push_back(targets[4]);
  std::shuffle(targets.begin(), targets.end(), std::mt19937(3));
  std::int32_t at = kPointerTable;
  for (std::int32_t t : targets) {
    std::u16string ptr = OffsetToPtrHexUnchecked(t);
    auto bytes = PtrHexToBytes(state, ptr);
    std::copy(bytes->begin(), bytes->end(), rom.begin() + at);
    at += 4;
  }
  PutRom(state, rom);

  PutLetterTable(state);
  state.table.entries[0x20] = u" ";
  state.table.entries[0x21] = u"!";
  state.table.entries[0x80] = u"Ж";
  state.table.entries[0x81] = u"У";
  state.table.entries[0x82] = u"К";
  SetEndCode(state, 0xFF);
  return byOffset;
}

}  // namespace

class ExtractEndToEnd : public ::testing::TestWithParam<const char16_t*> {};

TEST_P(ExtractEndToEnd, PointerSearchThenDumpThenLoadDialogs) {
  ScriptedHost host;
  AppState state(host);
  ScratchDir dir;
  state.ctx.settings.WriteTextInUnicode = GetParam();
  const auto strings = BuildRom(state);
  const std::u16string report = dir.File("ptrs.txt"), temp = dir.File("sorted.txt"), out = dir.File("dialogs.txt");

  FindPointers(state, kTextStart, state.rom.size() - 1, 0, 0, report);
  EXPECT_TRUE(HasLine(host.logLines, u"Всего найдено поинтеров  8"));

  DumpViaPointers(state, report, temp, out, false);
  std::u16string sorted;
  for (const auto& [offset, text] : strings) sorted += DecText(offset) + u"\r\n";
  EXPECT_EQ(ReadText(temp), sorted);

  state.dialogs.fileName = out;
  LoadDialogs(state, true);
  ASSERT_TRUE(state.dialogs.isLoaded);
  ASSERT_EQ(state.dialogs.lastIndex + 1, static_cast<std::int32_t>(strings.size()));
  std::size_t k = 0;
  for (const auto& [offset, text] : strings) {
    const DialogRecord& d = state.dialogs.records[k++];
    EXPECT_EQ(d.dlgID, DecText(offset));
    EXPECT_EQ(HexTextToLong(d.ExtractedFromAddr), offset);
    EXPECT_EQ(d.dlgText, text + u"<$FF>");
    EXPECT_TRUE(d.OldDlgSize.empty() && d.dlgComments.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(BothEncodings, ExtractEndToEnd, ::testing::Values(u"NO", u"YES"));
