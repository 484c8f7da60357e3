// Puts bytes into a ROM image as a load would leave it, for tests that need a
// loaded ROM without a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/rom.h"

namespace vorkat {

// `fileName` empty leaves the image's file name as it is.
template <class Image>
void PutRomBytes(Image& rom, std::span<const std::uint8_t> bytes, std::u16string fileName = {}) {
  rom.bytes.assign(bytes.begin(), bytes.end());
  if (!fileName.empty()) rom.fileName = std::move(fileName);
  rom.isLoaded = true;
}

template <class Image>
void PutRomFill(Image& rom, std::size_t size, std::uint8_t fill, std::u16string fileName = {}) {
  rom.bytes.assign(size, fill);
  if (!fileName.empty()) rom.fileName = std::move(fileName);
  rom.isLoaded = true;
}

}  // namespace vorkat
