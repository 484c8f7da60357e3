#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/app.h"
#include "app/commands.h"
#include "insert/insert_dialogs.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

TEST(Log, LinesAreJoinedByCrLfAndClearingStartsAfresh) {
  ScriptedHost host;
  AppState state(host);
  AppendLog(state, u"one");
  EXPECT_EQ(state.ctx.log.text, u"one");
  AppendLog(state, u"two");
  AppendLog(state, u"");
  EXPECT_EQ(state.ctx.log.text, u"one\r\ntwo\r\n");
  ClearLog(state);
  EXPECT_EQ(state.ctx.log.text, u"");
  AppendLog(state, u"again");
  EXPECT_EQ(state.ctx.log.text, u"again");
}

TEST(Log, ColourCoversOnlyItsOwnLine) {
  ScriptedHost host;
  AppState state(host);
  AppendLog(state, u"plain");
  AppendLog(state, u"warning", kColourDarkRed);
  AppendLog(state, u"after");
  ASSERT_EQ(state.ctx.log.spans.size(), 1u);
  const LogSpan& span = state.ctx.log.spans[0];
  EXPECT_EQ(state.ctx.log.text.substr(span.start, span.length), u"warning");
  EXPECT_EQ(span.colour, kColourDarkRed);
}

TEST(Log, EveryLineIsAYieldPoint) {
  ScriptedHost host;
  AppState state(host);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  AppendLog(state, u"a");
  AppendLog(state, u"b");
  EXPECT_EQ(host.processEventsCalls, 2);
}

TEST(Log, SaveWritesTheTextWithAFinalBreak) {
  TempDir dir;
  ScriptedHost host;
  AppState state(host);
  AppendLog(state, u"строка");
  SaveLog(state, dir.File("log.txt"));
  EXPECT_EQ(dir.ReadText("log.txt"), u"строка\r\n");
  EXPECT_EQ(dir.Read("log.txt").size(), 8u);  // Windows-1251, one byte a letter
  EXPECT_EQ(host.logLines.back(), u"Записали лог в файл " + dir.File("log.txt"));

  SaveLog(state, u"");
  EXPECT_EQ(host.logLines.back(), u"Не указано имя куда записать лог");
  SaveLog(state, dir.File("missing-folder/log.txt"));
  EXPECT_EQ(host.logLines.back(), u"Ошибка - не удалось записать лог в файл " + dir.File("missing-folder/log.txt") +
                                      u": " + FromUtf8(std::strerror(ENOENT)));
  EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);
}

TEST(Log, BareLfFilesAreReported) {
  ScriptedHost host;
  AppState state(host);
  WarnIfBareLf(state, u"a\r\nb", u"f.tbl");
  EXPECT_TRUE(state.ctx.log.text.empty());
  WarnIfBareLf(state, u"a\nb", u"f.tbl");
  EXPECT_EQ(state.ctx.log.text,
            u"Внимание! В файле f.tbl строки разделены LF, а не CR LF: файл будет прочитан как одна строка");
}

namespace {

struct RomFixture : ::testing::Test {
  TempDir dir;
  ScriptedHost host;
  AppState state{host};
};

}  // namespace

