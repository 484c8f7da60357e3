// Which picture each glyph store entry comes from: a picture file, a cell of
// the font sheet, the unknown-character picture or the built-in placeholder.
// Deciding this needs file names only; the pictures are loaded elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "font/fdt.h"
#include "font/log_lines.h"

namespace vorkat {

// A picture name that never exists: a record without a picture gets the
// unknown-character picture without a log line.
inline constexpr std::u16string_view kNoPictureMarker = u"~~~~~.~~~";

inline constexpr std::u16string_view kGlyphErrorsMessage = u"При загрузке шрифта были ошибки... см. в лог";
inline constexpr std::u16string_view kGlyphLoadFailedLog = u"Мне совсем поплохело от таких имён файлов...";
inline constexpr std::u16string_view kGlyphsNotLoadedMessage = u"Шрифт еще не загружен";

using FileExistsFn = std::function<bool(std::u16string_view)>;

// The folder fallback: `dir` + the part of `name` after its last "\" or "/".
std::u16string InFontDir(std::u16string_view dir, std::u16string_view name);

struct SheetCell {
  std::int32_t row = 0;  // from 0
  std::int32_t col = 0;  // from 0

  bool operator==(const SheetCell&) const = default;
};

// Cell n of a sheet of rows x cols cells, numbered left to right, then top
// to bottom; nullopt when the sheet has no such cell.
std::optional<SheetCell> SheetCellAt(std::int32_t n, std::int32_t rows, std::int32_t cols);

// The cell a picture reference "#n" names: the leading number after "#",
// rounded. nullopt when it is not a reference; `outOfRange` is set for a
// number outside 16 bits, which abandons the load.
std::optional<std::int32_t> SheetReference(std::u16string_view picture, bool* outOfRange);

struct GlyphSource {
  enum class Kind { File, SheetCell, Placeholder };
  Kind kind = Kind::Placeholder;
  std::u16string file;    // Kind::File
  std::int32_t cell = 0;  // Kind::SheetCell

  bool operator==(const GlyphSource&) const = default;
};

struct GlyphPlan {
  bool failed = false;               // a name the load cannot use: log kGlyphLoadFailedLog and stop
  std::u16string sheetFile;          // the font sheet to load; empty keeps the sheet held before
  std::vector<GlyphSource> entries;  // records 0..lastMappingIndex, then the unknown entry
  std::vector<LogLine> log;          // one line per missing picture
  bool missingPictures = false;      // show kGlyphErrorsMessage once
};

// Decides every entry of the glyph store. Like the load, it writes the
// folder fallback into FontFileName and the records' pictures, and the
// marker into records without a picture.
GlyphPlan PlanGlyphStore(FontDescriptionTable& fdt, const FileExistsFn& exists);

}  // namespace vorkat
