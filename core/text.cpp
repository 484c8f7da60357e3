#include "core/text.h"

#include <algorithm>
#include <array>

namespace vorkat {
namespace {

// Windows-1251 bytes 0x80..0xBF. 0x98 is undefined; it maps to U+0098 so the
// byte survives a round trip.
constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char16_t Cp1251ToChar(std::uint8_t b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return static_cast<char16_t>(0x0410 + (b - 0xC0));
  return kCp1251High[b - 0x80];
}

struct ReverseTable {
  std::array<std::int16_t, 0x2200> map{};  // char -> byte, -1 when absent
  ReverseTable() {
    map.fill(-1);
    for (int b = 0; b < 256; ++b) {
      char16_t c = Cp1251ToChar(static_cast<std::uint8_t>(b));
      if (c < map.size()) map[c] = static_cast<std::int16_t>(b);
    }
  }
};

const ReverseTable& Reverse() {
  static const ReverseTable table;
  return table;
}

int CharToCp1251(char16_t c) {
  if (c < 0x80) return c;
  const auto& r = Reverse();
  return c < r.map.size() ? r.map[c] : -1;
}

bool IsSpace(char16_t c) { return c == u' '; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string FromCp1251(const std::uint8_t* data, std::size_t size) {
  std::u16string out(size, u'\0');
  for (std::size_t i = 0; i < size; ++i) out[i] = Cp1251ToChar(data[i]);
  return out;
}

std::u16string FromCp1251(std::string_view bytes) {
  return FromCp1251(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

bool IsCp1251Representable(char16_t ch) { return CharToCp1251(ch) >= 0; }

std::string ToCp1251(std::u16string_view text, std::size_t* replaced) {
  std::string out(text.size(), '\0');
  std::size_t bad = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int b = CharToCp1251(text[i]);
    if (b < 0) {
      ++bad;
      b = '?';
    }
    out[i] = static_cast<char>(b);
  }
  if (replaced) *replaced = bad;
  return out;
}

std::u16string FromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else if ((c >> 5) == 6 && i + 1 < s.size()) {
      cp = (c & 0x1F) << 6 | (s[i + 1] & 0x3F);
      len = 2;
    } else if ((c >> 4) == 14 && i + 2 < s.size()) {
      cp = (c & 0x0F) << 12 | (s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
      len = 3;
    } else if ((c >> 3) == 30 && i + 3 < s.size()) {
      cp = (c & 0x07) << 18 | (s[i + 1] & 0x3F) << 12 | (s[i + 2] & 0x3F) << 6 | (s[i + 3] & 0x3F);
      len = 4;
    }
    i += len;
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | cp >> 6));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | cp >> 12));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | cp >> 18));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string DecodeTextFile(const std::uint8_t* data, std::size_t size) {
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    std::size_t n = (size - 2) / 2;
    std::u16string out(n, u'\0');
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char16_t>(data[2 + 2 * i] | data[3 + 2 * i] << 8);
    return out;
  }
  return FromCp1251(data, size);
}

Bytes EncodeTextFile(std::u16string_view text, bool unicode, std::size_t* replaced) {
  Bytes out;
  if (unicode) {
    out.resize(2 + text.size() * 2);
    out[0] = 0xFF;
    out[1] = 0xFE;
    for (std::size_t i = 0; i < text.size(); ++i) {
      out[2 + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
      out[3 + 2 * i] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    if (replaced) *replaced = 0;
    return out;
  }
  std::string s = ToCp1251(text, replaced);
  out.assign(s.begin(), s.end());
  return out;
}

bool IsUtf8BeyondAscii(std::span<const std::uint8_t> bytes) {
  bool beyond = false;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const std::uint8_t c = bytes[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len = 0;
    std::uint8_t lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;  // overlong
      if (c == 0xED) hi = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;  // overlong
      if (c == 0xF4) hi = 0x8F;  // beyond U+10FFFF
    } else {
      return false;
    }
    if (n - i < len) return false;
    if (bytes[i + 1] < lo || bytes[i + 1] > hi) return false;
    for (std::size_t k = 2; k < len; ++k)
      if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) return false;
    beyond = true;
    i += len;
  }
  return beyond;
}

