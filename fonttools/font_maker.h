// The font maker's names and lines: glyph file names from the sheet grid,
// the mapping line per cell and the FDT it writes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct TranslationTable;

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

// The order of the sheet's cells: the characters of Windows-1251 (cell index
// + first code = the character's code), or the codes of the loaded table
// (cell index + first code = the table's code).
enum class MakerOrder { Cp1251, Table };
// What the cell of that code stands for in the FDT: the character, or the
// table's text for the code in the FDT's markup form; none when the table
// has no text for it.
std::optional<std::u16string> MakerCellText(MakerOrder order, const TranslationTable& table, std::int32_t code);
// width + ",#" + decimal cell index + "=" + text.
std::u16string MakerMappingLineText(std::int32_t width, std::int32_t cell, std::u16string_view text);

// Rows and columns of cells of that size on the sheet (at least 1 each).
struct MakerGrid {
  std::int32_t rows = 1;
  std::int32_t cols = 1;
};
MakerGrid MakerGridOf(std::int32_t sheetWidth, std::int32_t sheetHeight, std::int32_t cellWidth,
                      std::int32_t cellHeight);

// The widths the character width extractor writes: one line per code,
// " width=code in hexadecimal". Lines of another shape are skipped.
std::map<std::int32_t, std::int32_t> ParseWidthTable(std::u16string_view text);
// A game's table holds the advance of each character; the FDT's width is
// the advance less the spacing the preview adds after every glyph.
inline std::int32_t WidthFromAdvance(std::int32_t advance, std::int32_t spacing) {
  return advance > spacing ? advance - spacing : 0;
}

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
