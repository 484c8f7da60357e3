// Game Boy pointers: 2-byte bank-relative (GB16) and 3-byte banked (GB24,
// GB24R) through the address forms, placement, rewriting, the pointer
// search, its dump and the verification.
#include <gtest/gtest.h>

#include "extract/dump_via_pointers.h"
#include "extract/pointer_report.h"
#include "insert/address_forms.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_search.h"
#include "insert/verify_insertion.h"
#include "core/file_io.h"
#include "tests/insert/insert_test_support.h"
#include "viewer/viewer_model.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

using Bytes8 = std::vector<std::uint8_t>;

struct GbPointers : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  GbPointers() {
    PutRom(state, 0x10000);  // 64 KiB: four banks
    PutAsciiTable(state);
    state.ctx.settings.ExtendedLogs = u"NO";
    state.dialogs.fileName = dir.File("script.txt");
  }

  void Use(PointerFormat format) { state.ctx.settings.PtrFormat = format; }
};

}  // namespace

TEST(GbPointerForms, TextsInEveryFormatReadBack) {
  struct Case {
    std::int32_t offset;
    const char16_t* gba;
    const char16_t* gb16;
    const char16_t* gb24;
    const char16_t* gb24r;
  };
  for (const Case& c : {Case{0x0123, u"23010008", u"2301", u"002301", u"230100"},
                        Case{0x4000, u"00400008", u"0040", u"010040", u"004001"},
                        Case{0x7FFF, u"FF7F0008", u"FF7F", u"01FF7F", u"FF7F01"},
                        Case{0x1C000, u"00C00108", u"0040", u"070040", u"004007"}}) {
    const std::pair<PointerFormat, const char16_t*> forms[] = {{PointerFormat::GBA, c.gba},
                                                               {PointerFormat::GB16, c.gb16},
                                                               {PointerFormat::GB24, c.gb24},
                                                               {PointerFormat::GB24R, c.gb24r}};
    for (const auto& [format, text] : forms) {
      EXPECT_EQ(OffsetToPtrHexUnchecked(c.offset, format), text) << c.offset;
      EXPECT_EQ(PtrHexToOffset(text, format, BankOf(c.offset)), c.offset) << ToUtf8(text);
    }
  }
  // A GB16 address is read through the bank it is given; bank 0 shows bank 1
  // in $4000-$7FFF; from $8000 on it is no ROM address; lengths must match.
  EXPECT_EQ(PtrHexToOffset(u"0040", PointerFormat::GB16, 2), 0x8000);
  EXPECT_EQ(PtrHexToOffset(u"0040", PointerFormat::GB16, 0), 0x4000);
  EXPECT_EQ(PtrHexToOffset(u"0080", PointerFormat::GB16, 1), -1);
  EXPECT_EQ(PtrHexToOffset(u"00400008", PointerFormat::GB16, 1), -1);
  EXPECT_EQ(PtrHexToOffset(u"0040", PointerFormat::GBA), -1);
  // Out of reach: 256 banks for a bank byte, no text for -1 (an empty address).
  EXPECT_EQ(OffsetToPtrHexUnchecked(0x400000, PointerFormat::GB24), u"");
  EXPECT_EQ(OffsetToPtrHexUnchecked(-1, PointerFormat::GB16), u"");
  EXPECT_EQ(OffsetToPtrHexUnchecked(0x3FFFFF, PointerFormat::GB24R), u"FF7FFF");
}

TEST_F(GbPointers, PointerTextsOfAnotherLengthAreReported) {
  Use(PointerFormat::GB16);
  std::u16string shortText = u"41";
  EXPECT_EQ(PtrHexToBytes(state, shortText), (std::array<std::uint8_t, 4>{0x00, 0x41, 0, 0}));
  EXPECT_EQ(shortText, u"0041");
  EXPECT_EQ(CountLinesStartingWith(state, u"Видимо ошибка"), 1);
  EXPECT_TRUE(state.ctx.log.text.find(u"(hhhh)") != std::u16string::npos);
  // A GBA pointer text is no GB16 one: nothing is searched for it.
  std::u16string gbaText = u"00410008";
  EXPECT_FALSE(PtrHexToBytes(state, gbaText));
  EXPECT_EQ(ColourOf(state, u"Указатель '00410008' длиннее, чем в формате GB16 (hhhh), его не ищем"), kColourBrightRed);

  EXPECT_FALSE(SetPointerFormat(state, u"GB32"));
  EXPECT_EQ(state.ctx.settings.PtrFormat, PointerFormat::GB16);
  EXPECT_TRUE(SetPointerFormat(state, u" gb24r "));
  EXPECT_EQ(state.ctx.settings.PtrFormat, PointerFormat::GB24R);
}

