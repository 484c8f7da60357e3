// The BIOS LZ77 scheme: a hand-made stream, round trips, and the rules the
// console's decompressor sets for what the compressor writes.
#include <gtest/gtest.h>

#include <random>

#include "tiles/lz77.h"

using namespace vorkat;

namespace {

struct StreamFacts {
  std::size_t headerSize = 0;
  std::size_t produced = 0;
  std::size_t minDistance = 4097;
  bool beforeStart = false;
};

// Walks the tokens as the BIOS does, independently of the decompressor.
StreamFacts Walk(const std::vector<std::uint8_t>& s) {
  StreamFacts f;
  f.headerSize = s[1] | s[2] << 8 | s[3] << 16;
  std::size_t pos = 4;
  while (f.produced < f.headerSize) {
    const int flags = s.at(pos++);
    for (int bit = 7; bit >= 0 && f.produced < f.headerSize; --bit) {
      if (!(flags >> bit & 1)) {
        ++pos;
        ++f.produced;
        continue;
      }
      const std::size_t length = (s.at(pos) >> 4) + 3u;
      const std::size_t distance = ((s.at(pos) & 0x0Fu) << 8 | s.at(pos + 1)) + 1;
      pos += 2;
      f.minDistance = std::min(f.minDistance, distance);
      if (distance > f.produced) f.beforeStart = true;
      f.produced += length;
    }
  }
  return f;
}

}  // namespace

TEST(Lz77, DecompressesAHandMadeStream) {
  // Literals A, B, then a copy of 6 bytes from 2 back: ABABABAB.
  const std::vector<std::uint8_t> stream = {0x10, 0x08, 0x00, 0x00, 0x20, 'A', 'B', 0x30, 0x01, 0xEE};
  const Lz77Block block = DecompressLz77(stream);
  ASSERT_EQ(block.error, Lz77Error::None);
  EXPECT_EQ(std::string(block.data.begin(), block.data.end()), "ABABABAB");
  EXPECT_EQ(block.compressedLength, 9u);
  // A copy from 1 back repeats the last byte; the size cuts the copy short.
  const std::vector<std::uint8_t> run = {0x10, 0x04, 0x00, 0x00, 0x40, 'Z', 0xF0, 0x00};
  EXPECT_EQ(DecompressLz77(run).data, std::vector<std::uint8_t>(4, 'Z'));

  EXPECT_EQ(DecompressLz77(std::vector<std::uint8_t>{0x11, 0x01, 0, 0, 0, 1}).error, Lz77Error::NotLz77);
  EXPECT_EQ(DecompressLz77(std::vector<std::uint8_t>{0x10, 0x08, 0, 0, 0x00, 'A', 'B'}).error, Lz77Error::Truncated);
  EXPECT_EQ(DecompressLz77(std::vector<std::uint8_t>{0x10, 0x03, 0, 0, 0x80, 0x00, 0x00}).error,
            Lz77Error::BeforeStart);
  EXPECT_EQ(DecompressLz77(std::vector<std::uint8_t>{0x10, 0xFF, 0xFF, 0xFF, 0x00}).error, Lz77Error::Truncated);
}

TEST(Lz77, RoundTripsAndStaysReadableByTheBios) {
  std::mt19937 rng(26);
  std::vector<std::vector<std::uint8_t>> inputs;
  std::vector<std::uint8_t> random(5000);
  for (auto& b : random) b = static_cast<std::uint8_t>(rng());
  inputs.push_back(random);
  inputs.push_back(std::vector<std::uint8_t>(9000, 0x00));  // runs that tempt a distance of 1
  std::vector<std::uint8_t> tiles;
  for (int i = 0; i < 12000; ++i)
    tiles.push_back(static_cast<std::uint8_t>((i % 32 < 16 ? 0x11 : 0x21) * (i / 512 % 3)));
  inputs.push_back(tiles);
  inputs.push_back({});
  inputs.push_back({7});
  for (const auto& in : inputs) {
    SCOPED_TRACE(in.size());
    const std::vector<std::uint8_t> stream = CompressLz77(in);
    EXPECT_EQ(stream.size() % 4, 0u);
    const Lz77Block back = DecompressLz77(stream);
    ASSERT_EQ(back.error, Lz77Error::None);
    EXPECT_EQ(back.data, in);
    const StreamFacts facts = Walk(stream);
    EXPECT_EQ(facts.headerSize, in.size());
    EXPECT_EQ(facts.produced, in.size());  // no copy runs past the size in the header
    EXPECT_FALSE(facts.beforeStart);
    EXPECT_GE(facts.minDistance, 2u);
  }
  EXPECT_LT(CompressLz77(inputs[1]).size(), inputs[1].size() / 8);  // the match search finds the runs
  EXPECT_LT(CompressLz77(inputs[2]).size(), inputs[2].size() / 4);
}
