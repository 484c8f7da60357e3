// The lines of a pointer-search report: written by the pointer search, read
// back by the dump via pointers and the viewer's jump list.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

// One report line (without its CR LF) for the pointer at pointerOffset whose
// four bytes are given, e.g.
// "адрес байтов в роме=hex(1A2B), указывают на  1234 (4D2)-->D2,04,00,08".
std::u16string PointerReportLine(std::int32_t pointerOffset, const std::array<std::uint8_t, 4>& bytes);

// The target text of a report line: the text after "), указывают на  " up
// to the next blank (or the line end); nullopt for lines without the marker.
std::optional<std::u16string> PointerReportTarget(std::u16string_view line);

// The first line of the report of a declared pointer table, e.g.
// "Таблица указателей: начало=hex(10000), записей 20, шаг 2, формат OFFSET,2,&h10000".
std::u16string PointerTableHeader(std::int32_t start, std::int32_t count, std::int32_t stride,
                                  std::u16string_view formatName);
bool IsPointerTableHeader(std::u16string_view line);
// The offset of a report line's pointer (the hexadecimal after "hex(") and
// its width (the bytes after "-->"); nullopt / 0 for other lines.
std::optional<std::int32_t> PointerReportPlace(std::u16string_view line);
int PointerReportWidth(std::u16string_view line);
// The PtrsAddrZones text of pointers of `width` bytes at these places, each
// its own zone ("start:end;..."): a pointer there and nowhere else is rewritten.
std::u16string PointerPlacesZones(const std::vector<std::int32_t>& places, int width);

// Builds report lines in Windows-1251 without going through UTF-16: a
// search can write hundreds of thousands of them.
class ReportLineWriter {
 public:
  ReportLineWriter();
  // Appends the line of the GBA pointer at pointerOffset whose four bytes start at b.
  void Append(std::string& out, std::uint32_t pointerOffset, const std::uint8_t* b) const;
  // Appends the line of a pointer of `width` bytes starting at b that leads to target.
  void Append(std::string& out, std::uint32_t pointerOffset, const std::uint8_t* b, int width,
              std::uint32_t target) const;

 private:
  std::string head_;
  std::string marker_;
};

}  // namespace vorkat
