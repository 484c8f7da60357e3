// Tile palettes: a grey ramp, or BGR555 colours read from the ROM.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vorkat {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};
using TilePalette = std::vector<Rgb>;

// `colours` greys from white (index 0, the Game Boy's lightest shade) to black.
TilePalette GreyRamp(int colours);
// `colours` 16-bit little-endian BGR555 entries at `offset` (bits 0-4 red,
// 5-9 green, 10-14 blue), each 5-bit component widened as (c << 3) | (c >> 2);
// none when they do not all lie in the ROM.
std::optional<TilePalette> ReadBgr555Palette(std::span<const std::uint8_t> rom, std::int64_t offset, int colours);
// The entry closest to the colour (squared distance), the first of equals.
std::uint8_t NearestEntry(const TilePalette& palette, Rgb colour);

}  // namespace vorkat
