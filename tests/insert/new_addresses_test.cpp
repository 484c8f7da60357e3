#include <gtest/gtest.h>

#include "app/app.h"
#include "insert/new_addresses.h"
#include "tests/insert/insert_test_support.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

const std::u16string kShift = u"произведен сдвиг адреса для вставки, поскольку иначе мы накроем 'запретную' зону";

struct CalcNewAddressesTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  CalcNewAddressesTest() {
    PutAsciiTable(state);
    state.insertion.FreeSpaceStartAddr = 0x100;
    state.insertion.FreeSpaceEndAddr = 0x200;
  }

  void Zone(std::int32_t start, std::int32_t end) {
    auto& zones = state.insertion.IgnoreRomZones;
    if (zones.size() == 1 && zones[0].end == 0) zones.clear();
    zones.push_back({start, end});
  }
};

}  // namespace

TEST_F(CalcNewAddressesTest, AlignsAndLeavesTheGapBetweenDialogs) {
  state.insertion.AddressAlignBy = 4;
  AddDialog(state, u"1", u"Hello").ExtractedFromAddr = u"7A1C30";
  AddDialog(state, u"2", u"abc").ExtractedFromAddr = u" 1c30 ";
  CalcNewAddresses(state);

  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"100");
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, u"00010008");
  EXPECT_EQ(Dialog(state, 0).OldPtrHEX, u"301C7A08");
  EXPECT_EQ(Dialog(state, 0).DoPointerChange, u"Y");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"108");  // 0x106 aligned up
  EXPECT_EQ(Dialog(state, 1).OldPtrHEX, u"301C0008");
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x10C);
  // The empty slot after the last dialog is no dialog.
  EXPECT_EQ(Dialog(state, 2).NewDlgAddr, u"");
  EXPECT_EQ(Dialog(state, 2).OldPtrHEX, u"");

  const auto lines = SplitCrLf(state.ctx.log.text);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], u"Начинаем расчет новых адресов диалогов для вставки в ROM");
  EXPECT_EQ(lines[1], u"Формат указателей: GBA");
  EXPECT_EQ(lines[2], u"Диалогов, сохранивших адрес вставки из прежнего расчета: 0");
  EXPECT_EQ(lines[3], u"'пустое' место было задано в границах от адреса 256 до адреса 512,");
  EXPECT_EQ(lines[4], u"теперь адрес начала 'пустого' места подвинулся и равен 268");
  EXPECT_EQ(lines[5], u"Завершен процесс расчета новых адресов (для вставки) для диалогов в ROM");
}

TEST_F(CalcNewAddressesTest, MovesPastAZoneTheDialogWouldStartInOrEndAt) {
  Zone(0x100, 0x10F);
  AddDialog(state, u"1", u"Hello");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"110");
  EXPECT_EQ(CountLines(state, kShift), 1);
  EXPECT_EQ(ColourOf(state, kShift), kColourDarkRed);

  // One past the last byte lands in the zone: moved as well.
  state.insertion.FreeSpaceStartAddr = 0x100;
  state.insertion.IgnoreRomZones = {{0x105, 0x10F}};
  Dialog(state, 0).NewDlgAddr.clear();
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"110");
}

TEST_F(CalcNewAddressesTest, ADialogSpanningAZoneIsMovedPastIt) {
  Zone(0x102, 0x103);
  AddDialog(state, u"1", u"12345678");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"104");
}

TEST_F(CalcNewAddressesTest, AShiftForALaterZoneIsCheckedAgainstEarlierZones) {
  Zone(0x120, 0x12F);
  Zone(0x100, 0x11F);
  state.insertion.AddressAlignBy = 8;
  AddDialog(state, u"1", u"abcd");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"130");
  EXPECT_EQ(CountLines(state, kShift), 2);
}

TEST_F(CalcNewAddressesTest, ZonesEndingAtZeroAreNoZones) {
  state.insertion.IgnoreRomZones = {{0, 0}, {0x100, -1}};
  AddDialog(state, u"1", u"abc");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"100");
  EXPECT_EQ(CountLines(state, kShift), 0);
}

TEST_F(CalcNewAddressesTest, ATooLargeDialogIsSkippedAndASmallerOneStillFitsThenTheShortageIsSaidOnce) {
  state.insertion.FreeSpaceEndAddr = 0x108;
  AddDialog(state, u"1", u"0123456789");
  AddDialog(state, u"2", u"abc");
  AddDialog(state, u"3", u"0123456789");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"");
  EXPECT_EQ(Dialog(state, 0).DoPointerChange, u"");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"100");
  EXPECT_EQ(Dialog(state, 2).NewDlgAddr, u"");
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x104);
  const auto lines = LogLines(state);
  ASSERT_EQ(lines.size(), 7u) << "nothing is said of the dialogs one by one";
  EXPECT_EQ(lines.back().text, u"Не хватило свободного места: диалогов без нового адреса 2, первый из них Dialog ID=1");
  EXPECT_EQ(lines.back().colour, kColourBrightRed);
}

TEST_F(CalcNewAddressesTest, TheRomEndIsAnEndOfFreeSpace) {
  PutRom(state, 0x106);
  state.insertion.DialogsAutoGapBytes = 0;
  AddDialog(state, u"1", u"abcde");
  AddDialog(state, u"2", u"ab");
  AddDialog(state, u"3", u"a");
  AddDialog(state, u"4", u"");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 3).NewDlgAddr, u"") << "not even an empty dialog starts at the ROM's end";
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"100");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"") << "it would end one byte past the ROM";
  EXPECT_EQ(Dialog(state, 2).NewDlgAddr, u"105") << "its last byte is the ROM's last";
  EXPECT_EQ(ColourOf(state,
                     u"Конец 'пустого' места 512 лежит за концом ROM'а, диалоги кладем не дальше конца "
                     u"ROM'а 262"),
            kColourDarkRed);
}

