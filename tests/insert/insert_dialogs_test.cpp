#include <gtest/gtest.h>

#include <regex>

#include "app/app.h"
#include "insert/insert_dialogs.h"
#include "tests/insert/insert_test_support.h"

using namespace vorkat;
using namespace vorkat::testing;
using namespace vorkat::insert_testing;

namespace {

const std::u16string kOverwrite = u"Вставка данных, только что перезаписала что-то полезное (не 0x00 и не 0xFF)";

struct InsertDialogsTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  InsertDialogsTest() {
    PutRom(state, 0x1000);
    PutAsciiTable(state);
    state.ctx.settings.ExtendedLogs = u"NO";
    state.dialogs.isLoaded = true;
    state.dialogs.fileName = dir.File("script.txt");
  }

  DialogRecord& Placed(std::u16string id, std::u16string text, std::u16string addr) {
    DialogRecord& d = AddDialog(state, std::move(id), std::move(text));
    d.NewDlgAddr = std::move(addr);
    return d;
  }
};

std::vector<std::uint8_t> Ascii(std::string_view s) { return {s.begin(), s.end()}; }

}  // namespace

TEST_F(InsertDialogsTest, PreconditionsStopTheRun) {
  state.rom.isLoaded = false;
  InsertDialogs(state);
  state.rom.isLoaded = true;
  state.table.isLoaded = false;
  InsertDialogs(state);
  state.table.isLoaded = true;
  state.dialogs.isLoaded = false;
  InsertDialogs(state);
  state.dialogs.isLoaded = true;
  InsertDialogs(state);
  EXPECT_EQ(
      SplitCrLf(state.ctx.log.text),
      (std::vector<std::u16string>{
          u"ROM еще не загружен", u"Таблица еще не загружена", u"Диалоги еще не загружены",
          u"Возможно в ini файле указаны другие разделители для диалогов... операция вставки диалогов отменена"}));
  EXPECT_TRUE(host.progressCalls.empty());
}

TEST_F(InsertDialogsTest, WritesTheEncodedTextAndRewritesItsPointers) {
  PutBytes(state, 0x10, {0x00, 0x08, 0x00, 0x08});  // a pointer to 0x800
  DialogRecord& d = Placed(u"1", u"Hi!<$END>", u"200");
  d.OldPtrHEX = u"00080008";
  d.NewPtrHEX = u"00020008";
  d.DoPointerChange = u"Y";
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x200, 5), (std::vector<std::uint8_t>{'H', 'i', '!', 0x00, 0x00}));
  EXPECT_EQ(RomAt(state, 0x10, 4), (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x08}));
  EXPECT_EQ(SplitCrLf(state.ctx.log.text),
            (std::vector<std::u16string>{u"Формат указателей: GBA", u"закончили вставлять текст диалогов в РОМ"}));
  ASSERT_FALSE(host.progressCalls.empty());
  EXPECT_EQ(host.progressCalls.front().minimum, 0);
  EXPECT_EQ(host.progressCalls.front().maximum, 1) << "one dialog: last index 0 shows as 1";
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(InsertDialogsTest, ADialogWithoutAnAddressIsReportedAndSkipped) {
  Placed(u"5", u"abc", u"");
  Placed(u"6", u"xyz", u"300");
  InsertDialogs(state);
  EXPECT_EQ(CountLines(state, u"не указано смещение куда вставлять текст... Dialog ID=5, пропустим."), 1);
  EXPECT_EQ(RomAt(state, 0x300, 3), Ascii("xyz"));
  EXPECT_EQ(std::count(state.rom.bytes.begin(), state.rom.bytes.end(), 'a'), 0);
}

TEST_F(InsertDialogsTest, EachZoneOfTheDialogGetsItsOwnPointerPass) {
  for (std::size_t at : {50, 150, 0x400}) PutBytes(state, at, {0x00, 0x08, 0x00, 0x08});
  DialogRecord& d = Placed(u"1", u"a", u"200");
  d.OldPtrHEX = u"00080008";
  d.NewPtrHEX = u"00020008";
  d.DoPointerChange = u"y";
  d.PtrsAddrZones = u"100:200;&h300";
  InsertDialogs(state);
  EXPECT_EQ(CountLines(state, u"Зона поиска/замены указателей от 100 до 200"), 1);
  EXPECT_EQ(CountLines(state, u"Зона поиска/замены указателей от 768 до 4096"), 1);
  EXPECT_EQ(RomAt(state, 50, 4), (std::vector<std::uint8_t>{0x00, 0x08, 0x00, 0x08}));
  EXPECT_EQ(RomAt(state, 150, 4), (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x08}));
  EXPECT_EQ(RomAt(state, 0x400, 4), (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x08}));

  // A final ";" leaves an empty piece: the whole ROM.
  ClearLog(state);
  Dialog(state, 0).PtrsAddrZones = u"100:200;";
  InsertDialogs(state);
  EXPECT_EQ(CountLines(state, u"Зона поиска/замены указателей от 0 до 4096"), 1);
}

