// The bundled demo runs headless from a copy of the repository's layout and
// gives a ROM whose pointers lead to the translation, and a patch that makes
// that ROM from the original.
#include <gtest/gtest.h>

#include <algorithm>

#include "patch/ips_apply.h"
#include "tests/batch/example_run.h"
#include "tiles/png_file.h"
#include "tiles/tile_format.h"

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

namespace {

// font.txt imports font_ru.png, the font's sheet with the Russian letters
// drawn in, at C000 (GBA 4 bpp, 16 tiles a row: a row of glyphs' upper
// tiles, then a row of their lower tiles; the cell of code 20+n is glyph n).
TEST(Demo, FontScriptPutsTheRussianLettersIntoTheFontAndWrapsTheTranslation) {
  TempDir dir;
  const auto [status, out] = RunExample(dir, "demo", "font.txt");
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("проблем не найдено"), std::string::npos) << out;
  // The demo ships the FDT the script builds.
  EXPECT_EQ(dir.Read("examples/demo/out/demo.fdt"), dir.Read("examples/demo/demo.fdt"));

  const Bytes original = dir.Read("examples/demo/demo.gba");
  const Bytes translated = dir.Read("examples/demo/out/demo_ru_font.gba");
  const PngPicture png = ReadPng(dir.Read("examples/demo/font_ru.png"));
  ASSERT_EQ(png.error, PngError::None);
  const IndexedImage sheet = MapToPalette(png, GreyRamp(16));
  ASSERT_EQ(sheet.width, 16 * 8);
  auto tileAt = [](const Bytes& rom, int tile) {
    return DecodeTile(TileFormat::GBA4, std::span(rom).subspan(0xC000 + 32 * static_cast<std::size_t>(tile), 32));
  };
  for (int code = 0x80; code < 0xC0; ++code) {
    const int cell = code - 0x20;
    bool inked = false;
    for (int half = 0; half < 2; ++half) {
      const int tileRow = 2 * (cell / 16) + half;
      const int tile = tileRow * 16 + cell % 16;
      const TilePixels before = tileAt(original, tile);
      const TilePixels after = tileAt(translated, tile);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          const std::size_t k = static_cast<std::size_t>(y * 8 + x);
          EXPECT_EQ(before[k], 0) << code;  // the original font has no Russian letters
          const std::size_t at = static_cast<std::size_t>((tileRow * 8 + y) * sheet.width + (cell % 16) * 8 + x);
          ASSERT_EQ(after[k], sheet.pixels[at]) << "code " << code << " x " << x << " y " << y;
          inked = inked || after[k] != 0;
        }
    }
    EXPECT_TRUE(inked) << code;
  }

  // Every Russian dialog was wrapped by the table's line break, and no line
  // passes the border.
  const auto wrapped = DialogTexts(dir.ReadText("examples/demo/out/dialogs_ru_wrapped.txt"));
  const auto russian = DialogTexts(dir.ReadText("examples/demo/dialogs_ru.txt"));
  ASSERT_EQ(wrapped.size(), russian.size());
  std::size_t broken = 0;
  for (std::size_t i = 0; i < wrapped.size(); ++i) {
    std::u16string unwrapped = wrapped[i];
    std::replace(unwrapped.begin(), unwrapped.end(), u'\\', u' ');
    EXPECT_EQ(unwrapped, russian[i]);
    broken += wrapped[i] != russian[i];
  }
  EXPECT_GT(broken, 0u);
  EXPECT_NE(out.find("Строк за правой границей: 0,"), std::string::npos) << out;
  EXPECT_TRUE(dir.ReadText("examples/demo/out/font_check.txt").empty());
}

}  // namespace
