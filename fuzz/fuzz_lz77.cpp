// Feeds arbitrary bytes to the LZ77 decompressor; what it accepts, and the
// bytes themselves, must survive a compression and a decompression.
#include <cstddef>
#include <cstdint>

#include "tiles/lz77.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  const std::span<const std::uint8_t> input(data, size);
  const Lz77Block block = DecompressLz77(input);
  if (block.error == Lz77Error::None && block.compressedLength > size) __builtin_trap();
  for (std::span<const std::uint8_t> raw : {input, std::span<const std::uint8_t>(block.data)}) {
    const Lz77Block back = DecompressLz77(CompressLz77(raw));
    if (back.error != Lz77Error::None || !std::equal(raw.begin(), raw.end(), back.data.begin(), back.data.end()))
      __builtin_trap();
  }
  return 0;
}
