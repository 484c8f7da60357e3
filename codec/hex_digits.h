// Reading the hexadecimal code texts of table files.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorkat {

inline int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The number the leading hexadecimal digits give (0 when there are none).
// Saturates at 0xFFFFFFFF so that overlong texts cannot wrap around.
inline std::uint32_t LeadingHex(std::u16string_view text) {
  std::uint64_t v = 0;
  for (char16_t c : text) {
    int d = HexDigitValue(c);
    if (d < 0) break;
    v = v * 16 + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu;
  }
  return static_cast<std::uint32_t>(v);
}

}  // namespace vorkat
