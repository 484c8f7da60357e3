// Address and pointer texts. An address text is a ROM offset in bare
// upper-case hexadecimal; a pointer text is the 4 bytes of a GBA pointer as
// they stand in the ROM: 0x08000000 + offset, little-endian, so the last
// byte is 08 below 16 MiB and 09 from 16 MiB to 32 MiB - 1.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/gba_pointer.h"
#include "core/numbers.h"

namespace vorkat {

struct InsertState;
class WarningLimit;

// 1 to 8 hexadecimal digits with blanks around; -1 when empty, longer than 8
// characters, or beyond the signed 32-bit range (8 digits from 80000000).
std::int32_t HexTextToLong(std::u16string_view text);
std::u16string LongToAddrText(std::int32_t offset);
// Empty, with a log line, for an offset outside 0..0x1FFFFFF.
std::u16string OffsetToPtrHex(InsertState& state, std::int32_t offset);
// The pure form for offsets known to be in reach; any other offset (an
// empty address reads as -1) gives its low 24 bits and 08: FFFFFF08 for -1.
std::u16string OffsetToPtrHexUnchecked(std::int32_t offset);
std::int32_t PtrHexToOffset(std::u16string_view text);

// A pointer text read as the four bytes it stands for: the one reading of
// pointer texts that insertion, pointer rewriting and the address forms share.
struct PointerText {
  std::array<std::uint8_t, 4> bytes{};
  bool wellFormed = false;  // exactly eight hexadecimal digits

  // The offset the pointer addresses: the first three bytes, plus 16 MiB
  // when the fourth is 09 (any other fourth byte is not looked at).
  std::int32_t offset() const {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | (bytes[3] == kPointerUpHighByte ? kUpperPointerHalf : 0);
  }
};
// A text shorter than 8 characters is read as if padded on the left with 0;
// each character pair reads as far as its hexadecimal digits go (blanks
// skipped, 1G is 1, G1 is 0), the way "&h" + pair reads as a number.
PointerText ReadPointerText(std::u16string_view text);
// The bytes to search for; logs its three messages (a text ending in
// neither 08 nor 09 is the third) (counted against
// `warnings` when given); pads `text` in place.
std::optional<std::array<std::uint8_t, 4>> PtrHexToBytes(InsertState& state, std::u16string& text,
                                                         WarningLimit* warnings = nullptr);

}  // namespace vorkat
