// Console tile formats: 8x8 pixels, rows top to bottom, one palette index per pixel.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vorkat {

// GB1: 1 bpp, a byte per row, bit 7 leftmost. GB2: 2 bpp, each row a byte of
// the low bit plane then one of the high plane (the Game Boy's video memory).
// GBA4: 4 bpp, low nibble the left pixel. GBA8: a byte per pixel.
enum class TileFormat : std::uint8_t { GB1, GB2, GBA4, GBA8 };

inline constexpr int kTileSide = 8;
inline constexpr int kTilePixels = kTileSide * kTileSide;
using TilePixels = std::array<std::uint8_t, kTilePixels>;

int TileBytes(TileFormat f);    // 8, 16, 32, 64
int TileColours(TileFormat f);  // 2, 4, 16, 256
std::u16string_view TileFormatName(TileFormat f);
// GB1, GB2, GBA4, GBA8 in any letter case, blanks around allowed.
std::optional<TileFormat> ParseTileFormat(std::u16string_view name);

// `bytes` holds at least TileBytes(f) bytes.
TilePixels DecodeTile(TileFormat f, std::span<const std::uint8_t> bytes);
// Indexes above the format's colours keep only the bits the format has.
void EncodeTile(TileFormat f, const TilePixels& pixels, std::span<std::uint8_t> out);

}  // namespace vorkat