TEST_F(InsertDialogsTest, OverwriteWarningOnlyWhileItIsNotTheLatestLine) {
  Placed(u"1", u"0123456789", u"100");
  InsertDialogs(state);
  EXPECT_EQ(CountLines(state, kOverwrite), 0) << "0x00 bytes are free space";

  ClearLog(state);
  for (std::size_t i = 0x200; i < 0x210; ++i) state.rom.bytes[i] = 0x41;
  Placed(u"2", u"0123456789", u"200");
  Dialog(state, 0).NewDlgAddr.clear();
  InsertDialogs(state);
  EXPECT_EQ(CountLines(state, kOverwrite), 1);
  EXPECT_EQ(ColourOf(state, kOverwrite), kColourDarkRed);
  EXPECT_EQ(RomAt(state, 0x200, 10), Ascii("0123456789"));
}

TEST_F(InsertDialogsTest, ADialogPastTheRomEndChangesNeitherPointersNorTextAndSkipsAreSummedUp) {
  PutBytes(state, 0x10, {0x00, 0x08, 0x00, 0x08});  // a pointer to 0x800
  PutBytes(state, 0xFFD, {0x41, 0x42, 0x43});
  DialogRecord& d = Placed(u"9", u"abcdef", u"FFD");
  d.OldPtrHEX = u"00080008";
  d.NewPtrHEX = u"FD0F0008";
  d.DoPointerChange = u"Y";
  Placed(u"10", u"", u"1000");  // even no bytes at all may not point past the end
  Placed(u"11", u"abc", u"");
  Placed(u"12", u"xyz", u"FFD");
  InsertDialogs(state);

  EXPECT_EQ(RomAt(state, 0x10, 4), (std::vector<std::uint8_t>{0x00, 0x08, 0x00, 0x08}));
  EXPECT_EQ(RomAt(state, 0xFFD, 3), Ascii("xyz")) << "the dialog that fits is written";
  EXPECT_EQ(state.rom.bytes.size(), 0x1000u);
  EXPECT_EQ(ColourOf(state,
                     u"Dialog ID=9: текст (6 байт) по адресу FFD не помещается в ROM (4096 байт), ни указатели, "
                     u"ни текст этого диалога не изменены"),
            kColourBrightRed);
  EXPECT_EQ(CountLinesStartingWith(state, u"Dialog ID=10: текст (0 байт) по адресу 1000 не помещается"), 1);
  EXPECT_EQ(ColourOf(state, u"Пропущено диалогов: 3 (без смещения для вставки: 1, не помещаются в ROM: 2)"),
            kColourDarkRed);
}

TEST_F(InsertDialogsTest, RepeatedReportsOfOneRunStopAfterAHundred) {
  for (int i = 0; i < 130; ++i) Placed(DecText(i), u"a", u"");
  for (int i = 0; i < 120; ++i) {
    DialogRecord& d = Placed(u"p" + DecText(i), u"b", DecText(0x100 + i));
    d.OldPtrHEX = u"00090008";  // found nowhere: a count of 0 each time
    d.NewPtrHEX = u"00010008";
    d.DoPointerChange = u"Y";
  }
  InsertDialogs(state);
  EXPECT_EQ(CountLinesStartingWith(state, u"не указано смещение куда вставлять текст"), 100);
  EXPECT_EQ(CountLinesStartingWith(state, u"DialogID=p"), 100);
  EXPECT_EQ(CountLines(state,
                       u"Сообщения о диалогах без смещения для вставки: ещё 30 таких сообщений не показано "
                       u"(показаны первые 100)"),
            1);
  EXPECT_EQ(CountLinesStartingWith(state, u"Сообщения о числе замен указателей, отличном от 1: ещё 20 "), 1);
  EXPECT_EQ(CountLines(state, u"Пропущено диалогов: 130 (без смещения для вставки: 130, не помещаются в ROM: 0)"), 1);
}