TEST_F(GbPointers, Gb16DialogsStayInTheirBankAndOneWithoutRoomIsReported) {
  Use(PointerFormat::GB16);
  AddDialog(state, u"A", u"Hello<$END>").ExtractedFromAddr = u"4100";  // bank 1
  AddDialog(state, u"B", u"Bye<$END>").ExtractedFromAddr = u"8100";    // bank 2
  AddDialog(state, u"C", std::u16string(300, u'x') + u"<$END>").ExtractedFromAddr = u"4200";
  AddDialog(state, u"D", u"Hi<$END>");  // from nowhere: no bank to stay in
  state.insertion.FreeSpaceStartAddr = 0x7F00;
  state.insertion.FreeSpaceEndAddr = 0x10000;
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"7F00");
  EXPECT_EQ(Dialog(state, 0).OldPtrHEX, u"0041");
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, u"007F");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"8000");  // bank 2's share of the free space
  EXPECT_EQ(Dialog(state, 1).NewPtrHEX, u"0040");
  EXPECT_EQ(Dialog(state, 2).NewDlgAddr, u"");
  EXPECT_EQ(Dialog(state, 3).NewDlgAddr, u"");
  EXPECT_EQ(CountLines(state, u"Dialog ID=C: в банке 1 (откуда вынули) не хватило 'пустого' места, диалог не размещен"),
            1);
  EXPECT_EQ(CountLinesStartingWith(state, u"Dialog ID=D: не известно, из какого банка"), 1);
  EXPECT_EQ(CountLinesStartingWith(state, u"Не хватило свободного места: диалогов без нового адреса 2"), 1);
  // The next calculation goes on after the furthest place used.
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x8000 + 4 + 1);
}

TEST_F(GbPointers, ThreeBytePointersMoveTextToAnotherBankNeverAcrossABoundary) {
  for (PointerFormat format : {PointerFormat::GB24, PointerFormat::GB24R}) {
    PutRom(state, 0x10000);
    state.dialogs = DialogSet{};
    state.ctx.log = {};
    Use(format);
    const bool bankFirst = format == PointerFormat::GB24;
    const Bytes8 oldPtr = bankFirst ? Bytes8{0x01, 0x00, 0x41} : Bytes8{0x00, 0x41, 0x01};
    std::copy(oldPtr.begin(), oldPtr.end(), state.rom.bytes.begin() + 0x200);   // bank 0
    std::copy(oldPtr.begin(), oldPtr.end(), state.rom.bytes.begin() + 0x8011);  // bank 2, odd place
    AddDialog(state, u"1", u"Hello<$END>").ExtractedFromAddr = u"4100";
    state.insertion.FreeSpaceStartAddr = 0xBFFC;  // 6 bytes would cross into bank 3
    state.insertion.FreeSpaceEndAddr = 0x10000;
    state.insertion.CheckByMod4 = true;  // 3-byte tables have no alignment to check
    CalcNewAddresses(state);
    ASSERT_EQ(Dialog(state, 0).NewDlgAddr, u"C000");
    InsertDialogs(state);
    const Bytes8 newPtr = bankFirst ? Bytes8{0x03, 0x00, 0x40} : Bytes8{0x00, 0x40, 0x03};
    EXPECT_EQ(RomAt(state, 0x200, 3), newPtr);
    EXPECT_EQ(RomAt(state, 0x8011, 3), newPtr);
    EXPECT_EQ(RomAt(state, 0xC000, 6), (Bytes8{'H', 'e', 'l', 'l', 'o', 0x00}));
    EXPECT_EQ(CheckInsertion(state).problems.size(), 0u);
  }
}

