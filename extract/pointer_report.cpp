#include "extract/pointer_report.h"

#include "core/pointer_format.h"
#include <climits>

#include "core/text.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kTargetMarker = u"), указывают на  ";
constexpr std::u16string_view kTableHeader = u"Таблица указателей: начало=hex(";
constexpr std::u16string_view kPlaceMarker = u"=hex(";
constexpr std::u16string_view kBytesMarker = u")-->";

void AppendHex(std::string& out, std::uint32_t v) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = "0123456789ABCDEF"[v & 0xF];
    v >>= 4;
  } while (v);
  while (n) out.push_back(buf[--n]);
}

void AppendDec(std::string& out, std::uint32_t v) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  while (n) out.push_back(buf[--n]);
}

void AppendByte(std::string& out, std::uint8_t b) {
  out.push_back("0123456789ABCDEF"[b >> 4]);
  out.push_back("0123456789ABCDEF"[b & 0xF]);
}

}  // namespace

ReportLineWriter::ReportLineWriter()
    : head_(ToCp1251(u"адрес байтов в роме=hex(")), marker_(ToCp1251(u"), указывают на ")) {}

void ReportLineWriter::Append(std::string& out, std::uint32_t pointerOffset, const std::uint8_t* b) const {
  // A window ending in neither 08 nor 09 reports its first three bytes.
  const std::int32_t pointed = PointerTarget(b[0], b[1], b[2], b[3]);
  const std::uint32_t target = pointed >= 0 ? static_cast<std::uint32_t>(pointed) : (b[0] | b[1] << 8 | b[2] << 16);
  Append(out, pointerOffset, b, 4, target);
}

void ReportLineWriter::Append(std::string& out, std::uint32_t pointerOffset, const std::uint8_t* b, int width,
                              std::uint32_t target) const {
  out += head_;
  AppendHex(out, pointerOffset);
  out += marker_;
  out.push_back(' ');  // the leading blank of a non-negative number in a message
  AppendDec(out, target);
  out += " (";
  AppendHex(out, target);
  out += ")-->";
  for (int i = 0; i < width; ++i) {
    if (i) out.push_back(',');
    AppendByte(out, b[i]);
  }
}

std::u16string PointerReportLine(std::int32_t pointerOffset, const std::array<std::uint8_t, 4>& bytes) {
  std::string line;
  ReportLineWriter().Append(line, static_cast<std::uint32_t>(pointerOffset), bytes.data());
  return FromCp1251(line);
}

std::u16string PointerTableHeader(std::int32_t start, std::int32_t count, std::int32_t stride,
                                  std::u16string_view formatName) {
  return std::u16string(kTableHeader) + HexText(static_cast<std::uint32_t>(start)) + u"), записей" + NumText(count) +
         u", шаг" + NumText(stride) + u", формат " + std::u16string(formatName);
}

bool IsPointerTableHeader(std::u16string_view line) { return line.starts_with(kTableHeader); }

std::optional<std::int32_t> PointerReportPlace(std::u16string_view line) {
  if (line.find(kTargetMarker) == std::u16string_view::npos) return std::nullopt;
  const std::size_t at = line.find(kPlaceMarker);
  if (at == std::u16string_view::npos) return std::nullopt;
  std::int64_t v = 0;
  std::size_t digits = 0;
  for (std::size_t i = at + kPlaceMarker.size(); i < line.size() && digits < 8; ++i, ++digits) {
    const char16_t c = line[i];
    int d = -1;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    if (c >= u'A' && c <= u'F') d = c - u'A' + 10;
    if (d < 0) break;
    v = v * 16 + d;
  }
  if (digits == 0 || v > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

int PointerReportWidth(std::u16string_view line) {
  const std::size_t at = line.find(kBytesMarker);
  if (at == std::u16string_view::npos) return 0;
  const std::u16string_view bytes = line.substr(at + kBytesMarker.size());
  return bytes.empty() ? 0 : static_cast<int>((bytes.size() + 1) / 3);
}

std::u16string PointerPlacesZones(const std::vector<std::int32_t>& places, int width) {
  std::u16string text;
  for (std::int32_t at : places) {
    if (!text.empty()) text += u';';
    text += DecText(at) + u":" + DecText(std::int64_t{at} + width - 1);
  }
  return text;
}

std::optional<std::u16string> PointerReportTarget(std::u16string_view line) {
  std::size_t at = line.find(kTargetMarker);
  if (at == std::u16string_view::npos) return std::nullopt;
  std::u16string_view rest = line.substr(at + kTargetMarker.size());
  return std::u16string(rest.substr(0, rest.find(u' ')));
}

}  // namespace vorkat