TEST_F(CalcNewAddressesTest, NegativeGapAndAlignmentAreRefused) {
  state.insertion.AddressAlignBy = 4;
  EXPECT_FALSE(SetDialogsAutoGapBytes(state, -30));
  EXPECT_FALSE(SetAddressAlignBy(state, -2));
  EXPECT_EQ(state.insertion.DialogsAutoGapBytes, 1);
  EXPECT_EQ(state.insertion.AddressAlignBy, 4);
  EXPECT_EQ(ColourOf(state, u"DialogsAutoGapBytes не может быть отрицательным (-30), оставлено прежнее значение 1"),
            kColourDarkRed);
  EXPECT_TRUE(SetDialogsAutoGapBytes(state, 0));
  EXPECT_TRUE(SetAddressAlignBy(state, 3));
  EXPECT_EQ(state.insertion.DialogsAutoGapBytes, 0);
  EXPECT_EQ(state.insertion.AddressAlignBy, 3);
}

TEST_F(CalcNewAddressesTest, ADialogWithAnAddressKeepsItAndASecondRunContinues) {
  DialogRecord& preset = AddDialog(state, u"1", u"Hello");
  preset.NewDlgAddr = u" 3000 ";
  preset.OldPtrHEX = u"keep";
  AddDialog(state, u"2", u"abc");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u" 3000 ");
  EXPECT_EQ(Dialog(state, 0).OldPtrHEX, u"keep");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"100");

  AddDialog(state, u"3", u"xy");
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"100");
  EXPECT_EQ(Dialog(state, 2).NewDlgAddr, u"104");
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x107);
}

TEST_F(CalcNewAddressesTest, WithoutATableNothingChanges) {
  state.table.isLoaded = false;
  AddDialog(state, u"1", u"abc");
  CalcNewAddresses(state);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Таблица еще не загружена");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);
  EXPECT_EQ(SplitCrLf(state.ctx.log.text), std::vector<std::u16string>{u"Таблица еще не загружена"});
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"");
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x100);
}

// Pointers reach the whole 32 MiB cartridge: 09 pointers from 16 MiB on.
TEST_F(CalcNewAddressesTest, PointerFormsStopAt32MiB) {
  state.insertion.FreeSpaceStartAddr = 0x1FFFFFC;
  state.insertion.FreeSpaceEndAddr = 0x4000000;
  AddDialog(state, u"1", u"Hello").ExtractedFromAddr = u"2000000";
  AddDialog(state, u"2", u"Hello");  // no ExtractedFromAddr
  CalcNewAddresses(state);

  // Placed, but its old pointer cannot be formed: nothing will be searched.
  EXPECT_EQ(Dialog(state, 0).NewDlgAddr, u"1FFFFFC");
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, u"FCFFFF09");
  EXPECT_EQ(Dialog(state, 0).OldPtrHEX, u"");
  EXPECT_EQ(ColourOf(state,
                     u"Dialog ID=1: адрес 2000000 (откуда вынули) за пределами 32 Мб, старый указатель "
                     u"сформировать нельзя"),
            kColourDarkRed);
  // The next place, 0x1FFFFFC + 5 + 1 = 0x2000002, has no pointer form.
  EXPECT_EQ(Dialog(state, 1).OldPtrHEX, u"FFFFFF08");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"");
  EXPECT_EQ(ColourOf(state,
                     u"Dialog ID=2: новый адрес 2000002 вне досягаемости указателя GBA (0..1FFFFFF), диалог "
                     u"не размещен"),
            kColourBrightRed);
}

TEST_F(CalcNewAddressesTest, PlacesAcrossSixteenMiBWithBothPointerForms) {
  state.insertion.FreeSpaceStartAddr = 0xFFFFFC;
  state.insertion.FreeSpaceEndAddr = 0x2000000;
  AddDialog(state, u"1", u"Hi").ExtractedFromAddr = u"1000000";
  AddDialog(state, u"2", u"Hello").ExtractedFromAddr = u"FFFFFF";
  CalcNewAddresses(state);
  EXPECT_EQ(Dialog(state, 0).OldPtrHEX, u"00000009");
  EXPECT_EQ(Dialog(state, 0).NewPtrHEX, u"FCFFFF08");
  EXPECT_EQ(Dialog(state, 1).OldPtrHEX, u"FFFFFF08");
  EXPECT_EQ(Dialog(state, 1).NewDlgAddr, u"FFFFFF");
  EXPECT_EQ(Dialog(state, 1).NewPtrHEX, u"FFFFFF08");
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x1000005);
}

TEST(SuggestFreeSpaceStart, TakesTrailingPaddingOfEitherKindAsFree) {
  ScriptedHost host;
  AppState state(host);
  PutRom(state, 0x100, 0xFF);
  PutBytes(state, 0x40, {0x12, 0x00, 0x00});
  EXPECT_EQ(SuggestFreeSpaceStart(state.rom), 0x40 + 2 + 2) << "the 00 bytes are the last that are not FF";

  PutRom(state, 0x100, 0x00);
  PutBytes(state, 0x40, {0x12});
  EXPECT_EQ(SuggestFreeSpaceStart(state.rom), 0x42);

  PutRom(state, 0x100, 0x00);
  EXPECT_EQ(SuggestFreeSpaceStart(state.rom), 0x100);
  PutBytes(state, 0xFF, {0x12});
  EXPECT_EQ(SuggestFreeSpaceStart(state.rom), 0x100) << "not past the end of a ROM without padding";
}
