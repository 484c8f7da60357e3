#include "core/numbers.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace vorkat {
namespace {

bool Skippable(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

int DigitValue(char16_t c, int base) {
  int d = -1;
  if (c >= u'0' && c <= u'9')
    d = c - u'0';
  else if (c >= u'a' && c <= u'f')
    d = c - u'a' + 10;
  else if (c >= u'A' && c <= u'F')
    d = c - u'A' + 10;
  return d >= 0 && d < base ? d : -1;
}

}  // namespace

double ReadNumber(std::u16string_view text) {
  // Strip the skippable characters once; the rest is a plain left-to-right scan.
  std::u16string s;
  s.reserve(text.size());
  for (char16_t c : text)
    if (!Skippable(c)) s.push_back(c);

  if (s.size() >= 2 && s[0] == u'&') {
    int base = 0;
    if (s[1] == u'h' || s[1] == u'H')
      base = 16;
    else if (s[1] == u'o' || s[1] == u'O')
      base = 8;
    if (base == 0) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = 2; i < s.size(); ++i) {
      int d = DigitValue(s[i], base);
      if (d < 0) break;
      value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(d);
    }
    return static_cast<double>(static_cast<std::int32_t>(value));
  }

  std::string ascii;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii.push_back(static_cast<char>(s[i++]));
  bool digits = false;
  while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
    ascii.push_back(static_cast<char>(s[i++]));
    digits = true;
  }
  if (i < s.size() && s[i] == u'.') {
    ascii.push_back('.');
    ++i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
      ascii.push_back(static_cast<char>(s[i++]));
      digits = true;
    }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
    std::size_t j = i + 1;
    std::string exp = "e";
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp.push_back(static_cast<char>(s[j++]));
    bool expDigits = false;
    while (j < s.size() && s[j] >= u'0' && s[j] <= u'9') {
      exp.push_back(static_cast<char>(s[j++]));
      expDigits = true;
    }
    if (expDigits) ascii += exp;
  }
  double v = std::strtod(ascii.c_str(), nullptr);
  return std::isfinite(v) ? v : 0;
}

std::optional<std::int32_t> ParseTypedInt(std::u16string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && Skippable(text[b])) ++b;
  while (e > b && Skippable(text[e - 1])) --e;
  const std::u16string_view t = text.substr(b, e - b);
  if (t.size() >= 2 &&
      ((t[0] == u'&' && (t[1] == u'h' || t[1] == u'H')) || (t[0] == u'0' && (t[1] == u'x' || t[1] == u'X')))) {
    const std::u16string_view digits = t.substr(2);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    for (char16_t c : digits)
      if (DigitValue(c, 16) < 0) return std::nullopt;
    return ReadInt(u"&h" + std::u16string(digits));
  }
  std::size_t i = 0;
  auto digitsFrom = [&] {
    const std::size_t start = i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') ++i;
    return i - start;
  };
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
  std::size_t mantissa = digitsFrom();
  if (i < t.size() && t[i] == u'.') {
    ++i;
    mantissa += digitsFrom();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E' || t[i] == u'd' || t[i] == u'D')) {
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
    if (digitsFrom() == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  std::string ascii;
  for (char16_t c : t) ascii.push_back(c == u'd' || c == u'D' ? 'e' : static_cast<char>(c));
  const double v = std::nearbyint(std::strtod(ascii.c_str(), nullptr));
  if (!(v >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
        v <= static_cast<double>(std::numeric_limits<std::int32_t>::max())))
    return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::u16string NotANumberText(std::u16string_view where, std::u16string_view text) {
  return std::u16string(where) + u": \"" + std::u16string(text) +
         u"\" не число (пишите десятичное число, &h... или 0x...), значение не принято";
}

std::int32_t RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  double r = std::nearbyint(v);  // the default rounding mode is to nearest, ties to even
  if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

}  // namespace vorkat
