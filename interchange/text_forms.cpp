#include "interchange/text_forms.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>

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

bool IsValidUtf8(std::string_view bytes) {
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
      return false;
    }
    if (i + len > bytes.size()) return false;
    std::uint32_t cp = c & (0x7Fu >> len);
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<std::uint8_t>(bytes[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = cp << 6 | (b & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
    i += len;
  }
  return true;
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
  // Source codes count up, translation codes down: what is left over on
  // either side was lost or added.
  std::unordered_map<std::u16string_view, long long> balance;
  for (std::u16string_view code : left) ++balance[code];
  for (std::u16string_view code : right) --balance[code];
  std::vector<CodeDifference> out;
  for (std::u16string_view code : left) {
    long long& n = balance[code];
    if (n > 0) {
      out.push_back({std::u16string(code), true});
      --n;
    }
  }
  for (std::u16string_view code : right) {
    long long& n = balance[code];
    if (n < 0) {
      out.push_back({std::u16string(code), false});
      ++n;
    }
  }
  return out;
}

}  // namespace vorkat
