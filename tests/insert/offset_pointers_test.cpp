// Offset pointers (value = text offset - base, 2 to 4 bytes, either byte
// order), declared pointer tables, and in-place insertion with fixed-length
// fields.
#include <gtest/gtest.h>

#include "core/file_io.h"
#include "core/settings.h"
#include "extract/dump_via_pointers.h"
#include "insert/address_forms.h"
#include "insert/in_place.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_table.h"
#include "insert/verify_insertion.h"
#include "script/dialogs_file.h"
#include "tests/insert/insert_test_support.h"
#include "viewer/viewer_model.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

using Bytes8 = std::vector<std::uint8_t>;

struct OffsetPointers : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  OffsetPointers() {
    PutRom(state, 0x20000);
    PutAsciiTable(state);
    state.ctx.settings.ExtendedLogs = u"NO";
    state.ctx.settings.TrDialogFileFormat =
        u"dlgID,ExtractedFromAddr,OldDlgSize,NewDlgSize,DoPointerChange,NewDlgAddr,OldPtrHEX,NewPtrHEX,"
        u"PtrsAddrListFile,PtrsAddrZones,dlgComments,dlgText";
    state.dialogs.fileName = dir.File("script.txt");
  }

  void Use(std::u16string_view name) { ASSERT_TRUE(SetPointerFormat(state, name)) << ToUtf8(name); }
  void PutText(std::size_t at, std::string_view text) {
    for (char c : text) state.rom.bytes[at++] = static_cast<std::uint8_t>(c);
    state.rom.bytes[at] = 0x00;
  }
};

}  // namespace

TEST(OffsetPointerForms, EveryWidthAndByteOrderRoundTripsWithItsBase) {
  const std::int32_t text = 0x12345;
  for (std::int32_t base : {0, 0x12000, 0x10000}) {  // plain offsets, a table's start, a bank's start
    for (int width : {2, 3, 4}) {
      for (bool bigEndian : {false, true}) {
        const PointerFormat format = PointerFormat::Offset(width, base, bigEndian);
        const std::u16string name = PointerFormatName(format);
        EXPECT_EQ(ParsePointerFormat(name), format) << ToUtf8(name);
        if (width == 2 && base == 0) {  // 0x12345 is past what 2 bytes reach from 0
          EXPECT_EQ(OffsetToPtrHexUnchecked(text, format), u"");
          continue;
        }
        const std::u16string ptr = OffsetToPtrHexUnchecked(text, format);
        ASSERT_EQ(ptr.size(), static_cast<std::size_t>(2 * width)) << ToUtf8(name);
        const auto bytes = EncodePointer(format, text);
        ASSERT_TRUE(bytes);
        // The value, in the byte order chosen, is the distance from the base.
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i)
          value = value << 8 | (*bytes)[static_cast<std::size_t>(bigEndian ? i : width - 1 - i)];
        EXPECT_EQ(value, static_cast<std::uint32_t>(text - base)) << ToUtf8(name);
        EXPECT_EQ(ReadPointerText(ptr, format).bytes, *bytes);
        EXPECT_EQ(PtrHexToOffset(ptr, format), text) << ToUtf8(ptr);
        EXPECT_EQ(DecodePointer(format, bytes->data(), 0), text);
      }
    }
  }
  EXPECT_EQ(ParsePointerFormat(u" offset , 2 , 0x10000 , be "), PointerFormat::Offset(2, 0x10000, true));
  for (const char16_t* wrong : {u"OFFSET,1,0", u"OFFSET,5,0", u"OFFSET,2,-1", u"OFFSET,2", u"OFFSET,2,0,XX"})
    EXPECT_FALSE(ParsePointerFormat(wrong)) << ToUtf8(wrong);
  // Below the base there is no offset at all.
  EXPECT_FALSE(EncodePointer(PointerFormat::Offset(2, 0x10000, false), 0xFFFF));
  // The settings keep the whole format.
  Settings saved;
  saved.PtrFormat = PointerFormat::Offset(3, 0x10000, true);
  Settings read;
  ApplySettingsText(read, SettingsFileText(saved));
  EXPECT_EQ(read.PtrFormat, saved.PtrFormat);
}

