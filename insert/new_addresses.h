// New-address calculation: every dialog without an insertion address gets
// the next free, aligned place in the declared free space, outside the
// ignored ROM zones, with its old and new pointer texts.
#pragma once

#include <cstdint>

namespace vorkat {

struct InsertState;
struct RomImage;

// Works on the loaded dialogs, table and insertion parameters; advances
// FreeSpaceStartAddr. Asks nothing (the batch interpreter calls it too).
void CalcNewAddresses(InsertState& state);

// The start of free space suggested from the ROM's trailing padding: two
// past the last byte that is not 0x00 or, if smaller, not 0xFF.
std::int32_t SuggestFreeSpaceStart(const RomImage& rom);

// Alignments the address window accepts: 0 (none), 2, 4 or 8.
bool IsAcceptedAlignment(std::int32_t alignBy);

// Set the parameter unless the value is negative (a negative gap would let
// dialogs overwrite each other): that is refused with a dark-red line and
// the previous value kept. True when the value was taken.
bool SetDialogsAutoGapBytes(InsertState& state, std::int32_t value);
bool SetAddressAlignBy(InsertState& state, std::int32_t value);

}  // namespace vorkat
