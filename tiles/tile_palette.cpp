#include "tiles/tile_palette.h"

namespace vorkat {

TilePalette GreyRamp(int colours) {
  TilePalette p;
  const int last = colours > 1 ? colours - 1 : 1;
  for (int i = 0; i < colours; ++i) {
    const auto v = static_cast<std::uint8_t>(255 - (255 * i + last / 2) / last);
    p.push_back(Rgb{v, v, v});
  }
  return p;
}

std::optional<TilePalette> ReadBgr555Palette(std::span<const std::uint8_t> rom, std::int64_t offset, int colours) {
  if (offset < 0 || colours <= 0 || offset + 2 * std::int64_t{colours} > static_cast<std::int64_t>(rom.size()))
    return std::nullopt;
  auto widen = [](unsigned c) { return static_cast<std::uint8_t>(c << 3 | c >> 2); };
  TilePalette p;
  for (int i = 0; i < colours; ++i) {
    const auto at = static_cast<std::size_t>(offset + 2 * i);
    const unsigned v = rom[at] | static_cast<unsigned>(rom[at + 1]) << 8;
    p.push_back(Rgb{widen(v & 0x1F), widen(v >> 5 & 0x1F), widen(v >> 10 & 0x1F)});
  }
  return p;
}

std::uint8_t NearestEntry(const TilePalette& palette, Rgb colour) {
  std::size_t best = 0;
  int bestDistance = -1;
  for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
    const int dr = palette[i].r - colour.r, dg = palette[i].g - colour.g, db = palette[i].b - colour.b;
    const int d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
      if (d == 0) break;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace vorkat
