// GBA pointers: the cartridge maps the ROM at 0x08000000-0x09FFFFFF, so a
// pointer is 0x08000000 + offset stored little-endian, and its last byte is
// 08 below 16 MiB and 09 from 16 MiB to 32 MiB - 1.
#pragma once

#include <cstdint>

namespace vorkat {

// Offsets at or above this have no pointer form.
inline constexpr std::int32_t kPointerReach = 0x2000000;
// Offsets from here on have pointers whose last byte is 09.
inline constexpr std::int32_t kUpperPointerHalf = 0x1000000;
inline constexpr std::uint8_t kPointerLowHighByte = 0x08;
inline constexpr std::uint8_t kPointerUpHighByte = 0x09;

// The offset a pointer's four ROM bytes address; -1 unless the last byte is 08 or 09.
inline std::int32_t PointerTarget(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  if (b3 != kPointerLowHighByte && b3 != kPointerUpHighByte) return -1;
  return b0 | b1 << 8 | b2 << 16 | (b3 - kPointerLowHighByte) << 24;
}

}  // namespace vorkat