TEST_F(OffsetPointers, TextsTheWidthCannotReachAreRefusedByName) {
  Use(u"OFFSET,2,&h10000");
  AddDialog(state, u"far", u"Hello<$END>").ExtractedFromAddr = u"10010";
  state.insertion.FreeSpaceStartAddr = 0x1FFF0;  // 0x10000 + 0xFFF0: still reached
  state.insertion.FreeSpaceEndAddr = 0x20000;
  AddDialog(state, u"too far", u"Goodbye, world<$END>").ExtractedFromAddr = u"10020";
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, u"F0FF");
  // 0x1FFF6 + 14 bytes would end past 0x20000: no room; below the base, out of reach.
  state.insertion.FreeSpaceStartAddr = 0x8000;
  state.insertion.FreeSpaceEndAddr = 0x9000;
  CalcNewAddresses(state);
  EXPECT_EQ(CountLinesStartingWith(state,
                                   u"Dialog ID=too far: новый адрес 8000 вне досягаемости указателя "
                                   u"OFFSET,2,&h10000 (10000..1FFFF)"),
            1);
  EXPECT_TRUE(Dialog(state, 1).NewDlgAddr.empty());
}

TEST_F(OffsetPointers, DeclaredTableWithWideStrideRewritesOnlyItsEntries) {
  // A bank of texts at 0x10000, a table of 2-byte offsets from it at 0x8000,
  // 4 bytes per entry (2 bytes of something else after each offset).
  Use(u"OFFSET,2,&h10000");
  PutText(0x10000, "One");
  PutText(0x10004, "Two");
  PutBytes(state, 0x8000, {0x00, 0x00, 0x04, 0x00});  // entry 0: One; its other field holds 04 00
  PutBytes(state, 0x8004, {0x04, 0x00, 0x00, 0x00});  // entry 1: Two
  PutBytes(state, 0x8008, {0x00, 0x00, 0x00, 0x00});  // entry 2: One again
  PutBytes(state, 0x800C, {0xFF, 0xFF, 0x00, 0x00});  // entry 3: 0x1FFFF, past the ROM's end
  state.rom.bytes.resize(0x1F000);
  PutBytes(state, 0x9000, {0x04, 0x00});  // the same bytes elsewhere: not a pointer
  const std::u16string report = dir.File("table.txt");
  ASSERT_TRUE(DeclarePointerTable(state, 0x8000, 4, 4, report));
  EXPECT_EQ(CountLinesStartingWith(state, u"Запись 3 таблицы (по адресу 800C) указывает на 1FFFF"), 1);
  const auto lines = SplitCrLf(dir.ReadText("table.txt"));
  EXPECT_EQ(lines[2], u"адрес байтов в роме=hex(8004), указывают на  65540 (10004)-->04,00");

  DumpViaPointers(state, report, dir.File("sorted.txt"), dir.File("dump.txt"), false);
  state.dialogs.fileName = dir.File("dump.txt");
  LoadDialogs(state, true);
  ASSERT_EQ(state.dialogs.count(), 2u);
  EXPECT_EQ(Dialog(state, 0).PtrsAddrZones, u"32768:32769;32776:32777");  // both entries of "One"
  EXPECT_EQ(Dialog(state, 0).OldDlgSize, u"4");
  EXPECT_EQ(Dialog(state, 1).PtrsAddrZones, u"32772:32773");

  Dialog(state, 0).dlgText = u"First one<$END>";
  Dialog(state, 1).dlgText = u"Second one<$END>";
  state.insertion.FreeSpaceStartAddr = 0x10100;
  state.insertion.FreeSpaceEndAddr = 0x10200;
  CalcNewAddresses(state);
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x8000, 12), (Bytes8{0x00, 0x01, 0x04, 0x00, 0x0B, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(RomAt(state, 0x9000, 2), (Bytes8{0x04, 0x00})) << "outside the table";
  const VerifyResult result = CheckInsertion(state);
  EXPECT_TRUE(result.problems.empty()) << ToUtf8(VerifyReportText(state, result));
  EXPECT_EQ(result.pointersChecked, 3u);

  // The viewer's jump reads an offset too.
  ViewerModel view;
  FollowPointer(state, view, u"32772");
  EXPECT_EQ(view.ViewTop, 0x1010B);
}

TEST_F(OffsetPointers, InPlaceFieldsArePaddedAndTooLongOnesAreNamed) {
  Use(u"OFFSET,2,&h10000");
  state.insertOptions.InPlace = true;
  state.insertOptions.PadByte = 0xFF;
  PutText(0x10000, "A long line");  // 12 bytes with its end
  PutBytes(state, 0x8000, {0x00, 0x00});
  PutText(0x3000, "Sword  ");  // 8-byte fields, no pointer
  PutText(0x3008, "Shield ");
  DialogRecord& line = AddDialog(state, u"line", u"Short<$END>");
  line.ExtractedFromAddr = u"10000";
  line.OldDlgSize = u"12";
  line.PtrsAddrZones = u"32768:32769";
  DialogRecord& sword = AddDialog(state, u"sword", u"Blade<$END>");
  sword.ExtractedFromAddr = u"3000";
  sword.OldDlgSize = u"8";
  sword.DoPointerChange = u"N";
  DialogRecord& shield = AddDialog(state, u"shield", u"Big shield<$END>");
  shield.ExtractedFromAddr = u"3008";
  shield.OldDlgSize = u"8";
  shield.DoPointerChange = u"N";
  state.insertion.FreeSpaceStartAddr = 0x10100;
  state.insertion.FreeSpaceEndAddr = 0x10200;
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"10000");
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, Dialog(state, 0).OldPtrHEX);
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x10100) << "no free space taken";
  EXPECT_EQ(ColourOf(state, u"Dialog ID=shield: перевод (11 байт) длиннее поля (8 байт), в поле не вставлен"),
            kColourBrightRed);
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x10000, 12), (Bytes8{'S', 'h', 'o', 'r', 't', 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(RomAt(state, 0x8000, 2), (Bytes8{0x00, 0x00})) << "its pointer stays";
  EXPECT_EQ(RomAt(state, 0x3000, 8), (Bytes8{'B', 'l', 'a', 'd', 'e', 0, 0xFF, 0xFF}));
  EXPECT_EQ(RomAt(state, 0x3008, 8), (Bytes8{'S', 'h', 'i', 'e', 'l', 'd', ' ', 0})) << "too long: not written";

  VerifyResult result = CheckInsertion(state);
  ASSERT_EQ(result.problems.size(), 1u) << ToUtf8(VerifyReportText(state, result));
  EXPECT_EQ(result.problems[0].kind, VerifyProblemKind::FieldTooLong);
  EXPECT_EQ(result.dialogsChecked, 3u);
  // Padding that something overwrote later is found.
  state.rom.bytes[0x10008] = 0x41;
  result = CheckInsertion(state);
  EXPECT_EQ(result.Count(VerifyProblemKind::TextBytes), 1u);
}

TEST_F(OffsetPointers, ATableCountPastTheRomIsReadToTheRomsEndAndNamed) {
  Use(u"OFFSET,2,&h10000");
  // A count typed far too large reads what the ROM holds, with no room reserved for the rest.
  ASSERT_TRUE(DeclarePointerTable(state, 0x1FFF0, 0x7FFFFFFF, 2, dir.File("table.txt")));
  EXPECT_EQ(CountLinesStartingWith(state, u"Таблица выходит за конец ROM'а: не прочитано записей 2147483639"), 1);
  EXPECT_NE(dir.ReadText("table.txt").find(u"Всего найдено поинтеров  8"), std::u16string::npos);
}

TEST_F(OffsetPointers, FieldsAndTextsWithoutAKnownPlaceAreNamed) {
  Use(u"OFFSET,2,&h10000");
  state.insertOptions.InPlace = true;
  DialogRecord& noAddress = AddDialog(state, u"no address", u"Blade<$END>");
  noAddress.OldDlgSize = u"8";
  noAddress.DoPointerChange = u"N";
  DialogRecord& noSize = AddDialog(state, u"no size", u"Shield<$END>");
  noSize.ExtractedFromAddr = u"3008";
  noSize.DoPointerChange = u"N";
  // An address that is none is not read as 0, the ROM's header.
  DialogRecord& notAnAddress = AddDialog(state, u"not an address", u"Bow<$END>");
  notAnAddress.ExtractedFromAddr = u"n/a";
  notAnAddress.OldDlgSize = u"8";
  notAnAddress.DoPointerChange = u"N";
  state.insertion.FreeSpaceStartAddr = 0x10100;
  state.insertion.FreeSpaceEndAddr = 0x10200;
  // A text dumped without its length moves to free space, and the option says why.
  AddDialog(state, u"line", u"Hi<$END>").ExtractedFromAddr = u"10000";
  CalcNewAddresses(state);
  EXPECT_EQ(CountLinesStartingWith(state,
                                   u"Место оригинала не известно (нет ExtractedFromAddr или OldDlgSize) у "
                                   u"диалогов: 1"),
            1);
  EXPECT_EQ(Dialog(state, 3).NewDlgAddr, u"10100");
  // No free space taken for a text that no pointer would lead to, and the field stays a field.
  const std::int32_t after = state.insertion.FreeSpaceStartAddr;
  EXPECT_EQ(after, 0x10100 + 3 + state.insertion.DialogsAutoGapBytes);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Dialog(state, i).NewDlgAddr.empty()) << i;
    EXPECT_EQ(Dialog(state, i).DoPointerChange, u"N") << i;
  }
  EXPECT_EQ(ColourOf(state,
                     u"Dialog ID=no size: место поля не известно (ExtractedFromAddr '3008', OldDlgSize ''), в поле не "
                     u"вставлен"),
            kColourBrightRed);
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, static_cast<std::size_t>(after), 8), Bytes8(8, 0x00));
  EXPECT_EQ(RomAt(state, 0, 8), Bytes8(8, 0x00));
  const VerifyResult result = CheckInsertion(state);
  EXPECT_EQ(result.Count(VerifyProblemKind::FieldWithoutPlace), 3u) << ToUtf8(VerifyReportText(state, result));
}

