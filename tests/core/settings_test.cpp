#include <gtest/gtest.h>

#include "app/app.h"
#include "tests/support/scripted_host.h"
#include "core/settings.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

struct SettingsFixture : ::testing::Test {
  TempDir dir;
  ScriptedHost host;
  AppState state{host};

  void Load(std::u16string_view fileText, bool unicode = false) {
    if (!fileText.empty() || unicode) dir.WriteText("vorkat2.ini", fileText, unicode);
    state.ctx.settings.iniPath = dir.File("vorkat2.ini");
    LoadSettings(state);
  }
};

}  // namespace

TEST_F(SettingsFixture, AbsentFileGivesDefaultsAndIsWrittenOnlyAtExit) {
  Load(u"");
  const Settings& s = state.ctx.settings;
  EXPECT_FALSE(dir.Exists("vorkat2.ini"));
  EXPECT_EQ(s.ExtendedLogs, u"YES");
  EXPECT_EQ(s.WriteTextInUnicode, u"NO");
  EXPECT_EQ(s.CorrectDlgTwoCaps, u"NO");
  EXPECT_EQ(s.CorrectDlgNumStart, u"NO");
  EXPECT_EQ(s.DialogDelimiterStr, u"\r\n§\r\n");
  EXPECT_EQ(s.DialogAttrSeparator, u",");
  EXPECT_EQ(s.DialogAttrDelimStr, u"\r\n¶\r\n");
  EXPECT_EQ(s.TrDialogFileFormat, kDefaultDialogFileFormat);
  EXPECT_EQ(s.NumberOfTextChars, 2);
  EXPECT_EQ(s.StartExtrFromAddr, 0);
  EXPECT_EQ(s.EndExtrFromAddr, 0);
  EXPECT_FALSE(s.iniWasUnicode);
  // The exit makes the folder too (the first run's ~/.config/vorkat).
  state.ctx.settings.iniPath = dir.File("config/vorkat/vorkat2.ini");
  ASSERT_TRUE(SaveSettings(state));
  EXPECT_TRUE(dir.Exists("config/vorkat/vorkat2.ini"));
}

TEST_F(SettingsFixture, SavedFileHasTheExactLayout) {
  Load(u"");
  state.ctx.settings.InputRomFileName = u"/roms/my game.gba";
  state.ctx.settings.StartExtrFromAddr = -5;
  ASSERT_TRUE(SaveSettings(state));
  auto lines = SplitCrLf(dir.ReadText("vorkat2.ini"));
  ASSERT_EQ(lines.size(), 29u);  // 10 header lines, 18 keys, and the empty rest after the last CR LF
  EXPECT_EQ(lines[0], u"Это файл параметров для программы Vorkat v.2.x");
  EXPECT_EQ(lines[6], u"");
  EXPECT_EQ(lines[9], u"");
  EXPECT_EQ(lines[10], u"InputRomFileName=/roms/my<$SPACE>game.gba 'имя и путь к входному рому");
  EXPECT_EQ(lines[13], u"NumberOfTextChars=2 'число 'печатных' символов подряд при сканировании ROM'a считать текстом");
  EXPECT_EQ(lines[16],
            u"DialogDelimiterStr=<$VBCRLF>§<$VBCRLF> 'строка символов для разделения диалогов в вынутом тексте");
  EXPECT_EQ(lines[17], u"DialogAttrSeparator=, 'строка символов - разделитель атрибутов диалога МЕЖДУ СОБОЙ");
  EXPECT_EQ(lines[18].substr(0, 38), u"DialogAttrDelimStr=<$VBCRLF>¶<$VBCRLF>");
  EXPECT_EQ(lines[22], u"StartExtrFromAddr=-5 'адрес начала откуда мы в прошлый раз начинали вынимать текст");
  // The pointer format comes after the older keys, which keep their places.
  EXPECT_EQ(lines[27], u"PointerFormat=GBA 'формат указателей: GBA, GB16, GB24, GB24R или OFFSET,ширина,база[,BE]");
  EXPECT_EQ(lines[28], u"");
  // The file is Windows-1251: "Э" is one byte 0xDD.
  EXPECT_EQ(dir.Read("vorkat2.ini")[0], 0xDD);
}

