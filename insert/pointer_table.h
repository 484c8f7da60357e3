// Declared pointer tables: a 2-byte offset turns up everywhere in a ROM, so
// the pointers of such a table are declared (start, count, stride) rather
// than searched for, and written as the pointer report the dump via pointers
// reads.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/pointer_format.h"

namespace vorkat {

struct InsertState;

struct PointerTableEntry {
  std::int32_t index = 0;  // from 0, in table order
  std::int32_t place = 0;  // offset of the pointer's first byte
  std::int32_t target = -1;
};

struct PointerTableRead {
  std::vector<PointerTableEntry> entries;  // the ones that lead into the ROM
  std::vector<PointerTableEntry> outside;  // the ones that do not (target -1: no pointer of the format)
  std::int32_t pastRom = 0;                // entries that would lie past the ROM's end: not read
};

// Reads `count` pointers of `format`, one every `stride` bytes from `start`.
PointerTableRead ReadPointerTable(std::span<const std::uint8_t> rom, PointerFormat format, std::int32_t start,
                                  std::int32_t count, std::int32_t stride);

// POINTERTABLE and the window: reads the table in the program-wide format,
// reports the entries that lead outside the ROM, and writes the report
// (a header line naming the table, then one report line per entry).
// Returns false when it refused (no ROM, count or stride out of range).
bool DeclarePointerTable(InsertState state, std::int32_t start, std::int32_t count, std::int32_t stride,
                         const std::u16string& reportFile);

}  // namespace vorkat
