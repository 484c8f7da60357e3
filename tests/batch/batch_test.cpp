#include "batch/batch.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/commands.h"
#include "tests/support/batch_fixture.h"
#include "tests/support/scripted_host.h"
#include "app/state.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

struct BatchTest : vorkat::testing::BatchFixture {
  void SetUp() override {
    BatchFixture::SetUp();
    host.logLines.clear();
  }

  bool Run(std::u16string_view script) { return BatchFixture::Run(script).read; }

  bool Logged(std::u16string_view line) const {
    for (const auto& l : host.logLines)
      if (l == line) return true;
    return false;
  }
  bool LoggedPart(std::u16string_view part) const {
    for (const auto& l : host.logLines)
      if (l.find(part) != std::u16string::npos) return true;
    return false;
  }
};

TEST(BatchLine, CommandBeforeFirstEqualsArgumentAfterLast) {
  auto a = SplitBatchLine(u"loadrom = game.gba");
  EXPECT_EQ(a.command, u"LOADROM");
  EXPECT_EQ(a.argument, u"game.gba");
  auto b = SplitBatchLine(u"\tDoLog = a = b=\t c \t");
  EXPECT_EQ(b.command, u"DOLOG");
  EXPECT_EQ(b.argument, u"c");
  auto c = SplitBatchLine(u"  calcnewpointers ");
  EXPECT_EQ(c.command, u"CALCNEWPOINTERS");
  EXPECT_EQ(c.argument, u"calcnewpointers");
  auto d = SplitBatchLine(u"доЛог=x");
  EXPECT_EQ(d.command, u"ДОЛОГ") << "upper-casing covers Cyrillic";
}

TEST_F(BatchTest, LowerCaseCommandWithBlanksOpensTheRom) {
  dir.Write("game.gba", Bytes(16, 0x11));
  EXPECT_TRUE(Run(u"loadrom = " + F("game.gba") + u"\r\n"));
  EXPECT_TRUE(state.rom.isLoaded);
  EXPECT_EQ(state.rom.fileName, F("game.gba"));
  EXPECT_EQ(state.rom.size(), 16);
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(BatchTest, CommentsOnlyInTheFirstColumnAndBlankLinesSkipped) {
  EXPECT_TRUE(Run(u"' a note\r\n  ' a note\r\n\r\n \t \r\nDOLOG=done"));
  EXPECT_TRUE(Logged(u"Неизвестная инструкция  ' a note"));
  EXPECT_FALSE(Logged(u"Неизвестная инструкция' a note"));
  EXPECT_TRUE(Logged(u"done"));
  int unknown = 0;
  for (const auto& l : host.logLines) unknown += l.starts_with(u"Неизвестная инструкция");
  EXPECT_EQ(unknown, 1);
}

TEST_F(BatchTest, UnknownInstructionIsLoggedUntrimmedAndTheScriptGoesOn) {
  EXPECT_TRUE(Run(u"  Frobnicate = 5 \r\nDOLOG=after"));
  EXPECT_TRUE(Logged(u"Неизвестная инструкция  Frobnicate = 5 "));
  EXPECT_TRUE(Logged(u"after"));
  EXPECT_EQ(state.ctx.errorLinesLogged, 1u) << "an error of the run, for its exit status";
}

TEST_F(BatchTest, IgnoreRomZoneReplacesThePlaceholderThenAdds) {
  ASSERT_EQ(state.insertion.IgnoreRomZones.size(), 1u);
  Run(u"IGNOREROMZONE=&h100000,&h10FFFF\r\nIGNOREROMZONE = &h100000 , &h10FFFF\r\nIGNOREROMZONE=4096");
  const auto& zones = state.insertion.IgnoreRomZones;
  ASSERT_EQ(zones.size(), 3u);
  EXPECT_EQ(zones[0].start, 0x100000);
  EXPECT_EQ(zones[0].end, 0x10FFFF);
  EXPECT_EQ(zones[1].start, 0x100000);
  EXPECT_EQ(zones[2].start, 4096);
  EXPECT_EQ(zones[2].end, 4096);
  EXPECT_TRUE(Logged(u"Адрес игнорируемой зоны  1 в ROMe [начало]= 1048576 [hex]=100000"));
  EXPECT_TRUE(Logged(u"Адрес игнорируемой зоны  1 в ROMe [конец]= 1114111 [hex]=10FFFF"));
  EXPECT_TRUE(Logged(u"Адрес игнорируемой зоны  2 в ROMe [начало]= 1048576 [hex]=100000"));
  EXPECT_TRUE(Logged(u"Адрес игнорируемой зоны  3 в ROMe [конец]= 4096 [hex]=1000"));
}

TEST_F(BatchTest, ZoneEndingAtZeroIsReused) {
  Run(u"IGNOREROMZONE=10,0\r\nIGNOREROMZONE=20,30");
  const auto& zones = state.insertion.IgnoreRomZones;
  ASSERT_EQ(zones.size(), 1u);
  EXPECT_EQ(zones[0].start, 20);
  EXPECT_EQ(zones[0].end, 30);
}

TEST_F(BatchTest, FlagsAreOnAboveZeroUnrounded) {
  Run(u"CHECKBYMOD4=1");
  EXPECT_TRUE(state.insertion.CheckByMod4);
  Run(u"CHECKBYMOD4=0");
  EXPECT_FALSE(state.insertion.CheckByMod4);
  Run(u"CHECKBYMOD4=1\r\nCHECKBYMOD4=yes");
  EXPECT_FALSE(state.insertion.CheckByMod4) << "a word reads as 0";
  Run(u"CHECKBYMOD4=0.4");
  EXPECT_TRUE(state.insertion.CheckByMod4);
  Run(u"CHECKBYMOD4=-1");
  EXPECT_FALSE(state.insertion.CheckByMod4);
  Run(u"CHECKBYMOD4=&h1");
  EXPECT_TRUE(state.insertion.CheckByMod4);

  Run(u"SKIPUNKNOWNTRCHARS=0\r\nEXTENDEDLOGS=0\r\nCREATEINSERTIONLOGS=1");
  EXPECT_FALSE(state.codecOptions.SkipUnknownTRChars);
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"NO");
  EXPECT_TRUE(state.insertOptions.CreateInsertionLogs);
  Run(u"SKIPUNKNOWNTRCHARS=2\r\nEXTENDEDLOGS=1\r\nCREATEINSERTIONLOGS=no");
  EXPECT_TRUE(state.codecOptions.SkipUnknownTRChars);
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"YES");
  EXPECT_FALSE(state.insertOptions.CreateInsertionLogs);
}