TEST_F(SettingsFixture, RoundTripKeepsPathsWithSpacesAndValues) {
  Load(u"");
  state.ctx.settings.InputRomFileName = u"/home/u/Мои игры/a b.gba";
  state.ctx.settings.TableFileName = u"/t/x.tbl";
  state.ctx.settings.NumberOfTextChars = 5;
  state.ctx.settings.WriteTextInUnicode = u"YES";
  state.ctx.settings.DialogAttrSeparator = u"|";
  state.ctx.settings.TrDialogFileFormat = u"dlgID,ExtractedFromAddr,PtrsAddrZones,dlgComments,dlgText";
  state.ctx.settings.EndExtrFromAddr = 123456;
  state.ctx.settings.PtrFormat = PointerFormat::GB24R;
  ASSERT_TRUE(SaveSettings(state));
  ScriptedHost host2;
  AppState again(host2);
  again.ctx.settings.iniPath = state.ctx.settings.iniPath;
  LoadSettings(again);
  EXPECT_EQ(again.ctx.settings.InputRomFileName, state.ctx.settings.InputRomFileName);
  EXPECT_EQ(again.ctx.settings.TableFileName, u"/t/x.tbl");
  EXPECT_EQ(again.ctx.settings.NumberOfTextChars, 5);
  EXPECT_EQ(again.ctx.settings.WriteTextInUnicode, u"YES");
  EXPECT_EQ(again.ctx.settings.DialogAttrSeparator, u"|");
  EXPECT_EQ(again.ctx.settings.TrDialogFileFormat, state.ctx.settings.TrDialogFileFormat);
  EXPECT_EQ(again.ctx.settings.EndExtrFromAddr, 123456);
  EXPECT_EQ(again.ctx.settings.PtrFormat, PointerFormat::GB24R);
}

TEST_F(SettingsFixture, NumberOfTextCharsHasAFloorOfTwo) {
  for (auto [text, expected] : {std::pair{u"5", 5},
                                {u"1", 2},
                                {u"0", 2},
                                {u"-7", 2},
                                {u"x", 2},
                                {u"3.5", 3},
                                {u"4.5", 5},
                                {u"9e99", 2147483647}}) {
    Load(u"NumberOfTextChars=" + std::u16string(text) + u" 'c\r\n");
    EXPECT_EQ(state.ctx.settings.NumberOfTextChars, expected) << ToUtf8(text);
  }
}

TEST_F(SettingsFixture, PointerFormatReadsInAnyCaseAndFallsBackToGba) {
  Load(u"PointerFormat=gb16 'f\r\n");
  EXPECT_EQ(state.ctx.settings.PtrFormat, PointerFormat::GB16);
  Load(u"PointerFormat=OFFSET,2,&h10000,BE 'f\r\n");
  EXPECT_EQ(state.ctx.settings.PtrFormat, PointerFormat::Offset(2, 0x10000, true));
  EXPECT_EQ(state.ctx.log.text.find(u"не распознан"), std::u16string::npos);
  // A value the program cannot read is named, not replaced silently at the exit.
  for (const char16_t* wrong : {u"GB32", u"OFFSET,5,0", u"OFFSET,2,-16"}) {
    const std::size_t logged = state.ctx.log.text.size();
    Load(u"PointerFormat=" + std::u16string(wrong) + u" 'f\r\n");
    EXPECT_EQ(state.ctx.settings.PtrFormat, PointerFormat::GBA);
    EXPECT_NE(state.ctx.log.text.find(u"Формат указателей '" + std::u16string(wrong) + u"' в файле настроек", logged),
              std::u16string::npos)
        << ToUtf8(state.ctx.log.text);
  }
}

TEST_F(SettingsFixture, FlagsReadInAnyCaseWithTheirDefaults) {
  Load(u"ExtendedLogs=no 'a\r\nWriteTextInUnicode=yes 'b\r\nCorrectDlgTwoCaps=maybe 'c\r\n");
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"NO");
  EXPECT_EQ(state.ctx.settings.WriteTextInUnicode, u"YES");
  EXPECT_EQ(state.ctx.settings.CorrectDlgTwoCaps, u"NO");
  Load(u"ExtendedLogs=nope 'a\r\n");
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"YES");
}

TEST_F(SettingsFixture, AttributeListWithoutCommentAndTextPairIsReplaced) {
  Load(u"TrDialogFileFormat=dlgID,dlgText 'x\r\n");
  EXPECT_EQ(state.ctx.settings.TrDialogFileFormat, kDefaultDialogFileFormat);
}

