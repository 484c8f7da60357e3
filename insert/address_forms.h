// Address and pointer texts. An address text is a ROM offset in bare
// upper-case hexadecimal; a pointer text is the bytes of a pointer as they
// stand in the ROM, in upper-case hexadecimal: 8 characters for a GBA
// pointer (0x08000000 + offset, little-endian: the last byte is 08 below
// 16 MiB and 09 from 16 MiB to 32 MiB - 1), 4 for GB16, 6 for GB24/GB24R,
// twice the width for an offset form.
// Every function that takes a PointerFormat reads and writes that format;
// the ones taking the state use the program-wide one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/pointer_format.h"
#include "core/numbers.h"

namespace vorkat {

struct CoreState;
struct InsertState;
class WarningLimit;

// 1 to 8 hexadecimal digits with blanks around; -1 when empty, longer than 8
// characters, or beyond the signed 32-bit range (8 digits from 80000000).
std::int32_t HexTextToLong(std::u16string_view text);
std::u16string LongToAddrText(std::int32_t offset);
// The pure form for offsets known to be in reach. A GBA offset out of reach
// (an empty address reads as -1) gives its low 24 bits and 08: FFFFFF08 for
// -1; any other form gives the empty text (a short pattern such as FFFF would be
// found all over a ROM's padding).
std::u16string OffsetToPtrHexUnchecked(std::int32_t offset, PointerFormat format = PointerFormat::GBA);
// -1 unless the text has exactly the format's length. A GB16 pointer is
// read through `bank` (the bank of the text it belongs to).
std::int32_t PtrHexToOffset(std::u16string_view text, PointerFormat format = PointerFormat::GBA, std::int32_t bank = 0);

// A pointer text read as the bytes it stands for: the one reading of
// pointer texts that insertion, pointer rewriting and the address forms
// share. Bytes past the format's width are 0.
struct PointerText {
  std::array<std::uint8_t, 4> bytes{};
  int width = 4;
  bool wellFormed = false;  // exactly two hexadecimal digits per byte of the format

  // The offset a GBA pointer addresses: the first three bytes, plus 16 MiB
  // when the fourth is 09 (any other fourth byte is not looked at).
  std::int32_t offset() const {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | (bytes[3] == kPointerUpHighByte ? kUpperPointerHalf : 0);
  }
};
// A text shorter than the format's is read as if padded on the left with 0;
// each character pair reads as far as its hexadecimal digits go (blanks
// skipped, 1G is 1, G1 is 0), the way "&h" + pair reads as a number.
PointerText ReadPointerText(std::u16string_view text, PointerFormat format = PointerFormat::GBA);
// The bytes to search for in the program-wide format (the first
// PointerWidth of them); logs its messages (empty text, text shorter than
// the format's, a GBA text ending in neither 08 nor 09) (counted against
// `warnings` when given); pads `text` in place.
std::optional<std::array<std::uint8_t, 4>> PtrHexToBytes(InsertState state, std::u16string& text,
                                                         WarningLimit* warnings = nullptr);

// One search zone of a dialog's PtrsAddrZones: the pointers whose bytes lie
// from start to end (inclusive) are rewritten.
struct PointerZone {
  std::int32_t start = 0;
  std::int32_t end = 0;
};
// The zones of a PtrsAddrZones text: pieces "start:end" or "start" (to the
// ROM's end) separated by ";", the numbers read as ReadInt reads them.
std::vector<PointerZone> ReadPointerZones(std::u16string_view zones, std::int32_t romSize);

// Chooses the program-wide pointer format by name (any letter case) and
// says so in the log; an unknown name is reported in bright red and the
// format stays. Returns whether the name was known.
bool SetPointerFormat(CoreState state, std::u16string_view name);

// Logs the program-wide pointer format at the start of an operation that
// reads or writes pointers ("Формат указателей: GBA").
void LogPointerFormat(CoreState state);
// False, with a bright-red line, when the loaded ROM's header names the other
// console than the pointer format (a GBA game with a Game Boy format or the
// other way round); true when they agree or the header names neither.
bool PointerFormatFitsRom(CoreState state);

}  // namespace vorkat