DecodedText DecodeTextFileDetect(std::span<const std::uint8_t> bytes, std::span<const std::u16string_view> markers) {
  auto utf8 = [](std::span<const std::uint8_t> b) {
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));  // NOLINT
  };
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
    return {DecodeTextFile(bytes.data(), bytes.size()), TextEncoding::Utf16};
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
    return {utf8(bytes.subspan(3)), TextEncoding::Utf8WithMark};
  if (IsUtf8BeyondAscii(bytes)) {
    std::u16string asUtf8 = utf8(bytes);
    // A marker made of ASCII reads the same either way and tells nothing.
    bool told = false, inUtf8 = false, inAnsi = false;
    std::u16string asAnsi;
    for (std::u16string_view m : markers) {
      if (m.empty() || std::all_of(m.begin(), m.end(), [](char16_t c) { return c < 0x80; })) continue;
      if (!told) asAnsi = FromCp1251(bytes.data(), bytes.size());
      told = true;
      inUtf8 = inUtf8 || asUtf8.find(m) != std::u16string::npos;
      inAnsi = inAnsi || asAnsi.find(m) != std::u16string::npos;
    }
    if (!told || (inUtf8 && !inAnsi)) return {std::move(asUtf8), TextEncoding::Utf8};
  }
  return {FromCp1251(bytes.data(), bytes.size()), TextEncoding::Ansi};
}

Bytes EncodeTextFile(std::u16string_view text, TextEncoding encoding, std::size_t* replaced) {
  if (!IsUtf8(encoding)) return EncodeTextFile(text, encoding == TextEncoding::Utf16, replaced);
  if (replaced) *replaced = 0;
  const std::string s = ToUtf8(text);
  Bytes out;
  out.reserve(s.size() + 3);
  if (encoding == TextEncoding::Utf8WithMark) out = {0xEF, 0xBB, 0xBF};
  out.insert(out.end(), s.begin(), s.end());
  return out;
}

std::vector<std::u16string_view> SplitViews(std::u16string_view text, std::u16string_view separator) {
  std::vector<std::u16string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const std::size_t p = text.find(separator, start);
    if (p == std::u16string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, p - start));
    start = p + separator.size();
  }
}

std::vector<std::u16string> SplitCrLf(std::u16string_view text) {
  const std::vector<std::u16string_view> pieces = SplitViews(text, kCrLf);
  return {pieces.begin(), pieces.end()};
}

bool HasBareLfOnly(std::u16string_view text) {
  return text.find(u'\n') != std::u16string_view::npos && text.find(kCrLf) == std::u16string_view::npos;
}

std::u16string Trim(std::u16string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return std::u16string(s.substr(b, e - b));
}

std::u16string TrimBlanks(std::u16string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::u16string(s.substr(b, e - b));
}

char16_t UCaseChar(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  if (c == 0x0491) return 0x0490;
  if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return static_cast<char16_t>(c - 0x20);
  return c;
}

std::u16string UCase(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = UCaseChar(c);
  return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UCaseChar(a[i]) != UCaseChar(b[i])) return false;
  return true;
}

std::size_t FindNoCase(std::u16string_view text, std::u16string_view what, std::size_t from) {
  if (what.empty()) return from <= text.size() ? from : std::u16string_view::npos;
  if (text.size() < what.size()) return std::u16string_view::npos;
  for (std::size_t i = from; i + what.size() <= text.size(); ++i)
    if (EqualsNoCase(text.substr(i, what.size()), what)) return i;
  return std::u16string_view::npos;
}

namespace {

// Replaces every match that `find` locates, left to right, non-overlapping.
template <class Find>
std::u16string ReplaceMatches(std::u16string_view text, std::size_t findLength, std::u16string_view repl, Find find) {
  if (findLength == 0) return std::u16string(text);
  std::u16string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (;;) {
    const std::size_t p = find(start);
    if (p == std::u16string_view::npos) break;
    out.append(text.substr(start, p - start));
    out.append(repl);
    start = p + findLength;
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view find, std::u16string_view repl) {
  return ReplaceMatches(text, find.size(), repl, [&](std::size_t from) { return text.find(find, from); });
}

std::u16string ReplaceAllNoCase(std::u16string_view text, std::u16string_view find, std::u16string_view repl) {
  return ReplaceMatches(text, find.size(), repl, [&](std::size_t from) { return FindNoCase(text, find, from); });
}

bool StartsWith(std::u16string_view s, std::u16string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::u16string DecText(long long n) { return U(std::to_string(n)); }

std::u16string NumText(long long n) { return n < 0 ? DecText(n) : u" " + DecText(n); }

std::u16string HexText(unsigned long long n, int width) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  do {
    out.insert(out.begin(), kDigits[n & 0xF]);
    n >>= 4;
  } while (n != 0);
  while (static_cast<int>(out.size()) < width) out.insert(out.begin(), u'0');
  return out;
}

std::u16string U(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace vorkat