TEST_F(GbPointers, Gb16SearchIsConfinedToBankZeroAndTheTextsBank) {
  Use(PointerFormat::GB16);
  for (std::size_t at : {0x300u, 0x4800u, 0x4803u, 0x8800u}) PutBytes(state, at, {0x00, 0x41});
  AddDialog(state, u"1", u"Hi<$END>").ExtractedFromAddr = u"4100";
  state.insertion.FreeSpaceStartAddr = 0x7000;
  state.insertion.FreeSpaceEndAddr = 0x8000;
  state.insertion.CheckByMod4 = true;  // GB16 tables are read at even offsets
  CalcNewAddresses(state);
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x300, 2), (Bytes8{0x00, 0x70}));
  EXPECT_EQ(RomAt(state, 0x4800, 2), (Bytes8{0x00, 0x70}));
  EXPECT_EQ(RomAt(state, 0x4803, 2), (Bytes8{0x00, 0x41})) << "odd offset";
  EXPECT_EQ(RomAt(state, 0x8800, 2), (Bytes8{0x00, 0x41})) << "another bank: the same bytes mean other text";
  // The verification looks where the insertion looked: the odd one is named.
  const VerifyResult result = CheckInsertion(state);
  ASSERT_EQ(result.Count(VerifyProblemKind::StalePointer), 1u);
  EXPECT_EQ(result.problems[0].offset, 0x4803);

  // A text written by hand into another bank is refused: its pointer cannot follow.
  Dialog(state, 0).NewDlgAddr = u"8100";
  Dialog(state, 0).NewPtrHEX = u"0041";
  InsertDialogs(state);
  EXPECT_EQ(CountLinesStartingWith(state, u"Dialog ID=1: текст по адресу 8100 лежит в банке 2, а вынут из банка 1"), 1);
  EXPECT_EQ(RomAt(state, 0x8100, 2), (Bytes8{0x00, 0x00}));

  // The viewer follows a GB16 pointer through the bank it lies in.
  ViewerModel view;
  FollowPointer(state, view, u"18432");  // 0x4800 -> $7000 in bank 1
  EXPECT_EQ(view.ViewTop, 0x7000);
}

TEST_F(GbPointers, PointerSearchAndDumpInEveryFormat) {
  // One pointer of each kind to the text at 0x4100; texts at 0x4100 and 0x4104.
  PutBytes(state, 0x4100, {'a', 'b', 'c', 0x00, 'D', 'e', 'f', 0x00});
  struct Case {
    PointerFormat format;
    Bytes8 first, second;
    const char16_t* line;
  };
  const Case cases[] = {
      {PointerFormat::GB16,
       {0x00, 0x41},
       {0x04, 0x41},
       u"адрес байтов в роме=hex(4000), указывают на  16640 (4100)-->00,41"},
      {PointerFormat::GB24,
       {0x01, 0x00, 0x41},
       {0x01, 0x04, 0x41},
       u"адрес байтов в роме=hex(4000), указывают на  16640 (4100)-->01,00,41"},
      {PointerFormat::GB24R,
       {0x00, 0x41, 0x01},
       {0x04, 0x41, 0x01},
       u"адрес байтов в роме=hex(4000), указывают на  16640 (4100)-->00,41,01"},
  };
  for (const Case& c : cases) {
    Use(c.format);
    std::fill(state.rom.bytes.begin() + 0x4000, state.rom.bytes.begin() + 0x4010, 0xFF);
    std::copy(c.first.begin(), c.first.end(), state.rom.bytes.begin() + 0x4000);
    std::copy(c.second.begin(), c.second.end(), state.rom.bytes.begin() + 0x4008);
    const std::u16string report = dir.File("ptrs.txt");
    FindPointers(state, 0x4100, 0x4104, 0x4000, 0x4010, report);
    const auto bytes = ReadFileBytes(report);
    ASSERT_TRUE(bytes);
    const auto lines = SplitCrLf(FromCp1251(bytes->data(), bytes->size()));
    ASSERT_EQ(lines.size(), 4u) << ToUtf8(PointerFormatName(c.format));
    EXPECT_EQ(lines[0], c.line);
    EXPECT_EQ(lines[2], u"Всего найдено поинтеров  2");
    // A window is read only where it starts inside the scan range.
    FindPointers(state, 0x4100, 0x4104, 0x4001, 0x4010, dir.File("later.txt"));
    EXPECT_EQ(SplitCrLf(dir.ReadText("later.txt"))[1], u"Всего найдено поинтеров  1");

    DumpViaPointers(state, report, dir.File("sorted.txt"), dir.File("dump.txt"), false);
    const std::u16string dump = dir.ReadText("dump.txt");
    EXPECT_TRUE(StartsWith(dump, u"16640,4100")) << ToUtf8(dump.substr(0, 40));
    EXPECT_NE(dump.find(u"abc<$END>"), std::u16string::npos);
    EXPECT_NE(dump.find(u"16644,4104"), std::u16string::npos);
  }
}
