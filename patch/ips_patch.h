// The loaded IPS patch, and the changed blocks of the last ROM comparison
// that the next written patch is made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorkat {

// One run of changed bytes: the working ROM's bytes from `offset` on.
struct ChangedBlock {
  std::int32_t offset = 0;
  std::int32_t size = 0;
  std::size_t dataStart = 0;  // position of the first byte in ChangedBlockList::data
};

// Blocks in ascending order of offset, never overlapping. Their bytes are kept
// in one buffer so that a ROM with millions of changes costs no allocation per block.
struct ChangedBlockList {
  std::vector<ChangedBlock> blocks;
  std::vector<std::uint8_t> data;
  // The working ROM's byte just before the offset that IPS readers take for
  // "EOF", when the ROM reached that far; a record that would start at that
  // offset starts one byte earlier with it.
  std::optional<std::uint8_t> byteBeforeEofOffset;
  bool comparisonDone = false;  // set only when a comparison ran to its end

  std::span<const std::uint8_t> bytes(const ChangedBlock& b) const {
    return std::span<const std::uint8_t>(data).subspan(b.dataStart, static_cast<std::size_t>(b.size));
  }
};

struct IpsPatch {
  std::vector<std::uint8_t> bytes;
  std::u16string fileName;
  bool isLoaded = false;

  ChangedBlockList changes;
};

}  // namespace vorkat
