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

// One text an insertion run wrote: the dialog's index, where and how long.
struct PlacedText {
  std::int32_t dialog = -1;
  std::int32_t start = 0;
  std::int32_t size = 0;
};

// Bytes an insertion run wrote over that did not look free before (neither
// 00 nor FF); end exclusive.
struct OverwrittenBytes {
  std::int32_t dialog = -1;
  std::int32_t start = 0;
  std::int32_t end = 0;
};

// The free space of the calculation that gave a dialog its address (or kept
// the one it had), and that address.
struct CalcSpace {
  std::int32_t address = -1;  // -1: no calculation in this run handled the dialog
  std::int32_t start = 0;
  std::int32_t end = 0;  // exclusive, cut to the ROM
  // The insertion runs before the calculation: a placement made before the
  // last insertion is not one a later calculation builds on (the dialogs
  // were written, or the ROM and dialogs loaded again).
  std::int32_t insertionsBefore = 0;
};

struct InsertionRecord {
  // The last insertion run: every pointer it rewrote, in the order written,
  // the texts it wrote and what they covered.
  bool inserted = false;
  std::int32_t dialog = -1;  // the dialog whose pointers are being rewritten now
  std::vector<RewrittenPointer> pointers;
  std::vector<PlacedText> placed;
  std::vector<OverwrittenBytes> overwritten;
  std::int32_t insertions = 0;  // insertion runs so far

  // Per dialog index: the calculation that placed it (or kept its address).
  std::vector<CalcSpace> calcSpaces;

  // The free space the last calculation was given: from its start before it
  // moved to its end, exclusive, cut to the ROM.
  bool calculated = false;
  std::int32_t spaceStart = 0;
  std::int32_t spaceEnd = 0;

  void BeginInsertion() {
    inserted = true;
    ++insertions;
    dialog = -1;
    pointers.clear();
    placed.clear();
    overwritten.clear();
  }
};

}  // namespace vorkat
