// The bundled demo runs headless from a copy of the repository's layout and
// gives a ROM whose pointers lead to the translation, and a patch that makes
// that ROM from the original.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>

#include "core/text.h"
#include "patch/ips_apply.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

const std::filesystem::path kDemo = std::filesystem::path(VORKAT_TEST_DATA_DIR).parent_path().parent_path() / "examples" / "demo";

// Code of each table text of the demo's "XX=text" lines.
std::map<std::uint8_t, std::u16string> ReadDemoTable(const TempDir& dir) {
  std::map<std::uint8_t, std::u16string> table;
  for (const auto& line : SplitCrLf(dir.ReadText("examples/demo/demo.tbl"))) {
    auto eq = line.find(u'=');
    if (eq != 2 || line.find(u"TrTableType") == 0) continue;
    table[static_cast<std::uint8_t>(std::stoi(ToUtf8(line.substr(0, 2)), nullptr, 16))] =
        line.substr(3) == u"<$SPACE>" ? u" " : line.substr(3);
  }
  return table;
}

// The texts of a dialogs file, in file order.
std::vector<std::u16string> DialogTexts(const std::u16string& file) {
  std::vector<std::u16string> texts;
  std::size_t at = 0;
  while ((at = file.find(u"\r\n¶\r\n", at)) != std::u16string::npos) {
    at += 5;
    texts.push_back(file.substr(at, file.find(u"\r\n§\r\n", at) - at));
  }
  return texts;
}

TEST(Demo, TranslateScriptInsertsTheTranslationAndWritesItsPatch) {
  ASSERT_TRUE(std::filesystem::exists(kDemo / "translate.txt")) << kDemo;
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "examples");
  std::filesystem::copy(kDemo, dir.path() / "examples" / "demo", std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(dir.path() / "examples" / "demo" / "out");

  const std::string cmd = "cd '" + dir.path().string() + "' && '" VORKAT_CLI_PATH "' examples/demo/translate.txt 2>&1";
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  const int status = pclose(p);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << out;
  EXPECT_NE(out.find("Записали IPS в файл examples/demo/out/demo_ru.ips"), std::string::npos) << out;
  EXPECT_EQ(out.find("Неизвестная инструкция"), std::string::npos) << out;
  // The script verifies its own insertion and reports the free space.
  EXPECT_NE(out.find("проблем не найдено"), std::string::npos) << out;
  EXPECT_NE(dir.ReadText("examples/demo/out/free_space.txt").find(u"Не поместились: нет"), std::u16string::npos);

  const Bytes original = dir.Read("examples/demo/demo.gba");
  const Bytes translated = dir.Read("examples/demo/out/demo_ru.gba");
  ASSERT_EQ(translated.size(), original.size());
  Bytes patched = original;
  const auto applied = ApplyIpsRecords(dir.Read("examples/demo/out/demo_ru.ips"), patched);
  EXPECT_EQ(applied.stop, IpsStop::EofMark);
  EXPECT_EQ(patched, translated);

  // Every pointer of the table, and the menu's second pointer, leads into the
  // free space, to the translated text of its dialog.
  const auto table = ReadDemoTable(dir);
  const auto russian = DialogTexts(dir.ReadText("examples/demo/dialogs_ru.txt"));
  ASSERT_EQ(russian.size(), 8u);
  auto textAt = [&](std::size_t pointerOffset) {
    EXPECT_EQ(translated[pointerOffset + 3], 0x08);
    std::size_t at = translated[pointerOffset] | translated[pointerOffset + 1] << 8 | translated[pointerOffset + 2] << 16;
    EXPECT_GE(at, 0x4000u);
    EXPECT_LT(at, 0xC000u);
    EXPECT_EQ(at % 4, 0u);
    std::u16string text;
    for (; at < translated.size() && translated[at] != 0xFF; ++at) text += table.at(translated[at]);
    return text + u"<$END>";
  };
  for (std::size_t i = 0; i < russian.size(); ++i) EXPECT_EQ(textAt(0x100 + 4 * i), russian[i]) << i;
  EXPECT_EQ(textAt(0x180), russian[5]);
}

}  // namespace
