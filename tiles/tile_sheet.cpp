#include "tiles/tile_sheet.h"

#include <algorithm>

namespace vorkat {

namespace {

bool CellInData(std::int64_t offset, const TileLayout& layout, std::size_t size) {
  return offset >= 0 && offset + layout.CellBytes() <= static_cast<std::int64_t>(size);
}

int SheetRows(std::size_t cellCount, int columns) {
  return static_cast<int>((static_cast<std::int64_t>(cellCount) + columns - 1) / columns);
}

// The sheet pixel where tile t of cell i starts.
std::size_t TileOrigin(const IndexedImage& sheet, const TileLayout& layout, std::size_t i, int columns, int t) {
  const auto col = static_cast<std::size_t>(static_cast<int>(i % static_cast<std::size_t>(columns)));
  const std::size_t row = i / static_cast<std::size_t>(columns);
  const std::size_t y = row * static_cast<std::size_t>(layout.CellHeight()) + static_cast<std::size_t>(t) * kTileSide;
  return y * static_cast<std::size_t>(sheet.width) + col * kTileSide;
}

}  // namespace

std::vector<std::int64_t> CellRun(std::int64_t first, std::int64_t count, int cellBytes) {
  std::vector<std::int64_t> cells;
  for (std::int64_t i = 0; i < count; ++i) cells.push_back(first + i * cellBytes);
  return cells;
}

std::vector<std::int64_t> CellRectOffsets(std::int64_t first, int perRow, int cellBytes, int rows, int cols) {
  std::vector<std::int64_t> cells;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) cells.push_back(first + (std::int64_t{r} * perRow + c) * cellBytes);
  return cells;
}

IndexedImage CellsToSheet(std::span<const std::uint8_t> data, const TileLayout& layout,
                          std::span<const std::int64_t> cells, int columns) {
  IndexedImage sheet;
  if (columns <= 0) return sheet;
  sheet.width = columns * kTileSide;
  sheet.height = SheetRows(cells.size(), columns) * layout.CellHeight();
  sheet.pixels.assign(static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height), 0);
  const auto tileBytes = static_cast<std::size_t>(TileBytes(layout.format));
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (!CellInData(cells[i], layout, data.size())) continue;
    for (int t = 0; t < layout.TilesPerCell(); ++t) {
      const TilePixels px = DecodeTile(layout.format, data.subspan(static_cast<std::size_t>(cells[i]) +
                                                                   static_cast<std::size_t>(t) * tileBytes));
      std::uint8_t* out = sheet.pixels.data() + TileOrigin(sheet, layout, i, columns, t);
      for (std::size_t y = 0; y < kTileSide; ++y)
        std::copy_n(px.data() + y * kTileSide, kTileSide, out + y * static_cast<std::size_t>(sheet.width));
    }
  }
  return sheet;
}

bool SheetSizeMatches(const IndexedImage& sheet, const TileLayout& layout, std::size_t cellCount, int columns) {
  return columns > 0 && sheet.width == columns * kTileSide &&
         sheet.height == SheetRows(cellCount, columns) * layout.CellHeight() &&
         sheet.pixels.size() == static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(sheet.height);
}

SheetFit SheetToCells(const IndexedImage& sheet, const TileLayout& layout, std::span<const std::int64_t> cells,
                      int columns, std::span<std::uint8_t> data) {
  if (!SheetSizeMatches(sheet, layout, cells.size(), columns)) return SheetFit::WrongSize;
  auto tileAt = [&](std::size_t i, int t) {
    TilePixels px{};
    const std::uint8_t* in = sheet.pixels.data() + TileOrigin(sheet, layout, i, columns, t);
    for (std::size_t y = 0; y < kTileSide; ++y)
      std::copy_n(in + y * static_cast<std::size_t>(sheet.width), kTileSide, px.data() + y * kTileSide);
    return px;
  };
  // Check every cell before writing any.
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (CellInData(cells[i], layout, data.size())) continue;
    for (int t = 0; t < layout.TilesPerCell(); ++t)
      for (std::uint8_t v : tileAt(i, t))
        if (v != 0) return SheetFit::PastEnd;
  }
  const auto tileBytes = static_cast<std::size_t>(TileBytes(layout.format));
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (!CellInData(cells[i], layout, data.size())) continue;
    for (int t = 0; t < layout.TilesPerCell(); ++t)
      EncodeTile(layout.format, tileAt(i, t),
                 data.subspan(static_cast<std::size_t>(cells[i]) + static_cast<std::size_t>(t) * tileBytes, tileBytes));
  }
  return SheetFit::Fits;
}

}  // namespace vorkat
