// The font maker's names and lines: glyph file names from the sheet grid,
// the mapping line per cell and the FDT it writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

// The grid cell of cell index n, numbered row by row.
struct MakerCell {
  std::int32_t row = 0;
  std::int32_t col = 0;
};
MakerCell MakerCellOf(std::int32_t n, std::int32_t cols);

// The name proposed for the shown glyph: folder / prefix + hex row + hex
// (column + startFrom), or hex column + hex (row + startFrom) when the
// glyphs run down the columns, + ".bmp".
std::u16string MakerViewFileName(std::u16string_view outDir, std::u16string_view prefix, MakerCell cell,
                                 std::int32_t startFrom, bool charsInCols);

// A code in upper-case hexadecimal with an even number of digits.
std::u16string MakerCodeHex(std::int32_t code);
// folder / prefix + MakerCodeHex(code) + ".bmp": the file a cut writes.
std::u16string MakerCutFileName(std::u16string_view outDir, std::u16string_view prefix, std::int32_t code);

// width + ",#" + decimal cell index + "=" + the character of the code (a
// UTF-16 unit above 255, the Windows-1251 character of that byte below).
std::u16string MakerMappingLine(std::int32_t width, std::int32_t cell, std::int32_t code);

struct MakerFdt {
  std::int32_t charWidth = 8;
  std::int32_t charHeight = 16;
  std::u16string sheetFile;
  std::int32_t rows = 1;
  std::int32_t cols = 1;
  std::u16string outDir;
  std::u16string prefix;
  std::vector<std::u16string> mappingLines;
};

// The FDT file the cut writes: folder / prefix + "-surprize.fdt".
std::u16string MakerFdtFileName(const MakerFdt& fdt);
// Its text: the eight setting lines and the mapping lines, each ended by CR LF.
std::u16string MakerFdtText(const MakerFdt& fdt);

}  // namespace vorkat