TEST_F(RomFixture, OpenReadsTheWholeFile) {
  dir.Write("a.gba", Bytes{1, 2, 3});
  OpenRom(state, dir.File("a.gba"));
  EXPECT_TRUE(state.rom.isLoaded);
  EXPECT_EQ(state.rom.size(), 3);
  EXPECT_EQ(Bytes(state.rom.bytes.begin(), state.rom.bytes.end()), (Bytes{1, 2, 3}));
  EXPECT_EQ(state.ctx.settings.InputRomFileName, dir.File("a.gba"));
  EXPECT_EQ(host.logLines.back(), u"Открыли ROM файл:" + dir.File("a.gba"));
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(RomFixture, EmptyImageLoadsWithSizeZero) {
  dir.Write("empty.gb", Bytes{});
  OpenRom(state, dir.File("empty.gb"));
  EXPECT_TRUE(state.rom.isLoaded);
  EXPECT_EQ(state.rom.size(), 0);
}

TEST_F(RomFixture, MissingFileAsksAndACancelLeavesTheImage) {
  dir.Write("a.gba", Bytes{9});
  OpenRom(state, dir.File("a.gba"));
  OpenRom(state, dir.File("nope.gba"));
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Open ROM file");
  EXPECT_EQ(host.prompts[0].text, kRomFilters);
  EXPECT_EQ(state.rom.fileName, dir.File("a.gba")) << "the name stays with the bytes it names";
  EXPECT_EQ(state.rom.size(), 1);
}

TEST_F(RomFixture, UnreadableFileIsReportedAndChangesNothing) {
  dir.Write("a.gba", Bytes{9});
  OpenRom(state, dir.File("a.gba"));
  std::filesystem::create_directories(dir.path() / "folder.gba");
  host.fileNames.push_back(dir.File("folder.gba"));
  OpenRom(state, u"");
  EXPECT_EQ(state.rom.size(), 1);
  EXPECT_EQ(state.rom.bytes[0], 9);
  ASSERT_FALSE(state.ctx.log.spans.empty());
  EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);
}

TEST_F(RomFixture, SavingTwiceKeepsOneBackupGeneration) {
  dir.Write("game.gba", Bytes{0});
  OpenRom(state, dir.File("game.gba"));
  state.rom.bytes[0] = 1;
  SaveRom(state, dir.File("game.gba"));
  state.rom.bytes[0] = 2;
  SaveRom(state, dir.File("game.gba"));
  EXPECT_EQ(dir.Read("game.gba"), Bytes{2});
  EXPECT_EQ(dir.Read("game.gba.bak"), Bytes{1});
  EXPECT_EQ(host.logLines.back(), u"сохранили РОМ в файл " + dir.File("game.gba"));
}

TEST_F(RomFixture, SavingToANewNameMakesNoBackup) {
  dir.Write("game.gba", Bytes{5});
  OpenRom(state, dir.File("game.gba"));
  SaveRom(state, dir.File("new.gba"));
  EXPECT_EQ(dir.Read("new.gba"), Bytes{5});
  EXPECT_FALSE(dir.Exists("new.gba.bak"));
}

TEST_F(RomFixture, FailedWriteKeepsTheOldFileAndItsBackup) {
  dir.Write("game.gba", Bytes{1, 1, 1});
  dir.Write("game.gba.bak", Bytes{7});
  OpenRom(state, dir.File("game.gba"));
  state.rom.bytes[0] = 2;
  state.ctx.writeFaults.failAfterBytes = 1;
  SaveRom(state, dir.File("game.gba"));
  EXPECT_EQ(dir.Read("game.gba"), (Bytes{1, 1, 1}));
  EXPECT_EQ(dir.Read("game.gba.bak"), Bytes{7});
  EXPECT_FALSE(dir.Exists("game.gba.vorkat-tmp"));
  EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);
}

TEST_F(RomFixture, FailedOrCancelledSaveKeepsTheRememberedName) {
  dir.Write("game.gba", Bytes{1});
  OpenRom(state, dir.File("game.gba"));
  state.ctx.writeFaults.failAfterBytes = 0;
  EXPECT_FALSE(SaveRom(state, dir.File("other.gba")));
  EXPECT_FALSE(SaveRom(state, u""));  // the prompt is cancelled
  EXPECT_EQ(state.rom.fileName, dir.File("game.gba"));
  EXPECT_EQ(state.ctx.settings.InputRomFileName, dir.File("game.gba"));
  state.ctx.writeFaults = {};
  EXPECT_TRUE(SaveRom(state, dir.File("other.gba")));
  EXPECT_EQ(state.ctx.settings.InputRomFileName, dir.File("other.gba"));
}

