// The Game Boy example runs headless from a copy of the repository's layout:
// each of its three pointer tables (GB16, GB24, GB24R) then leads to the
// longer translation, every text whole inside one bank, the GB16 ones still
// in the bank the game switches in for them.
#include <gtest/gtest.h>

#include "patch/ips_apply.h"
#include "tests/batch/example_run.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

const std::filesystem::path kExample = ExampleDir("gb");
constexpr std::size_t kBank = 0x4000;

TEST(GbExample, HeaderOfTheGeneratedRomIsAnMbc1Cartridge) {
  ASSERT_TRUE(std::filesystem::exists(kExample / "lumen.gbc")) << kExample;
  TempDir dir;
  std::filesystem::copy_file(kExample / "lumen.gbc", dir.path() / "lumen.gbc");
  const Bytes rom = dir.Read("lumen.gbc");
  ASSERT_EQ(rom.size(), 4 * kBank);
  EXPECT_EQ(rom[0x147], 0x01);  // MBC1
  EXPECT_EQ(rom[0x148], 0x01);  // 64 KiB
  std::uint8_t header = 0;
  for (std::size_t i = 0x134; i < 0x14D; ++i) header = static_cast<std::uint8_t>(header - rom[i] - 1);
  EXPECT_EQ(rom[0x14D], header);
  std::uint16_t global = 0;
  for (std::size_t i = 0; i < rom.size(); ++i)
    if (i != 0x14E && i != 0x14F) global = static_cast<std::uint16_t>(global + rom[i]);
  EXPECT_EQ(rom[0x14E] << 8 | rom[0x14F], global);
}

TEST(GbExample, TranslateScriptLeadsEveryPointerOfTheThreeTablesToItsTranslation) {
  ASSERT_TRUE(std::filesystem::exists(kExample / "translate.txt")) << kExample;
  TempDir dir;
  const auto [status, out] = RunExample(dir, "gb", "translate.txt");
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find("Неизвестная инструкция"), std::string::npos) << out;
  for (const char* form : {"gb16", "gb24", "gb24r"})
    EXPECT_NE(dir.ReadText(std::string("examples/gb/out/verify_") + form + ".txt").find(u"проблем не найдено"),
              std::u16string::npos)
        << form;

  const Bytes original = dir.Read("examples/gb/lumen.gbc");
  const Bytes translated = dir.Read("examples/gb/out/lumen_ru.gbc");
  ASSERT_EQ(translated.size(), original.size());
  Bytes patched = original;
  EXPECT_EQ(ApplyIpsRecords(dir.Read("examples/gb/out/lumen_ru.ips"), patched).stop, IpsStop::EofMark);
  EXPECT_EQ(patched, translated);

  const auto table = ReadExampleTable(dir, "examples/gb/lumen.tbl");
  // The text at an offset up to its end code FF, which must lie in the
  // text's own bank, in the free space the script gave.
  auto textAt = [&](std::size_t at, std::size_t freeStart, std::size_t freeEnd) {
    EXPECT_GE(at, freeStart);
    std::u16string text;
    std::size_t end = at;
    for (; end < translated.size() && translated[end] != 0xFF; ++end) text += table.at(translated[end]);
    EXPECT_LT(end, freeEnd);
    EXPECT_EQ(end / kBank, at / kBank) << "crosses into the next bank at " << at;
    return text + u"<$END>";
  };
  // The tables stand where make_gb.py put them; the GB24R menu's fifth entry
  // shares the fourth's text.
  struct Table {
    const char* dialogs;
    std::size_t at;
    std::size_t width;
    std::vector<std::size_t> texts;
  };
  const Table tables[] = {{"dialogs_gb16_ru.txt", 0x4000, 2, {0, 1, 2, 3, 4, 5}},
                          {"dialogs_gb24_ru.txt", 0x3000, 3, {0, 1, 2, 3, 4, 5}},
                          {"dialogs_gb24r_ru.txt", 0xD000, 3, {0, 1, 2, 3, 3, 4}}};
  for (const Table& t : tables) {
    const auto russian = DialogTexts(dir.ReadText(std::string("examples/gb/") + t.dialogs));
    ASSERT_EQ(russian.size(), t.texts.back() + 1) << t.dialogs;
    for (std::size_t i = 0; i < t.texts.size(); ++i) {
      const std::uint8_t* b = translated.data() + t.at + t.width * i;
      std::size_t address = 0, bank = 1;  // GB16: bank 1 is switched in for these texts
      if (t.width == 2) {
        address = b[0] | b[1] << 8;
      } else if (t.at == 0x3000) {  // GB24: bank, low, high
        bank = b[0];
        address = b[1] | b[2] << 8;
      } else {  // GB24R: low, high, bank
        address = b[0] | b[1] << 8;
        bank = b[2];
      }
      ASSERT_GE(address, kBank) << t.dialogs << " " << i;
      ASSERT_LT(address, 2 * kBank) << t.dialogs << " " << i;
      const std::size_t offset = bank * kBank + address - kBank;
      const auto [freeStart, freeEnd] = t.width == 2 ? std::pair{0x7C00u, 0x8000u} : std::pair{0xBF80u, 0xC400u};
      EXPECT_EQ(textAt(offset, freeStart, freeEnd), russian[t.texts[i]]) << t.dialogs << " " << i;
    }
  }
}

}  // namespace
