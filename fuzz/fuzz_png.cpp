// Feeds arbitrary bytes to the PNG reader; a picture it accepts is mapped to
// a palette and must come back the same through the writer.
#include <cstddef>
#include <cstdint>

#include "tiles/png_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  const PngPicture picture = ReadPng(std::span<const std::uint8_t>(data, size));
  if (picture.error != PngError::None) return 0;
  if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxPngSide || picture.height > kMaxPngSide)
    __builtin_trap();
  const TilePalette palette = GreyRamp(16);
  const IndexedImage sheet = MapToPalette(picture, palette);
  for (std::uint8_t v : sheet.pixels)
    if (v >= palette.size()) __builtin_trap();
  const PngPicture back = ReadPng(WritePng(sheet, palette));
  if (back.error != PngError::None || MapToPalette(back, palette).pixels != sheet.pixels) __builtin_trap();
  return 0;
}
