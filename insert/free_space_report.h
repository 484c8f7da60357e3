// The free-space report: how the declared free space, less the ignored
// zones, is used by the placed dialogs, and which dialogs did not fit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "insert/insertion_params.h"

namespace vorkat {

struct InsertState;

// A dialog's block: its index in the list, its address (-1 when it has
// none) and its size as the insertion encodes it.
struct PlacedBlock {
  std::int32_t dialog = -1;
  std::int32_t start = -1;
  std::int64_t size = 0;
};

// One piece of the free space between ignored zones; end exclusive.
struct FreeSpaceRange {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int64_t used = 0;  // bytes of the dialogs placed here
  std::int64_t left = 0;  // after the last dialog placed here (the whole range when none)
  std::size_t dialogs = 0;
  std::int32_t firstDialog = -1;  // lowest and highest address placed here
  std::int32_t lastDialog = -1;

  std::int64_t available() const { return std::int64_t{end} - start; }
  std::int64_t gaps() const { return available() - used - left; }  // alignment and gaps between dialogs
};

struct FreeSpaceLayout {
  bool dryRun = false;  // worked out on a copy; nothing was changed
  std::int32_t spaceStart = 0;
  std::int32_t spaceEnd = 0;           // exclusive
  std::vector<RomZone> ignored;        // the ignored zones inside the space, clipped, ends inclusive
  std::vector<FreeSpaceRange> ranges;  // address order
  std::vector<PlacedBlock> placed;     // address order, the blocks that start in a range
  std::vector<PlacedBlock> unfit;      // list order, the dialogs left without an address
  std::vector<PlacedBlock> inPlace;    // list order, the dialogs put back where they came from
  std::vector<PlacedBlock> outside;  // list order, the dialogs with an address outside the space (size 0: not encoded)

  // The first placed block with bytes in from <= offset < to, or nullptr.
  const PlacedBlock* BlockIn(std::int64_t from, std::int64_t to) const;
  // True when offset lies in an ignored zone.
  bool IgnoredAt(std::int64_t offset) const;
};

// The layout of the last new-address calculation with the dialogs as they
// are now; without a calculation in this run, a dry run of one on a copy of
// the dialogs and parameters (no byte, no dialog and no parameter changes).
// Needs a loaded table and dialogs (the caller checks).
FreeSpaceLayout PlanFreeSpace(InsertState state);

// One line of totals: ranges, bytes available, used and left, dialogs
// placed and not fitting.
std::u16string FreeSpaceTotalsText(const FreeSpaceLayout& layout);

// The dialogs placed outside the declared space (an address kept from an
// earlier calculation or typed by hand), with the first of them; empty when none.
std::u16string OutsideSpaceText(const InsertState& state, const FreeSpaceLayout& layout);

std::u16string FreeSpaceReportText(InsertState state, const FreeSpaceLayout& layout);

// Works out the layout, writes the report (the old file kept as .bak) and
// logs its totals.
void FreeSpaceReport(InsertState state, const std::u16string& reportFile);

}  // namespace vorkat
