// The offsets example runs headless from a copy of the repository's layout:
// every entry of its table of 16-bit offsets then leads to its translation
// (the longer ones in free space, the shorter one in place), and every item
// name stands in its 8-byte field, padded with 00.
#include <gtest/gtest.h>

#include "patch/ips_apply.h"
#include "tests/batch/example_run.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

const std::filesystem::path kExample = ExampleDir("offsets");

TEST(OffsetsExample, TranslateScriptLeadsEveryOffsetToItsTextAndFillsTheFields) {
  ASSERT_TRUE(std::filesystem::exists(kExample / "translate.txt")) << kExample;
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "examples");
  std::filesystem::copy(kExample, dir.path() / "examples/offsets", std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(dir.path() / "examples/offsets/out");
  const auto [status, out] =
      RunCli(dir.path(), "--settings examples/offsets/vorkat2.ini examples/offsets/translate.txt");
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find("Неизвестная инструкция"), std::string::npos) << out;
  EXPECT_NE(dir.ReadText("examples/offsets/out/verify.txt").find(u"проблем не найдено"), std::u16string::npos);
  EXPECT_NE(dir.ReadText("examples/offsets/out/free_space.txt").find(u"на место оригинала легли"),
            std::u16string::npos);

  const Bytes original = dir.Read("examples/offsets/quest.gba");
  const Bytes translated = dir.Read("examples/offsets/out/quest_ru.gba");
  ASSERT_EQ(translated.size(), original.size());
  Bytes patched = original;
  EXPECT_EQ(ApplyIpsRecords(dir.Read("examples/offsets/out/quest_ru.ips"), patched).stop, IpsStop::EofMark);
  EXPECT_EQ(patched, translated);

  const auto table = ReadExampleTable(dir, "examples/offsets/quest.tbl");
  auto textAt = [&](std::size_t at) {
    std::u16string text;
    for (; at < translated.size() && translated[at] != 0x00; ++at) text += table.at(translated[at]);
    return text + u"<$END>";
  };
  const auto russian = DialogTexts(dir.ReadText("examples/offsets/dialogs_ru.txt"));
  ASSERT_EQ(russian.size(), 12u);
  // The table at 8000: seven offsets from the bank at 10000, the last one to the first text.
  const std::size_t pointsTo[] = {0, 1, 2, 3, 4, 5, 0};
  for (std::size_t i = 0; i < std::size(pointsTo); ++i) {
    const std::size_t offset = 0x10000 + (translated[0x8000 + 2 * i] | translated[0x8001 + 2 * i] << 8);
    EXPECT_EQ(textAt(offset), russian[pointsTo[i]]) << i;
  }
  EXPECT_EQ(translated[0x8004], original[0x8004]) << "the shorter line stays where it was";
  // The names: 8-byte fields at 9000, the rest of each filled with 00.
  for (std::size_t k = 0; k < 6; ++k) {
    const std::size_t at = 0x9000 + 8 * k;
    EXPECT_EQ(textAt(at), russian[6 + k]) << k;
    for (std::size_t b = at + russian[6 + k].size() - 5; b < at + 8; ++b) EXPECT_EQ(translated[b], 0x00) << b;
  }
}

}  // namespace
