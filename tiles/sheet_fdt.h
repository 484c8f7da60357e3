// An FDT made from a font sheet without cutting it (the batch's MAKEFDT):
// one mapping per cell whose code the table has, its picture the sheet's
// cell "#n", its width measured from the sheet's pixels.
//   MAKEFDT=sheet.png,cellwidth,cellheight,firstcode,file.fdt
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "fonttools/font_maker.h"
#include "tiles/png_file.h"

namespace vorkat {

struct FontState;
struct TranslationTable;

struct SheetFdtParams {
  std::int32_t cellWidth = 8;
  std::int32_t cellHeight = 16;
  std::int32_t firstCode = 0;  // the code of cell 0; cell n stands for firstCode + n
  std::u16string sheetFile;
  std::u16string lineBreak;  // the game's line break and new page; each not empty becomes a control record
  std::u16string newPage;
};

struct SheetFdt {
  MakerFdt fdt;
  std::int32_t glyphs = 0;     // cells mapped
  std::int32_t skipped = 0;    // cells whose code the table has no text for
  std::int32_t pastTable = 0;  // cells whose code lies past the table's last (FFFF): not mapped
};

// The FDT of a sheet read from PNG (not an error picture). Ink is any colour
// but white, the FDT's transparent colour; a cell without ink (the space)
// gets half a cell as its width. The control records come first, so that a
// glyph with the same text never hides them: the line break, the new page and
// the table's end code (silent).
SheetFdt SheetFdtOf(const PngPicture& sheet, const TranslationTable& table, const SheetFdtParams& params);

// The batch line: reads the sheet, writes the FDT (the line break and new
// page of the wrap settings as its control records) and logs; false when
// refused (logged in bright red, nothing written).
bool MakeFdtLine(FontState state, std::u16string_view argument);

}  // namespace vorkat
