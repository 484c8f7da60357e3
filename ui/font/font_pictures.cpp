#include "ui/font/font_pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QString>

#include "core/file_io.h"

namespace vorkat::ui {

namespace {

QString ToQString(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

QImage Rgb32(QImage image) {
  return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

std::optional<QImage> LoadPicture(std::u16string_view fileName) {
  QImage image;
  if (!image.load(ToQString(fileName))) return std::nullopt;
  return Rgb32(std::move(image));
}

bool SavePictureBmp(const QImage& picture, std::u16string_view fileName, Backup backup) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, "BMP")) return false;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  return WriteFileAtomic(fileName, std::span(data, static_cast<std::size_t>(bytes.size())), backup, nullptr);
}

std::optional<QImage> SheetCellPicture(const QImage& sheet, std::int32_t rows, std::int32_t cols, std::int32_t n) {
  const std::optional<SheetCell> cell = SheetCellAt(n, rows, cols);
  if (!cell || sheet.isNull()) return std::nullopt;
  const int w = sheet.width() / cols;
  const int h = sheet.height() / rows;
  if (w <= 0 || h <= 0) return std::nullopt;
  return Rgb32(sheet.copy(cell->col * w, cell->row * h, w, h));
}

QImage PlaceholderGlyph(int width, int height) {
  QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setPen(QColor(64, 64, 64));
  p.drawRect(0, 0, image.width() - 1, image.height() - 1);
  p.drawLine(0, 0, image.width() - 1, image.height() - 1);
  p.drawLine(0, image.height() - 1, image.width() - 1, 0);
  return image;
}

GlyphStore LoadGlyphStore(const GlyphPlan& plan, QImage& sheet, std::int32_t sheetRows, std::int32_t sheetCols,
                          int fontWidth, int fontHeight, const std::function<void(std::size_t)>& onEntry) {
  GlyphStore store;
  if (plan.failed) return store;
  if (!plan.sheetFile.empty()) {
    std::optional<QImage> loaded = LoadPicture(plan.sheetFile);
    if (!loaded) return store;
    sheet = std::move(*loaded);
  }
  const QImage placeholder = PlaceholderGlyph(fontWidth, fontHeight);
  store.entries.reserve(plan.entries.size());
  for (const GlyphSource& source : plan.entries) {
    if (onEntry) onEntry(store.entries.size());
    std::optional<QImage> picture;
    switch (source.kind) {
      case GlyphSource::Kind::File: picture = LoadPicture(source.file); break;
      case GlyphSource::Kind::SheetCell: picture = SheetCellPicture(sheet, sheetRows, sheetCols, source.cell); break;
      case GlyphSource::Kind::Placeholder: picture = placeholder; break;
    }
    if (!picture) return store;  // entries so far stay but are not used
    store.entries.push_back(std::move(*picture));
  }
  store.complete = true;
  return store;
}

FontPicturesLoad LoadFntPics(FontDescriptionTable& fdt, QImage& sheet, PreviewSettings& ps,
                             std::u16string_view VivorurePrnXPrnY, std::u16string_view interletterspacing,
                             const std::function<void(std::size_t)>& onEntry) {
  FontPicturesLoad load;
  if (!fdt.isLoaded) {
    load.fdtNotLoaded = true;
    return load;
  }
  GlyphPlan plan = PlanGlyphStore(fdt, [](std::u16string_view name) { return FileExists(name); });
  load.log = std::move(plan.log);
  // A sheet without a grid size is one cell.
  const std::int32_t rows = fdt.FontClipRows > 0 ? fdt.FontClipRows : 1;
  const std::int32_t cols = fdt.FontClipCols > 0 ? fdt.FontClipCols : 1;
  if (!plan.failed) load.store = LoadGlyphStore(plan, sheet, rows, cols, fdt.fontWidth, fdt.fontHeight, onEntry);
  if (!load.store.complete) {
    load.log.push_back({std::u16string(kGlyphLoadFailedLog)});
    return load;
  }
  load.showErrorsMessage = plan.missingPictures;
  TakeOverPreviewValues(ps, VivorurePrnXPrnY, interletterspacing);
  return load;
}

std::size_t DrawSteps(QImage& target, std::span<const DrawStep> steps, std::size_t from, const GlyphStore& store,
                      const QImage& background) {
  if (target.format() != QImage::Format_RGB32) target = target.convertToFormat(QImage::Format_RGB32);
  QPainter p(&target);
  p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
  for (std::size_t i = from; i < steps.size(); ++i) {
    const DrawStep& step = steps[i];
    switch (step.kind) {
      case StepKind::Glyph:
        if (step.entry >= 0 && static_cast<std::size_t>(step.entry) < store.entries.size())
          p.drawImage(step.x, step.y, store.entries[static_cast<std::size_t>(step.entry)]);
        break;
      case StepKind::Clear:
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(target.rect(), Qt::white);
        if (!background.isNull()) p.drawImage(0, 0, background);
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
      case StepKind::PauseScroll:
      case StepKind::PauseMore: return i + 1;
    }
  }
  return steps.size();
}

}  // namespace vorkat::ui
