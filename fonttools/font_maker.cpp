#include "fonttools/font_maker.h"

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

std::u16string MakerMappingLine(std::int32_t width, std::int32_t cell, std::int32_t code) {
  std::u16string character;
  if (code > 255 || code < 0)
    character = std::u16string(1, static_cast<char16_t>(code));
  else
    character = FromCp1251(std::string(1, static_cast<char>(code)));
  return DecText(width) + u",#" + DecText(cell) + u'=' + character;
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
