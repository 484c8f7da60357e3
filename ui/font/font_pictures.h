// Glyph and preview pictures: loading BMP / GIF / JPEG files, cutting the
// font sheet into cells, drawing layout steps by bitwise AND, saving BMP.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "font/fdt.h"
#include "font/glyph_names.h"
#include "font/log_lines.h"
#include "font/preview_layout.h"
#include "font/preview_settings.h"

namespace vorkat::ui {

// Every picture is kept as 32-bit RGB, the format the AND drawing needs.
std::optional<QImage> LoadPicture(std::u16string_view fileName);
// Saves through a temporary file; with RotateBak an existing file is kept as
// its name + ".bak".
bool SavePictureBmp(const QImage& picture, std::u16string_view fileName, Backup backup = Backup::None);

// Cell n of a sheet divided into rows x cols equal cells (the remainder of
// an uneven division is left out); nullopt when there is no such cell.
std::optional<QImage> SheetCellPicture(const QImage& sheet, std::int32_t rows, std::int32_t cols, std::int32_t n);

// The picture shown when neither a glyph's picture nor the unknown-character
// picture exists: a dark frame with a cross, width x height.
QImage PlaceholderGlyph(int width, int height);

// The glyph store: entry k is record k, the last entry the unknown picture.
// Pictures keep their own size.
struct GlyphStore {
  std::vector<QImage> entries;
  bool complete = false;  // false: a picture could not be used (log kGlyphLoadFailedLog)
};

// Loads the pictures the plan names, calling onEntry with each entry's index
// before it is loaded (for a progress bar). `sheet` is replaced when the plan names
// a sheet file and kept otherwise, as the load does.
GlyphStore LoadGlyphStore(const GlyphPlan& plan, QImage& sheet, std::int32_t sheetRows, std::int32_t sheetCols,
                          int fontWidth, int fontHeight, const std::function<void(std::size_t)>& onEntry = {});

struct FontPicturesLoad {
  bool fdtNotLoaded = false;       // show kFdtNotLoadedMessage; nothing was done
  GlyphStore store;                // complete: the glyphs are loaded
  std::vector<LogLine> log;        // missing pictures, then kGlyphLoadFailedLog on a failure
  bool showErrorsMessage = false;  // show kGlyphErrorsMessage once
};

// The glyph load: plans the store against the files that exist, loads its
// pictures and, when the store is complete, takes the print position and
// spacing over from the settings' texts.
FontPicturesLoad LoadFntPics(FontDescriptionTable& fdt, QImage& sheet, PreviewSettings& ps,
                             std::u16string_view VivorurePrnXPrnY, std::u16string_view interletterspacing,
                             const std::function<void(std::size_t)>& onEntry = {});

// Draws steps from `from` on; stops after a pause step so that the caller
// can show its message, and returns the index of the next step. A clear
// copies `background` (or fills white when it is null).
std::size_t DrawSteps(QImage& target, std::span<const DrawStep> steps, std::size_t from, const GlyphStore& store,
                      const QImage& background);

}  // namespace vorkat::ui
