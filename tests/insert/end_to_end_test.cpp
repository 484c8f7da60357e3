#include <gtest/gtest.h>

#include <map>
#include <set>

#include "codec/encoder.h"
#include "app/app.h"
#include "extract/dump_via_pointers.h"
#include "insert/address_forms.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_search.h"
#include "script/dialogs_file.h"
#include "tests/insert/insert_test_support.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

constexpr std::size_t kRomSize = 0x10000;
constexpr std::size_t kTexts = 0x1000;
constexpr std::size_t kPointerTable = 0x200;
constexpr std::size_t kFree = 0x8000;
constexpr int kCount = 12;

void PutPointer(AppState& state, std::size_t at, std::size_t target) {
  PutBytes(state, at,
           {static_cast<std::uint8_t>(target), static_cast<std::uint8_t>(target >> 8),
            static_cast<std::uint8_t>(target >> 16), 0x08});
}

std::size_t PointerTarget(const AppState& state, std::size_t at) {
  const auto& b = state.rom.bytes;
  EXPECT_EQ(b[at + 3], 0x08);
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16;
}

}  // namespace

// A generated game: texts at 0x1000 reached through a pointer table (one
// text through two pointers, and an unaligned copy of a pointer that is no
// pointer), free space of 0xFF bytes from 0x8000. Extract through the
// pointers, translate into longer texts, place them, insert, and check
// every byte.
TEST(InsertEndToEnd, ExtractTranslateCalculateInsert) {
  ScriptedHost host;
  AppState state(host);
  TempDir dir;
  PutRom(state, kRomSize);
  PutAsciiTable(state);
  for (std::size_t i = 0; i < kFree; ++i) state.rom.bytes[i] = static_cast<std::uint8_t>(0x20 + (i * 7) % 0x5F);
  for (std::size_t i = kFree; i < kRomSize; ++i) state.rom.bytes[i] = 0xFF;

  std::vector<std::size_t> starts;
  std::size_t at = kTexts;
  for (int k = 0; k < kCount; ++k) {
    const std::string text = "Old " + std::string(static_cast<std::size_t>(k % 4 + 1), 'x') + std::to_string(k);
    starts.push_back(at);
    for (char c : text) state.rom.bytes[at++] = static_cast<std::uint8_t>(c);
    state.rom.bytes[at++] = 0x00;
    PutPointer(state, kPointerTable + static_cast<std::size_t>(k) * 4, starts.back());
  }
  std::map<std::size_t, std::size_t> pointerSlots;  // slot -> text index
  for (int k = 0; k < kCount; ++k)
    pointerSlots[kPointerTable + static_cast<std::size_t>(k) * 4] = static_cast<std::size_t>(k);
  PutPointer(state, 0x300, starts[3]);
  pointerSlots[0x300] = 3;
  PutPointer(state, 0x401, starts[5]);  // unaligned: data, not a pointer
  const std::vector<std::uint8_t> original(state.rom.bytes.begin(), state.rom.bytes.end());

  // Extract.
  const std::u16string report = dir.File("ptrs.txt");
  FindPointers(state, static_cast<std::int32_t>(kTexts), static_cast<std::int32_t>(kFree - 1), 0, 0, report);
  DumpViaPointers(state, report, dir.File("sorted.txt"), dir.File("script.txt"), false);
  state.dialogs.fileName = dir.File("script.txt");
  LoadDialogs(state, true);
  ASSERT_EQ(state.dialogs.lastIndex + 1, kCount);
  for (int k = 0; k < kCount; ++k) {
    ASSERT_EQ(HexTextToLong(Dialog(state, k).ExtractedFromAddr),
              static_cast<std::int32_t>(starts[static_cast<std::size_t>(k)]));
    if (k + 1 < kCount) {
      ASSERT_TRUE(Dialog(state, k).dlgText.ends_with(u"<$END>"));
    }
  }

  // Translate: every text grows.
  std::vector<std::u16string> translations;
  for (int k = 0; k < kCount; ++k) {
    translations.push_back(u"Translated line " + DecText(k) + std::u16string(static_cast<std::size_t>(k), u'!') +
                           u"<$VBCRLF>\r\nsecond part<$END>");
    Dialog(state, k).dlgText = translations.back();
  }

  // Calculate in the free space and insert.
  state.insertion.FreeSpaceStartAddr = SuggestFreeSpaceStart(state.rom);
  state.insertion.FreeSpaceEndAddr = state.rom.size();
  state.insertion.AddressAlignBy = 4;
  state.insertion.CheckByMod4 = true;
  CalcNewAddresses(state);
  InsertDialogs(state);
  EXPECT_EQ(CountLines(state, u"закончили вставлять текст диалогов в РОМ"), 1);

  std::set<std::size_t> allowed;
  for (int k = 0; k < kCount; ++k) {
    const DialogRecord& d = Dialog(state, k);
    const std::int32_t placed = HexTextToLong(d.NewDlgAddr);
    ASSERT_GE(placed, static_cast<std::int32_t>(kFree)) << k;
    EXPECT_EQ(placed % 4, 0);
    const Bytes encoded = Encode(state, translations[static_cast<std::size_t>(k)]);
    ASSERT_GT(encoded.size(), 0u);
    EXPECT_EQ(RomAt(state, static_cast<std::size_t>(placed), encoded.size()), encoded) << k;
    for (std::size_t i = 0; i < encoded.size(); ++i) allowed.insert(static_cast<std::size_t>(placed) + i);
  }
  for (const auto& [slot, k] : pointerSlots) {
    const DialogRecord& d = Dialog(state, static_cast<int>(k));
    EXPECT_EQ(PointerTarget(state, slot), static_cast<std::size_t>(HexTextToLong(d.NewDlgAddr))) << slot;
    for (std::size_t i = 0; i < 4; ++i) allowed.insert(slot + i);
  }
  for (std::size_t i = 0; i < kRomSize; ++i)
    if (!allowed.count(i)) {
      ASSERT_EQ(state.rom.bytes[i], original[i]) << "offset " << i;
    }
  EXPECT_EQ(PointerTarget(state, 0x401), starts[5]) << "the unaligned copy stays";
}
