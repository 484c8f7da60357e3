#include "interchange/text_forms.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <cstdint>

namespace vorkat {

std::u16string LfToCrLf(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 16);
  for (char16_t c : text) {
    if (c == u'\n') out.push_back(u'\r');
    out.push_back(c);
  }
  return out;
}

std::u16string LoneLfToCrLf(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out.push_back(u'\r');
    out.push_back(text[i]);
  }
  return out;
}

std::size_t Utf8ErrorOffset(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<std::uint8_t>(bytes[i]);
    std::size_t len = 0;
    std::uint32_t min = 0;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      min = 0x10000;
    } else {
      return i;
    }
    if (i + len > bytes.size()) return i;
    std::uint32_t cp = c & (0x7Fu >> len);
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<std::uint8_t>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) return i;
      cp = cp << 6 | (b & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return i;
    i += len;
  }
  return std::string_view::npos;
}

std::vector<std::u16string_view> ControlCodes(std::u16string_view text) {
  std::vector<std::u16string_view> codes;
  std::size_t at = 0;
  while ((at = text.find(u"<$", at)) != std::u16string_view::npos) {
    const std::size_t end = text.find(u'>', at + 2);
    if (end == std::u16string_view::npos) break;
    codes.push_back(text.substr(at, end + 1 - at));
    at = end + 1;
  }
  return codes;
}

std::vector<CodeDifference> CompareControlCodes(std::u16string_view source, std::u16string_view translation) {
  const std::vector<std::u16string_view> left = ControlCodes(source);
  const std::vector<std::u16string_view> right = ControlCodes(translation);
  if (left == right) return {};
  // The codes each side has more of: both sorted, then merged.
  std::vector<std::u16string_view> a = left;
  std::vector<std::u16string_view> b = right;
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  std::vector<std::u16string_view> lost;
  std::vector<std::u16string_view> added;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(lost));
  std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(added));
  // Reported in the order met: each code of a side, while that side still has it over.
  std::vector<CodeDifference> out;
  auto take = [&](const std::vector<std::u16string_view>& side, std::vector<std::u16string_view>& over, bool isLost) {
    for (std::u16string_view code : side) {
      auto it = std::lower_bound(over.begin(), over.end(), code);
      if (it == over.end() || *it != code) continue;
      out.push_back({std::u16string(code), isLost});
      over.erase(it);
    }
  };
  take(left, lost, true);
  take(right, added, false);
  return out;
}

}  // namespace vorkat
