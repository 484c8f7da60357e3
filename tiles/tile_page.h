// The tile window's page model: which cells are visible, their pixels, the
// moves of the keys and the selected rectangle. The window only scales the
// page's pixels and draws the selection frame.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "tiles/tile_sheet.h"

namespace vorkat {

struct TileView {
  std::int64_t offset = 0;  // where the top-left cell's bytes start
  TileLayout layout;
  int perRow = 16;
  int zoom = 2;

  std::int64_t RowBytes() const { return std::int64_t{perRow} * layout.CellBytes(); }
};

// A rectangle of cells in the grid of the view's cells per row: its top-left
// cell starts at `first`. Kept in bytes, so it stays on its tiles while the
// view moves by rows or pages.
struct TileSelection {
  std::int64_t first = 0;
  int rows = 1;
  int cols = 1;
};

// A rectangle of the page, in cells.
struct CellRect {
  int row = 0;
  int col = 0;
  int rows = 0;
  int cols = 0;
};

struct TilePage {
  int rows = 0;
  std::vector<std::int64_t> cells;  // row by row, perRow per row
  IndexedImage pixels;              // unscaled
};

// Whole rows of cells that fit in a viewport of that height in screen pixels (at least 1).
int VisibleRows(const TileView& view, int viewportHeight);
TilePage FillTilePage(std::span<const std::uint8_t> data, const TileView& view, int rows);

enum class TileStep { Byte, Tile, Row, Page };
// The offset after a move by one step forwards (direction > 0) or backwards,
// kept between 0 and the last byte of the data.
std::int64_t MoveOffset(const TileView& view, TileStep step, int direction, int pageRows, std::int64_t dataSize);

// The cell of the page under a point of the unscaled page, if any.
std::optional<CellRect> CellAt(const TileView& view, int pageRows, int x, int y);
// The selection spanned by two cells of the page (either corner first).
TileSelection SelectionBetween(const TileView& view, CellRect a, CellRect b);
// The part of the selection the page shows; none when it shows none, or when
// the view's cells do not line up with the selection's.
std::optional<CellRect> VisibleSelection(const TileView& view, int pageRows, const TileSelection& selection);

}  // namespace vorkat
