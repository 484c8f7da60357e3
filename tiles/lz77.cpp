#include "tiles/lz77.h"

#include <algorithm>

namespace vorkat {

namespace {

constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kWindow = 4096;
// The shortest distance the compressor uses (see CompressLz77).
constexpr std::size_t kMinDistance = 2;
// How many earlier places of the same 3 bytes a match search looks at.
constexpr int kChainLimit = 256;
constexpr std::size_t kHashBits = 13;

std::size_t Hash3(const std::uint8_t* p) {
  const std::uint32_t v = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

Lz77Block DecompressLz77(std::span<const std::uint8_t> src) {
  Lz77Block block;
  if (src.size() < 4 || src[0] != kLz77Type) {
    block.error = Lz77Error::NotLz77;
    return block;
  }
  const std::size_t size = src[1] | static_cast<std::size_t>(src[2]) << 8 | static_cast<std::size_t>(src[3]) << 16;
  // Each flag bit stands for at most 18 bytes, so a stream this short cannot
  // reach the size: say so before allocating for it.
  if (size > (src.size() - 4) * 18) {
    block.error = Lz77Error::Truncated;
    return block;
  }
  std::vector<std::uint8_t>& out = block.data;
  out.reserve(size);
  std::size_t pos = 4;
  while (out.size() < size) {
    if (pos >= src.size()) {
      block.error = Lz77Error::Truncated;
      return block;
    }
    const unsigned flags = src[pos++];
    for (int bit = 7; bit >= 0 && out.size() < size; --bit) {
      if (!(flags >> bit & 1)) {
        if (pos >= src.size()) {
          block.error = Lz77Error::Truncated;
          return block;
        }
        out.push_back(src[pos++]);
        continue;
      }
      if (pos + 1 >= src.size()) {
        block.error = Lz77Error::Truncated;
        return block;
      }
      const std::size_t length = (src[pos] >> 4) + kMinMatch;
      const std::size_t distance = ((src[pos] & 0x0Fu) << 8 | src[pos + 1]) + 1;
      pos += 2;
      if (distance > out.size()) {
        block.error = Lz77Error::BeforeStart;
        return block;
      }
      // Byte by byte: an overlapping copy repeats what it has just written.
      for (std::size_t k = 0; k < length && out.size() < size; ++k) out.push_back(out[out.size() - distance]);
    }
  }
  block.compressedLength = pos;
  return block;
}

std::vector<std::uint8_t> CompressLz77(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  if (data.size() > kLz77MaxSize) return out;
  out.reserve(4 + data.size() + data.size() / 8 + 4);
  out.push_back(kLz77Type);
  out.push_back(static_cast<std::uint8_t>(data.size()));
  out.push_back(static_cast<std::uint8_t>(data.size() >> 8));
  out.push_back(static_cast<std::uint8_t>(data.size() >> 16));

  // head[h]: the last position whose 3 bytes hash to h; prev[p % window]: the one before p.
  std::vector<std::int32_t> head(std::size_t{1} << kHashBits, -1);
  std::vector<std::int32_t> prev(kWindow, -1);
  auto insert = [&](std::size_t p) {
    if (p + kMinMatch > data.size()) return;
    const std::size_t h = Hash3(data.data() + p);
    prev[p % kWindow] = head[h];
    head[h] = static_cast<std::int32_t>(p);
  };

  std::size_t pos = 0;
  std::size_t flagAt = 0;
  int tokens = 8;
  while (pos < data.size()) {
    if (tokens == 8) {
      flagAt = out.size();
      out.push_back(0);
      tokens = 0;
    }
    std::size_t bestLength = 0, bestDistance = 0;
    if (pos + kMinMatch <= data.size()) {
      const std::size_t maxLength = std::min(kMaxMatch, data.size() - pos);
      std::int32_t candidate = head[Hash3(data.data() + pos)];
      for (int chain = 0; candidate >= 0 && chain < kChainLimit; ++chain) {
        const auto c = static_cast<std::size_t>(candidate);
        const std::size_t distance = pos - c;
        if (distance > kWindow) break;
        if (distance >= kMinDistance) {
          std::size_t length = 0;
          while (length < maxLength && data[c + length] == data[pos + length]) ++length;
          if (length > bestLength) {
            bestLength = length;
            bestDistance = distance;
            if (length == maxLength) break;
          }
        }
        const std::int32_t next = prev[c % kWindow];
        // A slot reused by a later position ends the chain.
        if (next >= candidate) break;
        candidate = next;
      }
    }
    if (bestLength >= kMinMatch) {
      out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | 0x80 >> tokens);
      const std::size_t d = bestDistance - 1;
      out.push_back(static_cast<std::uint8_t>((bestLength - kMinMatch) << 4 | d >> 8));
      out.push_back(static_cast<std::uint8_t>(d & 0xFF));
      for (std::size_t k = 0; k < bestLength; ++k) insert(pos + k);
      pos += bestLength;
    } else {
      out.push_back(data[pos]);
      insert(pos);
      ++pos;
    }
    ++tokens;
  }
  while (out.size() % 4 != 0) out.push_back(0);
  return out;
}

}  // namespace vorkat