TEST_F(InsertDialogsTest, StopButtonEndsTheRunAfterTheCurrentDialog) {
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  Placed(u"1", u"aaa", u"100");
  Placed(u"2", u"bbb", u"200");
  host.onProcessEvents = [&] { state.ctx.CancelRequested = true; };
  InsertDialogs(state);
  EXPECT_EQ(RomAt(state, 0x100, 3), Ascii("aaa"));
  EXPECT_EQ(RomAt(state, 0x200, 3), (std::vector<std::uint8_t>{0, 0, 0}));
  const auto lines = SplitCrLf(state.ctx.log.text);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], u"Процесс вставления текста диалогов прерван пользователем");
  EXPECT_EQ(lines.back(), u"остановились на диалоге с ID=1");
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(InsertDialogsTest, InsertionLogFileIsAppendedWithADatedHeader) {
  state.insertOptions.CreateInsertionLogs = true;
  DialogRecord& d = Placed(u"1", u"a", u"200");
  d.OldPtrHEX = u"00080008";
  d.NewPtrHEX = u"00020008";
  d.DoPointerChange = u"Y";
  PutBytes(state, 0x40, {0x00, 0x08, 0x00, 0x08});
  InsertDialogs(state);
  InsertDialogs(state);  // a second run appends

  const auto lines = SplitCrLf(dir.ReadText("script.log"));
  ASSERT_EQ(lines.size(), 8u);
  const std::wregex header(L"---------------Вставка диалогов от \\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d");
  for (std::size_t at : {0, 4})
    EXPECT_TRUE(std::regex_match(std::wstring(lines[at].begin(), lines[at].end()), header)) << ToUtf8(lines[at]);
  EXPECT_EQ(lines[1], u"----- Файл с адресами 'правильных' поинтеров  уже загружен");
  EXPECT_EQ(lines[2], u"----- DialogID=1-----ищем поинтер=00080008 будем менять его на 00020008 -----");
  EXPECT_EQ(lines[3], u"64");
  // The second run finds nothing to rewrite: the first one changed the pointer.
  EXPECT_EQ(lines[6], u"----- DialogID=1-----ищем поинтер=00080008 будем менять его на 00020008 -----");
  EXPECT_EQ(lines[7], u"");
}

TEST(InsertionLogName, CutsTheFileNameAfterItsFirstPoint) {
  ScriptedHost host;
  AppState state(host);
  EXPECT_EQ(InsertionLogName(state), u"");
  state.dialogs.fileName = u"script.txt";
  EXPECT_EQ(InsertionLogName(state), u"script.log");
  state.dialogs.fileName = u"my.script.txt ";
  EXPECT_EQ(InsertionLogName(state), u"my.log");
  state.dialogs.fileName = u"script";
  EXPECT_EQ(InsertionLogName(state), u"scriptlog");
  state.dialogs.fileName = u"/home/user/game.v2/script.txt";
  EXPECT_EQ(InsertionLogName(state), u"/home/user/game.v2/script.log");
  state.dialogs.fileName = u"C:\\work.d\\script";
  EXPECT_EQ(InsertionLogName(state), u"C:\\work.d\\scriptlog");
}

TEST(InsertDataBlock, WritesCharactersOrTheirEncodingAndReportsTheBytes) {
  ScriptedHost host;
  AppState state(host);
  PutRom(state, 16);
  std::u16string data = u"AБ";
  std::int32_t offset = -5;
  InsertDataBlock(state, data, offset, false);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(RomAt(state, 0, 3), (std::vector<std::uint8_t>{0x41, 0xC1, 0x00}));
  EXPECT_EQ(state.ctx.log.text, u"Вставляем в ROM по адресу 0, следующий блок данных:\r\n<$41><$C1>");

  // With the table the caller's text becomes the encoding, one character per byte.
  PutAsciiTable(state);
  ClearLog(state);
  data = u"Hi<$END><$8A>";
  offset = 14;
  InsertDataBlock(state, data, offset, true);
  EXPECT_EQ(data, FromCp1251(std::string_view("Hi\0\x8A", 4)));
  EXPECT_EQ(RomAt(state, 14, 2), Ascii("Hi"));
  const auto lines = LogLines(state);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, u"<$48><$69>");
  EXPECT_EQ(lines[2].text, u"за концом ROM'а оказались 2 байт, они не вставлены");

  // With the table asked for but none loaded, nothing happens.
  state.table.isLoaded = false;
  ClearLog(state);
  data = u"xyz";
  InsertDataBlock(state, data, offset, true);
  EXPECT_EQ(data, u"xyz");
  EXPECT_EQ(state.ctx.log.lineCount, 0u);

  // Undo takes the writes back newest first, the part past the end included.
  ASSERT_TRUE(UndoRomEdit(state));
  EXPECT_EQ(RomAt(state, 14, 2), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(RomAt(state, 0, 2), (std::vector<std::uint8_t>{0x41, 0xC1}));
  ASSERT_TRUE(UndoRomEdit(state));
  EXPECT_EQ(RomAt(state, 0, 2), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_FALSE(UndoRomEdit(state));

  // Bytes another operation wrote over since are not overwritten by an undo.
  data = u"AB";
  offset = 4;
  InsertDataBlock(state, data, offset, false);
  state.rom.bytes[5] = 0x77;
  EXPECT_FALSE(UndoRomEdit(state));
  EXPECT_EQ(RomAt(state, 4, 2), (std::vector<std::uint8_t>{0x41, 0x77}));
}
