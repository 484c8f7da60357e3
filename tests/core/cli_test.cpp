#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "app/app.h"
#include "app/console_host.h"
#include "tests/support/scripted_host.h"
#include "tests/support/cli_run.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::CliRun;
using vorkat::testing::RunCli;
using vorkat::testing::TempDir;

TEST(Cli, MissingScriptExitsWithTwoAndStillSavesSettings) {
  TempDir dir;
  CliRun r = RunCli(dir.path(), "no-such-script.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("no-such-script.txt"), std::string::npos);
  EXPECT_TRUE(dir.Exists(".config/vorkat/vorkat2.ini"));
}

TEST(Cli, ScriptRunsAndLogGoesToStandardOutputInUtf8) {
  TempDir dir;
  dir.WriteText("s.txt", u"' a comment\r\n");
  CliRun r = RunCli(dir.path(), "s.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("s.txt"), std::string::npos);
  EXPECT_EQ(r.out.find('\r'), std::string::npos);  // CR LF is written as a newline
}

TEST(Cli, AClosedStandardOutputDoesNotEndTheRun) {
  TempDir dir;
  std::u16string script;
  for (int i = 0; i < 2000; ++i) script += u"DOLOG=line\r\n";
  script += u"SAVELOG=done.log\r\n";
  dir.WriteText("s.txt", script);
  CliRun r = RunCli(dir.path(), "s.txt | head -c 1 >/dev/null; test -f done.log && echo saved");
  EXPECT_NE(r.out.find("saved"), std::string::npos);
}

TEST(Cli, PromptsAreCancelledWithALogLineAndDialogsQuestionIsNo) {
  TempDir dir;
  ConsoleHost host(std::tmpfile(), std::tmpfile(), false, false);
  AppState state(host);
  host.Attach(&state);
  state.ctx.settings.iniPath = dir.File("vorkat2.ini");
  EXPECT_EQ(host.AskFileName(false, u"Open ROM file", u""), u"");
  EXPECT_NE(state.ctx.log.text.find(u"Open ROM file"), std::u16string::npos);
  state.dialogs.changed = true;
  ExitProgram(state);
  EXPECT_TRUE(state.ctx.exitRequested);
  EXPECT_NE(state.ctx.log.text.find(u"Будем сохранять изменения в Диалогах ?"), std::u16string::npos);
  EXPECT_TRUE(dir.Exists("vorkat2.ini"));
}

TEST(Cli, ScriptEndingWithFinRunsTheExitSequenceOnce) {
  TempDir dir;
  dir.WriteText("s.txt", u"FIN\r\n");
  ConsoleHost host(std::tmpfile(), std::tmpfile(), false, false);
  AppState state(host);
  host.Attach(&state);
  state.ctx.settings.iniPath = dir.File("vorkat2.ini");
  state.dialogs.changed = true;
  EXPECT_EQ(RunHeadless(state, dir.File("s.txt")), 0);
  const std::u16string question = u"Будем сохранять изменения в Диалогах ?";
  std::size_t first = state.ctx.log.text.find(question);
  ASSERT_NE(first, std::u16string::npos);
  EXPECT_EQ(state.ctx.log.text.find(question, first + 1), std::u16string::npos);
}

// A script through a pipe once ran as an empty script (its reported size is 0).
TEST(Cli, AScriptFromAPipeIsReadToItsEnd) {
  TempDir dir;
  dir.WriteText("s.txt", u"DOLOG=from the pipe\r\n");
  CliRun r = RunCli(dir.path(), "/dev/stdin < s.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("from the pipe"), std::string::npos);
}

// A mistyped command is logged and the run goes on, but it ends with status 1;
// so does a settings file that cannot be written at the end of the run.
TEST(Cli, UnknownCommandsAndAFailedSettingsSaveMakeTheStatusOne) {
  TempDir dir;
  dir.WriteText("s.txt", u"SAVEOM=out.gba\r\nDOLOG=after\r\n");
  CliRun r = RunCli(dir.path(), "s.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Неизвестная инструкцияSAVEOM=out.gba"), std::string::npos);
  EXPECT_NE(r.out.find("after"), std::string::npos);

  dir.WriteText("ok.txt", u"DOLOG=fine\r\n");
  ConsoleHost host(std::tmpfile(), std::tmpfile(), false, false);
  AppState state(host);
  host.Attach(&state);
  StartUp(state, FromPath(dir.path()));
  dir.WriteText("blocker", u"a file where the settings' folder would be");
  state.ctx.settings.iniPath = dir.File("blocker/vorkat2.ini");
  EXPECT_EQ(RunHeadless(state, dir.File("ok.txt")), 1);
  EXPECT_NE(state.ctx.log.text.find(u"Не удалось сохранить настройки"), std::u16string::npos);
}

TEST(Cli, ANulInALogLineDoesNotCutItsConsoleOutput) {
  std::FILE* out = std::tmpfile();
  ConsoleHost host(out, std::tmpfile(), false, false);
  host.LogAppended(std::u16string(u"before\0after", 12), kColourDefault, true);
  std::rewind(out);
  char buffer[64] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof buffer, out);
  EXPECT_EQ(std::string(buffer, n), std::string("before\0after\n", 13));
}
