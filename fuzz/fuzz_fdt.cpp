// Feeds arbitrary bytes to the FDT parser as a file, then lays out, wraps
// and checks the same text with the table it gave.
//
// A saved table must read back with the same lines, records and fields.
// Layout must end, and the wrapper must keep the text's length and change
// nothing but blanks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "font/fdt.h"
#include "font/glyph_names.h"
#include "font/preview_layout.h"
#include "font/text_wrapper.h"

namespace {

using namespace vorkat;

bool SameFields(const FontDescriptionTable& a, const FontDescriptionTable& b) {
  return a.lines == b.lines && a.mappings == b.mappings && a.lastMappingIndex == b.lastMappingIndex &&
         a.isLoaded == b.isLoaded && a.fontWidth == b.fontWidth && a.fontHeight == b.fontHeight &&
         a.FontDirPath == b.FontDirPath && a.FontFileName == b.FontFileName && a.FontClipRows == b.FontClipRows &&
         a.FontClipCols == b.FontClipCols && a.FontTranspColor == b.FontTranspColor &&
         a.UnknownMappingChar == b.UnknownMappingChar && a.unknownCharWidth == b.unknownCharWidth &&
         a.maxTrailingLineBreaks == b.maxTrailingLineBreaks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t mode = data[0];
  const std::u16string text = DecodeTextFile(data + 1, size - 1);

  FontDescriptionTable fdt;
  fdt.lines = SplitCrLf(text);
  ReparseFontDescription(fdt);

  FontDescriptionTable back;
  back.lines = SplitCrLf(FontDescriptionFileText(fdt));
  ReparseFontDescription(back);
  if (!SameFields(fdt, back)) __builtin_trap();

  for (std::int32_t k = 0; k <= fdt.lastMappingIndex; ++k)
    if (fdt.FindMapping(fdt.mappings[static_cast<std::size_t>(k)].text) > k) __builtin_trap();

  PreviewSettings ps;
  ps.IgnoreHex = mode & 1;
  ps.IgnoreHexN = (mode >> 1 & 3) - 1;  // -1 to 2
  ps.IgnoreClsWhenPrint = mode & 8;
  ps.InterLetterStep = mode >> 4;
  ps.WrapRightLimitPix = 40 + (mode & 0x30);
  ps.gameLFchar = mode & 0x40 ? u" " : u"\\";
  fdt.isLoaded = true;
  ParseText(fdt, ps, text, {(mode & 0x80) != 0, true});

  const WrapResult wrapped = ParseTextForWrapper(fdt, ps, text, true);
  if (wrapped.text.size() != text.size()) __builtin_trap();
  for (std::size_t i = 0; i < text.size(); ++i)
    if (wrapped.text[i] != text[i] && (text[i] != u' ' || wrapped.text[i] != ps.gameLFchar[0])) __builtin_trap();

  std::vector<DialogRecord> dialogs(1);
  dialogs[0].dlgText = text;
  CheckWrap(dialogs, fdt, ps);
  PlanGlyphStore(fdt, [](std::u16string_view name) { return name.size() % 2 == 0; });
  return 0;
}
