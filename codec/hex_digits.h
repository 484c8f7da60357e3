// Reading the hexadecimal code texts of table files.
#pragma once

#include <cstdint>
#include <optional>
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

// A hexadecimal number written as one: an optional "&h" or "0x" (either
// case), then 1 to `maxDigits` hexadecimal digits and nothing else.
inline std::optional<std::uint32_t> ParseHexNumber(std::u16string_view text, std::size_t maxDigits) {
  if (text.size() >= 2 && ((text[0] == u'&' && (text[1] == u'h' || text[1] == u'H')) ||
                           (text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))))
    text.remove_prefix(2);
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint64_t v = 0;
  for (char16_t c : text) {
    const int d = HexDigitValue(c);
    if (d < 0) return std::nullopt;
    v = v * 16 + static_cast<unsigned>(d);
  }
  if (v > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(v);
}

}  // namespace vorkat
