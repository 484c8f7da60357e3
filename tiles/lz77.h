// The GBA BIOS LZ77 scheme (SWI 0x11/0x12): a 4-byte header (0x10, then the
// 24-bit decompressed size, little-endian) and groups of a flag byte (bit 7
// first) and 8 tokens: a literal byte, or two bytes for a copy of 3-18
// bytes from 1-4096 bytes back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vorkat {

inline constexpr std::uint8_t kLz77Type = 0x10;
inline constexpr std::size_t kLz77MaxSize = 0xFFFFFF;

enum class Lz77Error { None, NotLz77, Truncated, BeforeStart };

struct Lz77Block {
  Lz77Error error = Lz77Error::None;
  std::vector<std::uint8_t> data;
  std::size_t compressedLength = 0;  // header and tokens, without padding
};

// Decodes the block at the start of `src`; a block is as long as its tokens
// take to give the header's size.
Lz77Block DecompressLz77(std::span<const std::uint8_t> src);

// A greedy match search over hash chains. Never a distance of 1: the video
// memory routine writes 16 bits at a time, so such a copy would read a byte
// not yet written. The result is padded with zeros to a multiple of 4 bytes
// (blocks start at 4-byte aligned addresses). Data above kLz77MaxSize is
// not compressible into one block: the result is then empty.
std::vector<std::uint8_t> CompressLz77(std::span<const std::uint8_t> data);

}  // namespace vorkat
