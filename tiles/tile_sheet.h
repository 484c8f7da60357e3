// Tiles laid out as a sheet of cells and back. A cell is one tile, or with a
// tile height of 16 a glyph of two tiles: the upper tile, then the lower one.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tiles/tile_format.h"

namespace vorkat {

// A picture of palette indexes, rows top to bottom.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

struct TileLayout {
  TileFormat format = TileFormat::GBA4;
  int tileHeight = 8;  // 8 or 16

  int TilesPerCell() const { return tileHeight == 16 ? 2 : 1; }
  int CellHeight() const { return kTileSide * TilesPerCell(); }
  int CellBytes() const { return TileBytes(format) * TilesPerCell(); }
};

// The offsets of `count` cells one after another from `first`.
std::vector<std::int64_t> CellRun(std::int64_t first, std::int64_t count, int cellBytes);
// The offsets of a rectangle of cells, row by row, in a grid of `perRow`
// cells per row whose top-left cell starts at `first`.
std::vector<std::int64_t> CellRectOffsets(std::int64_t first, int perRow, int cellBytes, int rows, int cols);

// Cell i goes to column i % columns, row i / columns; the sheet has whole
// rows. A cell whose bytes are not all in `data` is blank (index 0).
IndexedImage CellsToSheet(std::span<const std::uint8_t> data, const TileLayout& layout,
                          std::span<const std::int64_t> cells, int columns);

enum class SheetFit { Fits, WrongSize, PastEnd };
// The sheet's size as CellsToSheet makes it for these cells.
bool SheetSizeMatches(const IndexedImage& sheet, const TileLayout& layout, std::size_t cellCount, int columns);
// Writes the sheet's cells back into `data`, or changes nothing: WrongSize
// when the sheet is not the size CellsToSheet gives, PastEnd when a cell not
// wholly in the data holds anything but index 0.
SheetFit SheetToCells(const IndexedImage& sheet, const TileLayout& layout, std::span<const std::int64_t> cells,
                      int columns, std::span<std::uint8_t> data);

}  // namespace vorkat
