#include "tiles/tile_page.h"

#include <algorithm>

namespace vorkat {

int VisibleRows(const TileView& view, int viewportHeight) {
  const int cell = view.layout.CellHeight() * std::max(view.zoom, 1);
  return std::max(viewportHeight / cell, 1);
}

TilePage FillTilePage(std::span<const std::uint8_t> data, const TileView& view, int rows) {
  TilePage page;
  page.rows = rows;
  page.cells = CellRectOffsets(view.offset, view.perRow, view.layout.CellBytes(), rows, view.perRow);
  page.pixels = CellsToSheet(data, view.layout, page.cells, view.perRow);
  return page;
}

std::int64_t MoveOffset(const TileView& view, TileStep step, int direction, int pageRows, std::int64_t dataSize) {
  std::int64_t by = 1;
  switch (step) {
    case TileStep::Byte: by = 1; break;
    case TileStep::Tile: by = view.layout.CellBytes(); break;
    case TileStep::Row: by = view.RowBytes(); break;
    case TileStep::Page: by = view.RowBytes() * std::max(pageRows, 1); break;
  }
  const std::int64_t to = view.offset + (direction > 0 ? by : -by);
  return std::clamp<std::int64_t>(to, 0, std::max<std::int64_t>(dataSize - 1, 0));
}

std::optional<CellRect> CellAt(const TileView& view, int pageRows, int x, int y) {
  if (x < 0 || y < 0) return std::nullopt;
  const int col = x / kTileSide;
  const int row = y / view.layout.CellHeight();
  if (col >= view.perRow || row >= pageRows) return std::nullopt;
  return CellRect{row, col, 1, 1};
}

TileSelection SelectionBetween(const TileView& view, CellRect a, CellRect b) {
  const int row = std::min(a.row, b.row), col = std::min(a.col, b.col);
  TileSelection s;
  s.first = view.offset + (std::int64_t{row} * view.perRow + col) * view.layout.CellBytes();
  s.rows = std::abs(a.row - b.row) + 1;
  s.cols = std::abs(a.col - b.col) + 1;
  return s;
}

std::optional<CellRect> VisibleSelection(const TileView& view, int pageRows, const TileSelection& selection) {
  const std::int64_t cellBytes = view.layout.CellBytes();
  const std::int64_t d = selection.first - view.offset;
  // Floor division: the selection may start above the page.
  const std::int64_t cellIndex = d >= 0 ? d / cellBytes : -((-d + cellBytes - 1) / cellBytes);
  if (cellIndex * cellBytes != d) return std::nullopt;
  const std::int64_t perRow = view.perRow;
  const std::int64_t row = cellIndex >= 0 ? cellIndex / perRow : -((-cellIndex + perRow - 1) / perRow);
  const std::int64_t col = cellIndex - row * perRow;
  const std::int64_t top = std::max<std::int64_t>(row, 0);
  const std::int64_t bottom = std::min<std::int64_t>(row + selection.rows, pageRows);
  const std::int64_t right = std::min<std::int64_t>(col + selection.cols, perRow);
  if (top >= bottom || col >= right) return std::nullopt;
  return CellRect{static_cast<int>(top), static_cast<int>(col), static_cast<int>(bottom - top),
                  static_cast<int>(right - col)};
}

}  // namespace vorkat