TEST_F(RomFixture, FileLargerThanAnyCartridgeIsRefusedWithItsSize) {
  dir.Write("game.gba", Bytes{1});
  OpenRom(state, dir.File("game.gba"));
  dir.Write("huge.gba", {});
  std::filesystem::resize_file(dir.path() / "huge.gba", kMaxRomFileSize + 1);  // sparse: costs no disk
  OpenRom(state, dir.File("huge.gba"));
  EXPECT_EQ(state.rom.size(), 1);
  EXPECT_TRUE(state.ctx.log.text.ends_with(u"Не удалось прочитать файл " + dir.File("huge.gba") +
                                           u": файл слишком велик: 33554433 байт, а можно не больше 33554432"));
  EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);
}

TEST_F(RomFixture, SaveBeforeAnyImageWritesNothing) {
  SaveRom(state, dir.File("x.gba"));
  EXPECT_FALSE(dir.Exists("x.gba"));
  EXPECT_EQ(host.logLines.back(), u"ROM еще не загружен");
}

TEST_F(RomFixture, OriginalMustFollowTheWorkingImageAndMatchItsSize) {
  OpenOriginalRom(state);
  EXPECT_EQ(host.logLines.back(), u"сначала загрузите исправленный rom");
  EXPECT_TRUE(host.prompts.empty());

  dir.Write("work.gba", Bytes{1, 2});
  dir.Write("short.gba", Bytes{1});
  dir.Write("other.gba", Bytes{8, 9});
  OpenRom(state, dir.File("work.gba"));
  host.fileNames = {dir.File("other.gba"), dir.File("short.gba")};
  OpenOriginalRom(state);
  EXPECT_TRUE(state.originalRom.isLoaded);  // only the length is compared
  EXPECT_EQ(host.logLines.back(), u"Прочитали оригинальный ROM файл:" + dir.File("other.gba"));
  OpenOriginalRom(state);
  EXPECT_FALSE(state.originalRom.isLoaded);
  EXPECT_EQ(host.logLines.back(), u"Размеры файлов не совпадают, просили ведь ОРИГИНАЛ того-же самого ROM'a, извините");
  EXPECT_EQ(host.prompts.back().title, u"Open Original ROM file");
}

TEST(StartUpAndExit, DefaultsTitleAndExitQuestion) {
  TempDir dir;
  ScriptedHost host;
  AppState state(host);
  StartUp(state, FromPath(dir.path()));
  EXPECT_EQ(state.ProgramTitle, u"Vorkat 2.0    ver 0.40");
  EXPECT_EQ(state.AboutText.substr(0, state.ProgramTitle.size()), state.ProgramTitle);
  EXPECT_EQ(state.AboutText.find(u'|'), std::u16string::npos);
  EXPECT_EQ(state.ctx.settings.HelpFileName, FromPath(dir.path()) + u"/vorkathelp2.txt");
  EXPECT_TRUE(state.codecOptions.SkipUnknownTRChars);
  EXPECT_EQ(state.codecOptions.HexEncodeUnknownChars, u"NO");
  EXPECT_TRUE(state.patchOptions.OptimizeChangesBlocks);
  EXPECT_FALSE(state.patchOptions.EcoMode);
  ASSERT_EQ(state.insertion.IgnoreRomZones.size(), 1u);

  state.dialogs.changed = true;
  host.answers.push_back(MsgAnswer::No);
  ExitProgram(state);
  EXPECT_TRUE(state.ctx.exitRequested);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Будем сохранять изменения в Диалогах ?");
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNoCancel);
  EXPECT_TRUE(dir.Exists("vorkat2.ini"));
  EXPECT_NE(dir.ReadText("vorkat2.ini").find(u"HelpFileName="), std::u16string::npos);
}

TEST(StartUpAndExit, TogglesFlipTwiceBack) {
  ScriptedHost host;
  AppState state(host);
  ToggleExtendedLogs(state);
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"NO");
  ToggleExtendedLogs(state);
  EXPECT_EQ(state.ctx.settings.ExtendedLogs, u"YES");
  state.ctx.settings.WriteTextInUnicode = u"maybe";
  ToggleWriteTextInUnicode(state);
  EXPECT_EQ(state.ctx.settings.WriteTextInUnicode, u"YES");
  ToggleSkipUnknownTRChars(state.codecOptions);
  EXPECT_FALSE(state.codecOptions.SkipUnknownTRChars);
}