TEST_F(SettingsFixture, DelimitersAreUpperCased) {
  Load(u"DialogAttrSeparator=;x 'x\r\nDialogDelimiterStr=<$VBCRLF>end<$VBCRLF> 'y\r\n");
  EXPECT_EQ(state.ctx.settings.DialogAttrSeparator, u";X");
  EXPECT_EQ(state.ctx.settings.DialogDelimiterStr, u"\r\nEND\r\n");
}

TEST_F(SettingsFixture, LookupRules) {
  // A last line without comment and without a line break reads empty.
  Load(u"ExtendedLogs=NO 'c\r\nInputRomFileName=/x/rom.gba");
  EXPECT_EQ(state.ctx.settings.InputRomFileName, u"");
  // A key in another case is not found.
  Load(u"extendedlogs=NO 'c\r\n");
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"YES");
  // Without its own comment a value runs on to the next comment.
  EXPECT_EQ(GetIniValue(u"A=1\r\nB=2 'c\r\n", u"A="), u"1\r\nB=2");
  // The first occurrence wins, even inside another line.
  EXPECT_EQ(GetIniValue(u"X=Y=1 'a\r\nY=2 'b\r\n", u"Y="), u"1");
  EXPECT_EQ(GetIniValue(u"", u"A="), u"");
  EXPECT_EQ(GetIniValue(u"A=", u"A="), u"");
}

TEST_F(SettingsFixture, ExtractionAddressesReadHexUnsignedAndRoundToEven) {
  Load(u"StartExtrFromAddr=&H8000 'a\r\nEndExtrFromAddr=2.5 'b\r\n");
  EXPECT_EQ(state.ctx.settings.StartExtrFromAddr, 32768);
  EXPECT_EQ(state.ctx.settings.EndExtrFromAddr, 2);
}

TEST_F(SettingsFixture, UnicodeFileIsRewrittenAsUnicodeKeepingNamesOutsideAnsi) {
  Load(u"ExtendedLogs=NO 'a\r\nTableFileName=/t/\u8868.tbl 'b\r\n", true);
  EXPECT_TRUE(state.ctx.settings.iniWasUnicode);
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"NO");
  EXPECT_EQ(state.ctx.settings.TableFileName, u"/t/\u8868.tbl");
  ASSERT_TRUE(SaveSettings(state));
  EXPECT_TRUE(host.messages.empty());
  Bytes written = dir.Read("vorkat2.ini");
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written[0], 0xFF);
  EXPECT_EQ(written[1], 0xFE);

  AppState again(host);
  again.ctx.settings.iniPath = state.ctx.settings.iniPath;
  LoadSettings(again);
  EXPECT_EQ(again.ctx.settings.TableFileName, u"/t/\u8868.tbl");
}

TEST_F(SettingsFixture, FailedSaveKeepsTheOldFileAndSaysSo) {
  Load(u"ExtendedLogs=NO 'a\r\n");
  Bytes before = dir.Read("vorkat2.ini");
  state.ctx.writeFaults.failAfterBytes = 10;
  EXPECT_FALSE(SaveSettings(state));
  EXPECT_EQ(dir.Read("vorkat2.ini"), before);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(u"Не удалось сохранить настройки"), std::u16string::npos);
}

TEST_F(SettingsFixture, UnchangedFileIsNotWrittenAgain) {
  Load(u"");
  ASSERT_TRUE(SaveSettings(state));
  const Bytes saved = dir.Read("vorkat2.ini");
  // Any write would fail now: the same settings need none, changed ones do.
  state.ctx.writeFaults.failAt = WriteStep::CreateTemp;
  EXPECT_TRUE(SaveSettings(state));
  EXPECT_TRUE(host.messages.empty());
  state.ctx.settings.InputRomFileName = u"/roms/other.gba";
  EXPECT_FALSE(SaveSettings(state));
  EXPECT_EQ(dir.Read("vorkat2.ini"), saved);
  ASSERT_EQ(host.messages.size(), 1u);
}

TEST(SettingsMarkup, ConvertsAndLeavesLoneBreaks) {
  const std::u16string t = TextToMarkupCopy(u"a b\r\nc\nd\r");
  EXPECT_EQ(t, u"a<$SPACE>b<$VBCRLF>c\nd\r");
  EXPECT_EQ(MarkupToTextCopy(t), u"a b\r\nc\nd\r");
  EXPECT_EQ(MarkupToTextCopy(u"<$space>"), u"<$space>");
}
