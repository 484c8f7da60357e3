#include "tiles/png_file.h"

#include <png.h>

#include <cstring>
#include <unordered_map>

namespace vorkat {

namespace {

// Frees what libpng holds for the picture when a read ends early.
struct ImageGuard {
  png_image& image;
  ~ImageGuard() { png_image_free(&image); }
};

}  // namespace

PngPicture ReadPng(std::span<const std::uint8_t> file) {
  PngPicture out;
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < sizeof kSignature || std::memcmp(file.data(), kSignature, sizeof kSignature) != 0) {
    out.error = PngError::NotPng;
    return out;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard{image};
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
    out.error = PngError::Broken;
    return out;
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxPngSide || image.height > kMaxPngSide ||
      std::int64_t{image.width} * image.height > kMaxPngPixels) {
    out.error = PngError::TooLarge;
    return out;
  }
  const bool mapped = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  image.format = mapped ? PNG_FORMAT_RGB_COLORMAP : PNG_FORMAT_RGB;
  const png_color white{255, 255, 255};
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  std::vector<std::uint8_t> colourMap(mapped ? PNG_IMAGE_COLORMAP_SIZE(image) : 0);
  if (!png_image_finish_read(&image, &white, pixels.data(), 0, mapped ? colourMap.data() : nullptr) ||
      PNG_IMAGE_FAILED(image)) {
    out.error = PngError::Broken;
    return out;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  if (mapped)
    for (std::size_t i = 0; i < image.colormap_entries; ++i)
      out.palette.push_back(Rgb{colourMap[3 * i], colourMap[3 * i + 1], colourMap[3 * i + 2]});
  out.pixels = std::move(pixels);
  return out;
}

std::vector<std::uint8_t> WritePng(const IndexedImage& sheet, const TilePalette& palette) {
  std::vector<std::uint8_t> file;
  if (palette.empty() || palette.size() > 256 || sheet.width <= 0 || sheet.height <= 0) return file;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(sheet.width);
  image.height = static_cast<png_uint_32>(sheet.height);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  // Sheets are small and written while the user waits: speed before size.
  image.flags = PNG_IMAGE_FLAG_FAST;
  image.colormap_entries = static_cast<png_uint_32>(palette.size());
  std::vector<std::uint8_t> colourMap;
  for (const Rgb& c : palette) colourMap.insert(colourMap.end(), {c.r, c.g, c.b});
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, sheet.pixels.data(), 0, colourMap.data())) return file;
  file.resize(size);
  if (!png_image_write_to_memory(&image, file.data(), &size, 0, sheet.pixels.data(), 0, colourMap.data())) {
    file.clear();
    return file;
  }
  file.resize(size);
  return file;
}

IndexedImage MapToPalette(const PngPicture& picture, const TilePalette& palette) {
  IndexedImage out;
  out.width = picture.width;
  out.height = picture.height;
  const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
  out.pixels.resize(count);
  if (!picture.palette.empty()) {
    std::vector<std::uint8_t> map;
    for (std::size_t k = 0; k < picture.palette.size(); ++k)
      map.push_back(k < palette.size() && palette[k] == picture.palette[k] ? static_cast<std::uint8_t>(k)
                                                                           : NearestEntry(palette, picture.palette[k]));
    for (std::size_t i = 0; i < count && i < picture.pixels.size(); ++i)
      out.pixels[i] = picture.pixels[i] < map.size() ? map[picture.pixels[i]] : 0;
    return out;
  }
  std::unordered_map<std::uint32_t, std::uint8_t> seen;
  for (std::size_t i = 0; i < count && 3 * i + 2 < picture.pixels.size(); ++i) {
    const Rgb c{picture.pixels[3 * i], picture.pixels[3 * i + 1], picture.pixels[3 * i + 2]};
    const std::uint32_t key = static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
    auto it = seen.find(key);
    if (it == seen.end()) it = seen.emplace(key, NearestEntry(palette, c)).first;
    out.pixels[i] = it->second;
  }
  return out;
}

}  // namespace vorkat
