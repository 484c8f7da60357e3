#include "fonttools/font_maker.h"

#include <algorithm>

#include "codec/translation_table.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "core/text.h"
#include "fonttools/font_tags.h"

namespace vorkat {

MakerCell MakerCellOf(std::int32_t n, std::int32_t cols) {
  if (cols <= 0) return {};
  return {n / cols, n % cols};
}

std::u16string MakerViewFileName(std::u16string_view outDir, std::u16string_view prefix, MakerCell cell,
                                 std::int32_t startFrom, bool charsInCols) {
  const std::u16string part =
      charsInCols
          ? HexText(static_cast<std::uint32_t>(cell.col)) + HexText(static_cast<std::uint32_t>(cell.row + startFrom))
          : HexText(static_cast<std::uint32_t>(cell.row)) + HexText(static_cast<std::uint32_t>(cell.col + startFrom));
  return JoinFolder(outDir, Trim(prefix) + part + u".bmp");
}

std::u16string MakerCodeHex(std::int32_t code) {
  std::u16string hex = HexText(static_cast<std::uint32_t>(code));
  if (hex.size() % 2 != 0) hex.insert(hex.begin(), u'0');
  return hex;
}

std::u16string MakerCutFileName(std::u16string_view outDir, std::u16string_view prefix, std::int32_t code) {
  return JoinFolder(outDir, Trim(prefix) + MakerCodeHex(code) + u".bmp");
}

namespace {

// A UTF-16 unit above 255, the Windows-1251 character of that byte below.
std::u16string CodeCharacter(std::int32_t code) {
  if (code > 255 || code < 0) return std::u16string(1, static_cast<char16_t>(code));
  return FromCp1251(std::string(1, static_cast<char>(code)));
}

}  // namespace

std::u16string MakerMappingLine(std::int32_t width, std::int32_t cell, std::int32_t code) {
  return MakerMappingLineText(width, cell, CodeCharacter(code));
}

std::optional<std::u16string> MakerCellText(MakerOrder order, const TranslationTable& table, std::int32_t code) {
  if (order == MakerOrder::Cp1251) return CodeCharacter(code);
  if (!table.isLoaded || code < 0 || static_cast<std::size_t>(code) >= table.entries.size()) return std::nullopt;
  const std::u16string& text = table.entries[static_cast<std::size_t>(code)];
  if (text.empty()) return std::nullopt;
  return TextToMarkupCopy(text);
}

std::u16string MakerMappingLineText(std::int32_t width, std::int32_t cell, std::u16string_view text) {
  return DecText(width) + u",#" + DecText(cell) + u'=' + std::u16string(text);
}

MakerGrid MakerGridOf(std::int32_t sheetWidth, std::int32_t sheetHeight, std::int32_t cellWidth,
                      std::int32_t cellHeight) {
  MakerGrid g;
  if (cellWidth > 0) g.cols = std::max(sheetWidth / cellWidth, 1);
  if (cellHeight > 0) g.rows = std::max(sheetHeight / cellHeight, 1);
  return g;
}

std::map<std::int32_t, std::int32_t> ParseWidthTable(std::u16string_view text) {
  std::map<std::int32_t, std::int32_t> widths;
  for (const std::u16string& line : SplitCrLf(text)) {
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) continue;
    const std::u16string width = Trim(std::u16string_view(line).substr(0, eq));
    const std::u16string code = Trim(std::u16string_view(line).substr(eq + 1));
    if (width.empty() || code.empty() || code.size() > 6) continue;
    if (!std::all_of(width.begin(), width.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) continue;
    if (!std::all_of(code.begin(), code.end(), [](char16_t c) {
          return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        }))
      continue;
    widths[ReadInt(u"&h" + code)] = ReadInt(width);
  }
  return widths;
}

std::u16string MakerFdtFileName(const MakerFdt& f) { return JoinFolder(f.outDir, Trim(f.prefix) + u"-surprize.fdt"); }

std::u16string MakerFdtText(const MakerFdt& f) {
  std::u16string text;
  auto line = [&text](const std::u16string& s) { text += s + u"\r\n"; };
  line(DecText(f.charWidth) + u',' + DecText(f.charHeight) + u"=FontWidthFontHeight");
  line(u"&HFFFFFF,&HFFFFFF=FontTranspColor");
  line(u"0," + f.sheetFile + u"=FontFileName");
  line(u"0," + DecText(f.rows) + u"=FontClipRows");
  line(u"0," + DecText(f.cols) + u"=FontClipCols");
  line(u"0," + JoinFolder(f.outDir, u"") + u"=FontDirPath");
  line(u"0,1=interletterspacing");
  line(u"3," + JoinFolder(f.outDir, u"char-UN.bmp") + u"=UnknownMappingChar");
  for (const std::u16string& m : f.mappingLines) line(m);
  return text;
}

}  // namespace vorkat