TEST_F(OffsetPointers, AnOriginalsPlacePastTheRomsEndIsNoPlace) {
  Use(u"OFFSET,2,&h10000");
  state.insertOptions.InPlace = true;
  PutText(0x1FFFC, "End");
  PutBytes(state, 0x8000, {0xFC, 0xFF});
  DialogRecord& line = AddDialog(state, u"line", u"Fin<$END>");  // fits its 16 bytes, which the ROM has not
  line.ExtractedFromAddr = u"1FFFC";
  line.OldDlgSize = u"16";
  line.PtrsAddrZones = u"32768:32769";
  DialogRecord& field = AddDialog(state, u"field", u"Axe<$END>");
  field.ExtractedFromAddr = u"1FFF8";
  field.OldDlgSize = u"16";
  field.DoPointerChange = u"N";
  state.insertion.FreeSpaceStartAddr = 0x10100;
  state.insertion.FreeSpaceEndAddr = 0x10200;
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"10100") << "to free space, not counted as in place";
  EXPECT_TRUE(Dialog(state, 1).NewDlgAddr.empty());
  EXPECT_EQ(ColourOf(state,
                     u"Dialog ID=field: место оригинала (1FFF8, 16 байт) выходит за конец ROM'а (131072 байт), в поле "
                     u"не вставлен"),
            kColourBrightRed);
  EXPECT_EQ(CountLinesStartingWith(state, u"На место оригинала легли диалогов: 0"), 1);
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x8000, 2), (Bytes8{0x00, 0x01}));
  EXPECT_EQ(RomAt(state, 0x1FFF8, 4), Bytes8(4, 0x00)) << "the field is not written";
  // The moved line checks clean; the field unwritten is found.
  const VerifyResult result = CheckInsertion(state);
  ASSERT_FALSE(result.problems.empty());
  for (const VerifyProblem& p : result.problems) EXPECT_EQ(p.dialog, 1) << ToUtf8(VerifyReportText(state, result));
}
