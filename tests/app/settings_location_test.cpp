#include <gtest/gtest.h>

#include "app/app.h"
#include "app/command_line.h"
#include "app/settings_location.h"
#include "app/version.h"
#include "tests/support/cli_run.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::CliRun;
using vorkat::testing::RunCli;
using vorkat::testing::TempDir;

TEST(SettingsLocation, CurrentFolderWinsWhenItsFileIsThereElseTheUserConfig) {
  TempDir dir;
  const std::u16string here = FromPath(dir.path());
  SettingsSearch search{here, u"", u"/xdg", u"/home/u"};
  EXPECT_EQ(FindSettings(search), u"/xdg/vorkat/vorkat2.ini");
  search.xdgConfigHome = u"relative/xdg";  // not absolute: ignored
  EXPECT_EQ(FindSettings(search), u"/home/u/.config/vorkat/vorkat2.ini");
  search.home.clear();
  EXPECT_EQ(FindSettings(search), dir.File("vorkat2.ini"));
  search.home = u"/home/u";
  dir.WriteText("vorkat2.ini", u"");
  EXPECT_EQ(FindSettings(search), dir.File("vorkat2.ini"));
  search.named = u"sub/../project.ini";
  EXPECT_EQ(FindSettings(search), dir.File("project.ini"));
  search.named = u"/etc/vorkat.ini";
  EXPECT_EQ(FindSettings(search), u"/etc/vorkat.ini");
  EXPECT_EQ(WindowStatePath(u"/xdg/vorkat/vorkat2.ini"), u"/xdg/vorkat/vorkat-window.ini");
}

TEST(SettingsLocation, CliWritesTheUserConfigAtExitAndNamesTheFileFirst) {
  TempDir dir;
  dir.WriteText("s.txt", u"DOLOG=x\r\n");
  CliRun r = RunCli(dir.path(), "s.txt");  // XDG_CONFIG_HOME is dir/.config
  EXPECT_EQ(r.status, 0);
  const std::string user = (dir.path() / ".config/vorkat/vorkat2.ini").string();
  EXPECT_EQ(r.out.rfind("Файл настроек: " + user + "\n", 0), 0u) << r.out;
  EXPECT_TRUE(dir.Exists(".config/vorkat/vorkat2.ini"));
  EXPECT_FALSE(dir.Exists("vorkat2.ini"));

  // --settings names another file, made at exit; the current folder's file, once there, wins.
  r = RunCli(dir.path(), "--settings other.ini s.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(dir.Exists("other.ini"));
  dir.WriteText("vorkat2.ini", u"NumberOfTextChars=7 'x\r\n");
  r = RunCli(dir.path(), "s.txt");
  EXPECT_EQ(r.out.rfind("Файл настроек: " + (dir.path() / "vorkat2.ini").string() + "\n", 0), 0u) << r.out;
  EXPECT_NE(dir.ReadText("vorkat2.ini").find(u"NumberOfTextChars=7 "), std::u16string::npos);
}

TEST(CommandLine, OptionsComeFirstAndTheRestIsTheScriptName) {
  CommandLine cl = ParseCommandLine({u"--settings", u"a.ini", u"my", u"script.txt", u"--help"});
  EXPECT_EQ(cl.settingsFile, u"a.ini");
  EXPECT_EQ(cl.script, u"my script.txt --help");
  EXPECT_FALSE(cl.help);
  cl = ParseCommandLine({u"--settings=b.ini", u"--", u"-odd.txt"});
  EXPECT_EQ(cl.settingsFile, u"b.ini");
  EXPECT_EQ(cl.script, u"-odd.txt");
  EXPECT_TRUE(ParseCommandLine({u"-h"}).help);
  EXPECT_TRUE(ParseCommandLine({u"--version"}).version);
  EXPECT_FALSE(ParseCommandLine({u"--settings"}).error.empty());
  EXPECT_FALSE(ParseCommandLine({u"--settings="}).error.empty());
  EXPECT_FALSE(ParseCommandLine({u"--frob", u"s.txt"}).error.empty());
}

TEST(Version, VersionTextAndAboutBoxShowTheBuildsVersion) {
  const std::string version(ProgramVersion());
  EXPECT_EQ(VersionText(false), "vorkat-cli (Vorkat) " + version + "\n");
  ScriptedHost host;
  AppState state(host);
  TempDir dir;
  StartUp(state, FromPath(dir.path()));
  EXPECT_NE(state.AboutText.find(u"Версия " + FromUtf8(version)), std::u16string::npos);
}
