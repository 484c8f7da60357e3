#include "core/numbers.h"

#include <cmath>
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
