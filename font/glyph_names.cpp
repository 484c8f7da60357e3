#include "font/glyph_names.h"

#include <cmath>

#include "core/numbers.h"
#include "core/text.h"

namespace vorkat {

namespace {

bool HasSeparator(std::u16string_view name) { return name.find_first_of(u"\\/") != std::u16string_view::npos; }

// A name that is missing where it is written is looked for in FontDirPath.
void ApplyFolderFallback(std::u16string& name, const std::u16string& dir, const FileExistsFn& exists) {
  if (!dir.empty() && HasSeparator(name) && !exists(name)) name = InFontDir(dir, name);
}

GlyphSource UnknownPicture(const FontDescriptionTable& fdt, const FileExistsFn& exists) {
  if (!fdt.UnknownMappingChar.empty() && exists(fdt.UnknownMappingChar))
    return {GlyphSource::Kind::File, fdt.UnknownMappingChar, 0};
  return {GlyphSource::Kind::Placeholder, {}, 0};
}

}  // namespace

std::u16string InFontDir(std::u16string_view dir, std::u16string_view name) {
  const std::size_t sep = name.find_last_of(u"\\/");
  return std::u16string(dir) + std::u16string(sep == std::u16string_view::npos ? name : name.substr(sep + 1));
}

std::optional<SheetCell> SheetCellAt(std::int32_t n, std::int32_t rows, std::int32_t cols) {
  if (n < 0 || rows <= 0 || cols <= 0 || std::int64_t{n} >= std::int64_t{rows} * cols) return std::nullopt;
  return SheetCell{n / cols, n % cols};
}

std::optional<std::int32_t> SheetReference(std::u16string_view picture, bool* outOfRange) {
  const std::u16string trimmed = Trim(picture);
  if (trimmed.empty() || trimmed[0] != u'#') return std::nullopt;
  const double n = std::nearbyint(ReadNumber(std::u16string_view(trimmed).substr(1)));
  // Cell numbers are 16-bit: a larger one cannot name a cell.
  if (!(n >= -32768 && n <= 32767)) {
    if (outOfRange) *outOfRange = true;
    return std::nullopt;
  }
  return static_cast<std::int32_t>(n);
}

GlyphPlan PlanGlyphStore(FontDescriptionTable& fdt, const FileExistsFn& exists) {
  GlyphPlan plan;
  if (!exists(fdt.FontFileName) && !fdt.FontDirPath.empty() && HasSeparator(fdt.FontFileName))
    fdt.FontFileName = InFontDir(fdt.FontDirPath, fdt.FontFileName);
  if (exists(fdt.FontFileName)) plan.sheetFile = fdt.FontFileName;

  const GlyphSource unknown = UnknownPicture(fdt, exists);
  for (std::int32_t k = 0; k <= fdt.lastMappingIndex; ++k) {
    std::u16string& picture = fdt.mappings[static_cast<std::size_t>(k)].picture;
    if (Trim(picture).empty()) picture = std::u16string(kNoPictureMarker);
    ApplyFolderFallback(picture, fdt.FontDirPath, exists);

    bool outOfRange = false;
    if (std::optional<std::int32_t> cell = SheetReference(picture, &outOfRange)) {
      plan.entries.push_back({GlyphSource::Kind::SheetCell, {}, *cell});
      continue;
    }
    if (outOfRange) {
      plan.failed = true;
      return plan;
    }
    const bool marker = picture == kNoPictureMarker;
    if (!marker && exists(picture)) {
      plan.entries.push_back({GlyphSource::Kind::File, picture, 0});
      continue;
    }
    if (!marker) {
      plan.log.push_back(
          {u"Картинка по имени '" + picture + u"' не найдена\r\nвместо нее загрузим " + fdt.UnknownMappingChar});
      plan.missingPictures = true;
    }
    plan.entries.push_back(unknown);
  }
  plan.entries.push_back(unknown);
  return plan;
}

}  // namespace vorkat
