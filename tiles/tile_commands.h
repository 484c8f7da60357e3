// Tiles of the ROM to a PNG sheet and back: what the tile window and the
// batch commands TILESEXPORT / TILESIMPORT run. The tiles lie in the ROM, or
// in an LZ77 block of the ROM, which an import compresses again.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tiles/lz77.h"
#include "tiles/tile_palette.h"
#include "tiles/tile_sheet.h"

namespace vorkat {

struct CoreState;
struct Context;

struct TileSheetJob {
  TileLayout layout;
  std::vector<std::int64_t> cells;  // offsets in the data: the ROM, or the decompressed block
  // An import without cells: a run of cells from here, as many as the
  // sheet's rows hold (a sheet of part of a row is of the wrong size).
  std::int64_t runFrom = 0;
  int columns = 16;  // cells per sheet row
  TilePalette palette;
  std::optional<std::int64_t> lz77Block;  // the ROM offset of the block the data is in
};

// Free space a compressed block that outgrew its place may move to; its
// GBA pointers are then rewritten. Both 0: none, such a block is refused.
struct Lz77Room {
  std::int32_t start = 0;
  std::int32_t end = 0;  // last byte
  bool given() const { return start > 0 || end > 0; }
};

// Where a recompressed block goes.
struct Lz77WritePlan {
  enum class Kind { InPlace, Moved, TooBig, NoRoom, NoPointers } kind = Kind::TooBig;
  std::int64_t at = 0;                 // where it is written
  std::size_t need = 0;                // bytes the new stream takes
  std::size_t had = 0;                 // bytes the old stream took
  std::vector<std::int32_t> pointers;  // GBA pointers to the old place (4-byte aligned) for a move
};
// Changes nothing: in place when the new stream is no longer than the old
// one, else in the room (its first 4-byte aligned offset) when given, the
// stream fits there and pointers to the old block exist.
Lz77WritePlan PlanLz77Write(std::span<const std::uint8_t> rom, std::int64_t blockOffset, std::size_t oldLength,
                            std::size_t newLength, Lz77Room room);
// Writes the stream as planned: in place the rest of the old block is
// zeroed; a move rewrites the planned pointers.
void ApplyLz77Write(std::span<std::uint8_t> rom, const Lz77WritePlan& plan, std::span<const std::uint8_t> stream);

// The block at `offset` of the ROM, or none with its error logged in bright red.
std::optional<Lz77Block> ReadLz77Block(Context& ctx, std::span<const std::uint8_t> rom, std::int64_t offset);

// Writes the job's cells as an indexed PNG; true when written.
bool ExportTileSheet(CoreState state, const TileSheetJob& job, const std::u16string& fileName);
// Reads the PNG and writes its cells into the tiles; refuses (naming the
// file, changing nothing) a file that is no readable PNG, of another size,
// or whose compressed block does not fit. `blockAt` gets where the job's
// LZ77 block is afterwards.
bool ImportTileSheet(CoreState state, const TileSheetJob& job, const std::u16string& fileName, Lz77Room room = {},
                     std::int64_t* blockAt = nullptr);

}  // namespace vorkat