TEST_F(BatchTest, NumbersAreRoundedHalfToEvenAndLogged) {
  Run(u"FREESPACESTARTADDR=&h8000\r\nFREESPACEENDADDR=2.5\r\nADDRESSALIGNBY=3.5\r\nDIALOGSAUTOGAPBYTES=3.5");
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x8000);
  EXPECT_EQ(state.insertion.FreeSpaceEndAddr, 2);
  EXPECT_EQ(state.insertion.AddressAlignBy, 4);
  EXPECT_EQ(state.insertion.DialogsAutoGapBytes, 4);
  EXPECT_TRUE(Logged(u"Установка параметра FreeSpaceStartAddr= 32768"));
  EXPECT_TRUE(Logged(u"Установка параметра FreeSpaceEndAddr= 2"));
  EXPECT_TRUE(Logged(u"Установка параметра AddressAlignBy= 4"));
}

TEST_F(BatchTest, NegativeGapOrAlignmentIsRefusedAndTheOldValueKept) {
  Run(u"ADDRESSALIGNBY=-3.5\r\nDIALOGSAUTOGAPBYTES=-30");
  EXPECT_EQ(state.insertion.AddressAlignBy, 0);
  EXPECT_EQ(state.insertion.DialogsAutoGapBytes, 1);
  EXPECT_TRUE(Logged(u"AddressAlignBy не может быть отрицательным (-4), оставлено прежнее значение 0"));
  EXPECT_TRUE(Logged(u"DialogsAutoGapBytes не может быть отрицательным (-30), оставлено прежнее значение 1"));
  EXPECT_FALSE(Logged(u"Установка параметра AddressAlignBy"));
}

TEST_F(BatchTest, StopEndsTheScript) {
  EXPECT_TRUE(Run(u"DOLOG=one\r\nstop\r\nDOLOG=two"));
  EXPECT_TRUE(Logged(u"one"));
  EXPECT_TRUE(Logged(u"Остановка пакетной работы, по требованию пассажиров."));
  EXPECT_FALSE(Logged(u"two"));
}

TEST_F(BatchTest, BareLfScriptIsOneLine) {
  dir.Write("lf.txt", EncodeTextFile(u"DOLOG=first\nDOLOG=second\n", false));
  EXPECT_TRUE(RunBatch(state, F("lf.txt")).read);
  EXPECT_TRUE(Logged(u"second\n")) << "command before the first '=', argument after the last";
  EXPECT_FALSE(Logged(u"first"));
  EXPECT_TRUE(LoggedPart(u"строки разделены LF"));
}

TEST_F(BatchTest, UnicodeScriptIsReadToo) {
  dir.WriteText("u.txt", u"DOLOG=Привет あ\r\n", true);
  EXPECT_TRUE(RunBatch(state, F("u.txt")).read);
  EXPECT_TRUE(Logged(u"Привет あ"));
}

TEST_F(BatchTest, MissingOrEmptyScriptName) {
  EXPECT_FALSE(RunBatch(state, u"").read);
  EXPECT_EQ(host.logLines.back(), u"Не указанано имя файла с параметрами для пакетного интерфейса");
  EXPECT_FALSE(RunBatch(state, F("absent.txt")).read);
  EXPECT_TRUE(Logged(u"Не верно указанано имя файла с параметрами для пакетного интерфейса"));
  EXPECT_TRUE(LoggedPart(F("absent.txt")));
  std::filesystem::create_directories(dir.path() / "folder.txt");
  EXPECT_FALSE(RunBatch(state, F("folder.txt")).read);
}