TEST_F(RomFixture, OriginalByNameSkipsThePromptAndMissingNamesAsk) {
  dir.Write("work.gba", Bytes{1, 2});
  dir.Write("orig.gba", Bytes{1, 3});
  OpenRom(state, dir.File("work.gba"));
  OpenOriginalRom(state, dir.File("orig.gba"));
  EXPECT_TRUE(state.originalRom.isLoaded);
  EXPECT_TRUE(host.prompts.empty());
  OpenOriginalRom(state, dir.File("absent.gba"));
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Open Original ROM file");
}

TEST(StartUpAndExit, DialogsNotSavedAtExitKeepTheProgramRunning) {
  TempDir dir;
  ScriptedHost host;
  AppState state(host);
  state.ctx.settings.iniPath = dir.File("vorkat2.ini");
  state.dialogs.records.resize(2);
  state.dialogs.records[0].dlgText = u"текст";
  state.dialogs.lastIndex = 0;
  state.dialogs.isLoaded = true;
  state.dialogs.changed = true;
  std::filesystem::create_directories(dir.path() / "d.txt");  // a folder cannot be written as a file

  // Cancel; Yes with the save prompt cancelled; Yes with a failed write.
  const std::pair<MsgAnswer, std::u16string> cases[] = {{MsgAnswer::Cancel, u""},
                                                        {MsgAnswer::Yes, u""},
                                                        {MsgAnswer::Yes, dir.File("d.txt")}};
  for (const auto& [answer, file] : cases) {
    host.answers = {answer};
    host.fileNames = {file};
    ExitProgram(state);
    EXPECT_FALSE(state.ctx.exitRequested);
    EXPECT_TRUE(state.dialogs.changed);
    EXPECT_EQ(host.messages.back().text, u"Будем сохранять изменения в Диалогах ?");
    EXPECT_NE(state.ctx.log.text.find(u"Выход отменён: диалоги не сохранены"), std::u16string::npos);
  }
  EXPECT_EQ(host.messages.size(), 3u);

  host.answers = {MsgAnswer::Yes};
  host.fileNames = {dir.File("saved.txt")};
  ExitProgram(state);
  EXPECT_TRUE(state.ctx.exitRequested);
  EXPECT_TRUE(dir.Exists("saved.txt"));
}

TEST_F(RomFixture, UnsavedRomChangesAreAskedAboutOnExitAndOnOpeningAnother) {
  state.ctx.settings.iniPath = dir.File("vorkat2.ini");
  dir.Write("g.gba", Bytes{1, 2});
  dir.Write("other.gba", Bytes{7});
  OpenRom(state, dir.File("g.gba"));
  EXPECT_FALSE(state.rom.modified);
  std::u16string data = u"A";
  std::int32_t at = 0;
  InsertDataBlock(state, data, at, false);
  EXPECT_TRUE(state.rom.modified);

  host.answers = {MsgAnswer::Cancel};  // Cancel: the program stays, the changes too
  ExitProgram(state);
  EXPECT_FALSE(state.ctx.exitRequested);
  EXPECT_TRUE(state.rom.modified);
  EXPECT_EQ(host.messages.back().text, u"В ROM'е есть несохранённые изменения. Сохранить их?");

  host.answers = {MsgAnswer::No};  // No: another ROM opens, the changes are dropped
  host.fileNames = {dir.File("other.gba")};
  FindCoreCommand("menuOpenRom")->run(state);
  EXPECT_EQ(state.rom.fileName, dir.File("other.gba"));
  EXPECT_FALSE(state.rom.modified);
  EXPECT_EQ(dir.Read("g.gba"), (Bytes{1, 2}));

  state.rom.bytes[0] = 9;
  state.rom.modified = true;
  host.answers = {MsgAnswer::Yes};  // Yes: saved to its own file, then the program ends
  ExitProgram(state);
  EXPECT_TRUE(state.ctx.exitRequested);
  EXPECT_EQ(dir.Read("other.gba"), (Bytes{9}));
  EXPECT_FALSE(state.rom.modified);
}
