#include "extract/pointer_report.h"

#include "core/pointer_format.h"
#include "core/text.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kTargetMarker = u"), указывают на  ";

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

std::optional<std::u16string> PointerReportTarget(std::u16string_view line) {
  std::size_t at = line.find(kTargetMarker);
  if (at == std::u16string_view::npos) return std::nullopt;
  std::u16string_view rest = line.substr(at + kTargetMarker.size());
  return std::u16string(rest.substr(0, rest.find(u' ')));
}

}  // namespace vorkat
