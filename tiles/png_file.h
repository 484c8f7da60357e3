// PNG pictures for tile sheets: read any PNG, write an indexed-colour one.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tiles/tile_palette.h"
#include "tiles/tile_sheet.h"

namespace vorkat {

// Sheets larger than this on a side, or over 16 M pixels, are refused
// before their pixels are read.
inline constexpr int kMaxPngSide = 16384;
inline constexpr std::int64_t kMaxPngPixels = std::int64_t{1} << 24;

enum class PngError { None, NotPng, TooLarge, Broken };

struct PngPicture {
  PngError error = PngError::None;
  int width = 0;
  int height = 0;
  // A colour-mapped file keeps its palette and one index per pixel; any
  // other has no palette and three bytes (R, G, B) per pixel, its alpha laid
  // over white.
  TilePalette palette;
  std::vector<std::uint8_t> pixels;
};

PngPicture ReadPng(std::span<const std::uint8_t> file);
// The sheet as an indexed-colour PNG with the palette as it is (at most 256
// entries); empty when libpng refuses it.
std::vector<std::uint8_t> WritePng(const IndexedImage& sheet, const TilePalette& palette);

// The picture in the palette's indexes: entry k of the file's own palette
// stays k when it is the same colour as the tile palette's entry k (so an
// unchanged sheet comes back exact even with repeated colours); any other
// colour becomes the nearest entry.
IndexedImage MapToPalette(const PngPicture& picture, const TilePalette& palette);

}  // namespace vorkat
