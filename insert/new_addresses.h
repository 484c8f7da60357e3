// New-address calculation: every dialog without an insertion address gets
// the next free, aligned place in the declared free space, outside the
// ignored ROM zones, with its old and new pointer texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/pointer_format.h"
#include "insert/insert_options.h"

namespace vorkat {

struct CodecOptions;
struct Context;
struct DialogSet;
struct InsertState;
struct InsertionParams;
struct RomImage;
struct TranslationTable;

// Where one dialog without an insertion address goes.
struct DialogPlacement {
  std::size_t dialog = 0;    // index in the list
  std::u16string oldPtrHex;  // its old pointer text; empty when none can be formed
  std::int32_t at = -1;      // its new address; -1 when it found no place
  std::int64_t size = 0;     // its bytes as the insertion encodes them
  bool inPlace = false;      // at is where it came from: it fits there (the in-place option)
};

struct PlacementPlan {
  std::vector<DialogPlacement> dialogs;  // list order
  std::int32_t spaceStart = 0;           // the free space given, its end exclusive and cut to the ROM
  std::int32_t spaceEnd = 0;
  std::int64_t nextStart = 0;  // where the next calculation starts
  std::size_t unplaced = 0;
  std::u16string firstUnplaced;   // ID of the first dialog without a place
  std::size_t inPlace = 0;        // dialogs put back where they came from
  std::int64_t savedBytes = 0;    // their bytes, which took no free space
  std::size_t placeUnknown = 0;   // with the in-place option, texts whose original's place is not known
  std::size_t tooLongFields = 0;  // fixed fields whose translation does not fit, or whose place is not known: no place
};

// The placement of every dialog without an insertion address in the free
// space of `params`: aligned, outside the ignored zones, each text reachable
// by a pointer of `format` (and inside its bank for the Game Boy formats).
// `romSize` is -1 when no ROM is loaded. With the in-place option, a
// dialog that fits where it came from gets that address and takes no free
// space, and a fixed field that does not fit gets none. Changes nothing;
// reports what it meets to the log as it goes (the encoder's unknown tokens,
// shifted and unplaced dialogs, fields too short).
PlacementPlan PlanPlacement(Context& ctx, TranslationTable& table, const CodecOptions& codecOptions,
                            const DialogSet& dialogs, const InsertionParams& params, std::int64_t romSize,
                            PointerFormat format, const InsertOptions& options = {});

// Writes the plan's old pointer texts, new addresses and new pointer texts
// into the dialogs (a dialog in place keeps its pointer: the new text is the
// old one, and its DoPointerChange stays).
void ApplyPlacement(const PlacementPlan& plan, DialogSet& dialogs, PointerFormat format);

// Works on the loaded dialogs, table and insertion parameters; advances
// FreeSpaceStartAddr. Asks nothing (the batch interpreter calls it too).
void CalcNewAddresses(InsertState state);

// The start of free space suggested from the ROM's trailing padding: two
// past the last byte that is not 0x00 or, if smaller, not 0xFF; never past the ROM's end.
std::int32_t SuggestFreeSpaceStart(const RomImage& rom);

// Alignments the address window accepts: 0 (none), 2, 4 or 8.
bool IsAcceptedAlignment(std::int32_t alignBy);

// Set the parameter unless the value is negative (a negative gap would let
// dialogs overwrite each other): that is refused with a dark-red line and
// the previous value kept. True when the value was taken.
bool SetDialogsAutoGapBytes(InsertState state, std::int32_t value);
bool SetAddressAlignBy(InsertState state, std::int32_t value);

}  // namespace vorkat
