// What the last new-address calculation and the last insertion run did, kept
// for the verification of an insertion and the free-space report.
#pragma once

#include <cstdint>
#include <vector>

namespace vorkat {

// One pointer an insertion run rewrote: the dialog's index and the offset of
// the pointer's first byte.
struct RewrittenPointer {
  std::int32_t dialog = -1;
  std::int32_t offset = 0;
};

struct InsertionRecord {
  // The last insertion run: every pointer it rewrote, in the order written.
  bool inserted = false;
  std::int32_t dialog = -1;  // the dialog whose pointers are being rewritten now
  std::vector<RewrittenPointer> pointers;

  // The free space the last calculation was given: from its start before it
  // moved to its end, exclusive, cut to the ROM.
  bool calculated = false;
  std::int32_t spaceStart = 0;
  std::int32_t spaceEnd = 0;

  void BeginInsertion() {
    inserted = true;
    dialog = -1;
    pointers.clear();
  }
};

}  // namespace vorkat