TEST_F(BatchTest, FinEndsTheScriptAndTheMenuCommandRunsTheExitSequence) {
  dir.WriteText("fin.txt", u"DOLOG=before\r\nFIN\r\nDOLOG=after");
  EXPECT_TRUE(RunBatch(state, F("fin.txt")).finRequested);
  EXPECT_TRUE(Logged(u"Заканчиваем работу программы..."));
  EXPECT_FALSE(Logged(u"after"));
  EXPECT_FALSE(state.ctx.exitRequested) << "the caller runs the exit sequence";
  host.fileNames.push_back(F("fin.txt"));
  FindCoreCommand("menuRunBatch")->run(state);
  EXPECT_TRUE(state.ctx.exitRequested);
  EXPECT_TRUE(dir.Exists("vorkat2.ini")) << "settings are saved on exit";
}

TEST_F(BatchTest, DoLogAndSaveLog) {
  Run(u"DOLOG=Привет\r\nSAVELOG=" + F("run.log"));
  EXPECT_TRUE(Logged(u"Привет"));
  EXPECT_TRUE(Logged(u"Записали лог в файл " + F("run.log")));
  EXPECT_NE(dir.ReadText("run.log").find(u"Привет\r\n"), std::u16string::npos);
}

TEST_F(BatchTest, StopButtonEndsTheScriptAfterTheCurrentLine) {
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  int seen = 0;
  host.onProcessEvents = [&] {
    if (++seen == 4) state.ctx.CancelRequested = true;
  };
  Run(u"DOLOG=1\r\nDOLOG=2\r\nDOLOG=3\r\nDOLOG=4\r\nDOLOG=5");
  EXPECT_TRUE(Logged(u"Выполнение пакетного задания прервано пользователем"));
  EXPECT_FALSE(Logged(u"5"));
}

TEST_F(BatchTest, StoppingALongCommandEndsTheScript) {
  std::u16string table;
  for (int c = 0; c < 2000; ++c) table += HexText(0x1000 + c) + u"=<$t" + DecText(c) + u">\r\n";
  dir.WriteText("big.tbl", table);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] {
    if (state.ctx.log.text.find(u"Начинаю проверку") != std::u16string::npos) state.ctx.CancelRequested = true;
  };
  Run(u"LOADTABLE=" + F("big.tbl") + u"\r\nCHECKTABLE\r\nDOLOG=after");
  EXPECT_TRUE(Logged(u"Операция прервана пользователем..."));
  EXPECT_TRUE(Logged(u"Выполнение пакетного задания прервано пользователем"));
  EXPECT_FALSE(Logged(u"after"));
}

TEST_F(BatchTest, ExtractionOptions) {
  Run(u"WRITETEXTINUNICODE=1\r\nHEXENCODEUNKNOWNCHARS=1\r\nNUMBEROFTEXTCHARS=5");
  EXPECT_EQ(state.ctx.settings.WriteTextInUnicode, u"YES");
  EXPECT_EQ(state.codecOptions.HexEncodeUnknownChars, u"YES");
  EXPECT_EQ(state.ctx.settings.NumberOfTextChars, 5);
  EXPECT_TRUE(Logged(u"Установка параметра NumberOfTextChars= 5"));
  Run(u"WRITETEXTINUNICODE=0\r\nHEXENCODEUNKNOWNCHARS=0\r\nNUMBEROFTEXTCHARS=1");
  EXPECT_EQ(state.ctx.settings.WriteTextInUnicode, u"NO");
  EXPECT_EQ(state.codecOptions.HexEncodeUnknownChars, u"NO");
  EXPECT_EQ(state.ctx.settings.NumberOfTextChars, 2) << "runs are at least two codes long";
}

TEST_F(BatchTest, MissingArgumentsAreReported) {
  Run(u"SCANEXTRACT=0,100\r\nFINDPOINTERS=1,2\r\nDUMPBYADDRESSLIST=list.txt\r\nSAVEIPS=\r\nDUMPVIAPOINTERS=a");
  int reports = 0;
  for (const auto& l : host.logLines) reports += l.find(u"не хватает аргументов") != std::u16string::npos;
  EXPECT_EQ(reports, 5);
  EXPECT_TRUE(Logged(u"Команде SCANEXTRACT не хватает аргументов, нужно: SCANEXTRACT=начало,конец,файл"));
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(BatchTest, MenuCommandAsksForTheScript) {
  RunBatchCommand(state);
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Open Batch file");
  EXPECT_EQ(host.prompts[0].text, u"Batch Files (*.txt|*.txt\r\nAll Files (*.*)|*.*");
  EXPECT_TRUE(host.logLines.empty()) << "cancelled: nothing happens";
  dir.WriteText("menu.txt", u"DOLOG=from the menu");
  host.fileNames.push_back(F("menu.txt"));
  RunBatchCommand(state);
  EXPECT_TRUE(Logged(u"from the menu"));
}

}  // namespace
