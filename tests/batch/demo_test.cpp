// The bundled demo runs headless from a copy of the repository's layout and
// gives a ROM whose pointers lead to the translation, and a patch that makes
// that ROM from the original.
#include <gtest/gtest.h>

#include "patch/ips_apply.h"
#include "tests/batch/example_run.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

const std::filesystem::path kDemo = ExampleDir("demo");

TEST(Demo, TranslateScriptInsertsTheTranslationAndWritesItsPatch) {
  ASSERT_TRUE(std::filesystem::exists(kDemo / "translate.txt")) << kDemo;
  TempDir dir;
  const auto [status, out] = RunExample(dir, "demo", "translate.txt");
  EXPECT_EQ(status, 0) << out;
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
  const auto table = ReadExampleTable(dir, "examples/demo/demo.tbl");
  const auto russian = DialogTexts(dir.ReadText("examples/demo/dialogs_ru.txt"));
  ASSERT_EQ(russian.size(), 8u);
  auto textAt = [&](std::size_t pointerOffset) {
    EXPECT_EQ(translated[pointerOffset + 3], 0x08);
    std::size_t at = translated[pointerOffset] | translated[pointerOffset + 1] << 8 |
                     translated[pointerOffset + 2] << 16;
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

namespace {

TEST(Demo, MistakesScriptShowsWhatTheVerificationCatches) {
  TempDir dir;
  const auto [status, out] = RunExample(dir, "demo", "mistakes.txt");
  EXPECT_EQ(status, 1) << out;
  const std::pair<const char*, std::u16string_view> reports[] = {{"mistake_format.txt", u"нет указателя: 8"},
                                                                 {"mistake_dialogs.txt",
                                                                  u"нет указателя: 1, потерянные символы: 1"},
                                                                 {"mistake_header.txt", u"затертые байты: 4"},
                                                                 {"mistake_kept.txt", u"вне 'пустого' места: 8"}};
  for (const auto& [file, problems] : reports)
    EXPECT_NE(dir.ReadText(std::string("examples/demo/out/") + file).find(problems), std::u16string::npos) << file;
  EXPECT_NE(out.find("Команда FREESPACESTARTADDR: \"$4000\" не число"), std::string::npos) << out;
  EXPECT_EQ(out.find("not reached"), std::string::npos);
}

}  // namespace
