#include "tiles/tile_format.h"

#include "core/text.h"

namespace vorkat {

int TileBytes(TileFormat f) {
  switch (f) {
    case TileFormat::GB1: return 8;
    case TileFormat::GB2: return 16;
    case TileFormat::GBA4: return 32;
    case TileFormat::GBA8: return 64;
  }
  return 8;
}

int TileColours(TileFormat f) {
  switch (f) {
    case TileFormat::GB1: return 2;
    case TileFormat::GB2: return 4;
    case TileFormat::GBA4: return 16;
    case TileFormat::GBA8: return 256;
  }
  return 2;
}

std::u16string_view TileFormatName(TileFormat f) {
  switch (f) {
    case TileFormat::GB1: return u"GB1";
    case TileFormat::GB2: return u"GB2";
    case TileFormat::GBA4: return u"GBA4";
    case TileFormat::GBA8: return u"GBA8";
  }
  return u"GB1";
}

std::optional<TileFormat> ParseTileFormat(std::u16string_view name) {
  const std::u16string wanted = UCase(TrimBlanks(name));
  for (TileFormat f : {TileFormat::GB1, TileFormat::GB2, TileFormat::GBA4, TileFormat::GBA8})
    if (wanted == TileFormatName(f)) return f;
  return std::nullopt;
}

TilePixels DecodeTile(TileFormat f, std::span<const std::uint8_t> bytes) {
  TilePixels px{};
  for (std::size_t y = 0; y < kTileSide; ++y) {
    std::uint8_t* row = px.data() + y * kTileSide;
    switch (f) {
      case TileFormat::GB1:
        for (unsigned x = 0; x < kTileSide; ++x) row[x] = static_cast<std::uint8_t>(bytes[y] >> (7 - x) & 1);
        break;
      case TileFormat::GB2: {
        const unsigned lo = bytes[2 * y], hi = bytes[2 * y + 1];
        for (unsigned x = 0; x < kTileSide; ++x)
          row[x] = static_cast<std::uint8_t>((hi >> (7 - x) & 1) << 1 | (lo >> (7 - x) & 1));
        break;
      }
      case TileFormat::GBA4:
        for (std::size_t x = 0; x < kTileSide; x += 2) {
          const std::uint8_t b = bytes[4 * y + x / 2];
          row[x] = b & 0x0F;
          row[x + 1] = static_cast<std::uint8_t>(b >> 4);
        }
        break;
      case TileFormat::GBA8:
        for (std::size_t x = 0; x < kTileSide; ++x) row[x] = bytes[8 * y + x];
        break;
    }
  }
  return px;
}

void EncodeTile(TileFormat f, const TilePixels& pixels, std::span<std::uint8_t> out) {
  for (std::size_t y = 0; y < kTileSide; ++y) {
    const std::uint8_t* row = pixels.data() + y * kTileSide;
    switch (f) {
      case TileFormat::GB1: {
        unsigned b = 0;
        for (unsigned x = 0; x < kTileSide; ++x) b |= (row[x] & 1u) << (7 - x);
        out[y] = static_cast<std::uint8_t>(b);
        break;
      }
      case TileFormat::GB2: {
        unsigned lo = 0, hi = 0;
        for (unsigned x = 0; x < kTileSide; ++x) {
          lo |= (row[x] & 1u) << (7 - x);
          hi |= (row[x] >> 1 & 1u) << (7 - x);
        }
        out[2 * y] = static_cast<std::uint8_t>(lo);
        out[2 * y + 1] = static_cast<std::uint8_t>(hi);
        break;
      }
      case TileFormat::GBA4:
        for (std::size_t x = 0; x < kTileSide; x += 2)
          out[4 * y + x / 2] = static_cast<std::uint8_t>((row[x] & 0x0F) | (row[x + 1] & 0x0F) << 4);
        break;
      case TileFormat::GBA8:
        for (std::size_t x = 0; x < kTileSide; ++x) out[8 * y + x] = row[x];
        break;
    }
  }
}

}  // namespace vorkat
