// The demo's team folder: the exported files are what the export script
// writes, gettext accepts the PO, and the translation imported from the PO
// gives the very ROM the translated dialogs file gives.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/batch/example_run.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

const std::filesystem::path kTeam = ExampleDir("demo") / "team";

// The PO without its PO-Revision-Date line, which holds the time of the export.
std::u16string PoWithoutDate(const Bytes& bytes) {
  std::u16string text = FromUtf8(std::string(bytes.begin(), bytes.end()));
  const std::size_t at = text.find(u"\"PO-Revision-Date: ");
  return at == std::u16string::npos ? text : text.erase(at, text.find(u'\n', at) + 1 - at);
}

TEST(DemoTeam, ExportScriptWritesTheFilesOfTheFolderAndGettextAcceptsThePo) {
  TempDir dir;
  const auto [status, out] = RunExample(dir, "demo", "team/export.txt");
  ASSERT_EQ(status, 0) << out;
  const std::string team = "examples/demo/team/";
  for (const char* name : {"demo_ru.xlf", "demo_ru.csv"})
    EXPECT_EQ(dir.Read(team + name), ReadFileBytes(FromPath(kTeam / name)).value_or(Bytes{})) << name;
  EXPECT_EQ(PoWithoutDate(dir.Read(team + "demo_ru.po")),
            PoWithoutDate(ReadFileBytes(FromPath(kTeam / "demo_ru.po")).value_or(Bytes{})));
  const std::string check = "msgfmt --check -o /dev/null '" + (dir.path() / team / "demo_ru.po").string() + "'";
  EXPECT_EQ(std::system(check.c_str()), 0) << check;
}

TEST(DemoTeam, PoImportedAndInsertedGivesTheRomOfTheTranslatedScript) {
  TempDir dir;
  const auto [status, out] = RunExample(dir, "demo", "team/translate_po.txt");
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Перевод взят из 8 записей, изменено 8 диалогов"), std::string::npos) << out;
  EXPECT_NE(out.find("записей с расхождением кодов: 0"), std::string::npos) << out;
  ASSERT_EQ(RunCli(dir.path(), "examples/demo/translate.txt").status, 0);
  const Bytes rom = dir.Read("examples/demo/out/demo_ru.gba");
  ASSERT_FALSE(rom.empty());
  EXPECT_EQ(dir.Read("examples/demo/out/team_demo_ru.gba"), rom);
}

}  // namespace
