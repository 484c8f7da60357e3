#include "tiles/sheet_fdt.h"

#include <algorithm>
#include <vector>

#include "codec/translation_table.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/text.h"
#include "font/font_state.h"
#include "fonttools/font_tags.h"

namespace vorkat {

namespace {

constexpr std::uint64_t kMaxSheetFileSize = 64u << 20;

bool IsInk(const PngPicture& sheet, int x, int y) {
  const std::size_t at =
      static_cast<std::size_t>(y) * static_cast<std::size_t>(sheet.width) + static_cast<std::size_t>(x);
  Rgb colour;
  if (!sheet.palette.empty()) {
    const std::uint8_t index = sheet.pixels[at];
    if (index < sheet.palette.size()) colour = sheet.palette[index];
  } else {
    colour = Rgb{sheet.pixels[3 * at], sheet.pixels[3 * at + 1], sheet.pixels[3 * at + 2]};
  }
  return colour != Rgb{255, 255, 255};
}

}  // namespace

SheetFdt SheetFdtOf(const PngPicture& sheet, const TranslationTable& table, const SheetFdtParams& params) {
  SheetFdt out;
  MakerFdt& fdt = out.fdt;
  fdt.charWidth = params.cellWidth;
  fdt.charHeight = params.cellHeight;
  fdt.sheetFile = params.sheetFile;
  const MakerGrid grid = MakerGridOf(sheet.width, sheet.height, params.cellWidth, params.cellHeight);
  fdt.rows = grid.rows;
  fdt.cols = grid.cols;
  fdt.outDir = FolderOf(params.sheetFile, u"");
  if (!params.lineBreak.empty()) fdt.mappingLines.push_back(u"0_NEWLINE,=" + TextToMarkupCopy(params.lineBreak));
  // A new page waits for a key, then starts again at the top.
  if (!params.newPage.empty()) fdt.mappingLines.push_back(u"0_MORE_CLS,=" + TextToMarkupCopy(params.newPage));
  // The end of a text draws nothing: a silent record.
  if (table.endCodeSet && !table.entries[table.endCode].empty())
    fdt.mappingLines.push_back(u"0_END,=" + TextToMarkupCopy(table.entries[table.endCode]));
  for (std::int32_t cell = 0; cell < grid.rows * grid.cols; ++cell) {
    const std::int64_t code = std::int64_t{params.firstCode} + cell;
    if (code >= std::ssize(table.entries)) {
      ++out.pastTable;
      continue;
    }
    const auto text = MakerCellText(MakerOrder::Table, table, static_cast<std::int32_t>(code));
    if (!text) {
      ++out.skipped;
      continue;
    }
    const MakerCell at = MakerCellOf(cell, grid.cols);
    const int left = at.col * params.cellWidth;
    const int top = at.row * params.cellHeight;
    const int width = std::min(params.cellWidth, sheet.width - left);
    const int height = std::min(params.cellHeight, sheet.height - top);
    const auto ink = CalcWdthHeight(width, height, [&](int x, int y) { return IsInk(sheet, left + x, top + y); });
    fdt.mappingLines.push_back(MakerMappingLineText(ink ? ink->width : params.cellWidth / 2, cell, *text));
    ++out.glyphs;
  }
  return out;
}

bool MakeFdtLine(FontState state, std::u16string_view argument) {
  constexpr std::u16string_view kUsage = u"картинка.png,ширина клетки,высота клетки,код первой клетки,файл.fdt";
  std::vector<std::u16string> p;
  for (std::u16string_view piece : SplitViews(argument, u",")) p.push_back(TrimBlanks(piece));
  auto refuse = [&](const std::u16string& why) {
    AppendLog(state, u"Команда MAKEFDT: " + why + u", нужно: MAKEFDT=" + std::u16string(kUsage), kColourBrightRed);
    return false;
  };
  if (p.size() != 5 || p[0].empty() || p[4].empty()) return refuse(u"не то число аргументов");
  std::int32_t numbers[3] = {};
  for (std::size_t k = 0; k < 3; ++k) {
    const auto value = ParseTypedInt(p[k + 1]);
    if (!value) {
      AppendLog(state, NotANumberText(u"Команда MAKEFDT", p[k + 1]), kColourBrightRed);
      return false;
    }
    numbers[k] = *value;
  }
  if (numbers[0] <= 0 || numbers[1] <= 0) return refuse(u"размеры клетки должны быть больше 0");
  // A table's codes end at FFFF; cell numbers added to a larger first code could overflow.
  if (numbers[2] < 0 || numbers[2] > 0xFFFF) return refuse(u"код первой клетки должен быть от 0 до FFFF");
  if (!state.table.isLoaded) return refuse(u"таблица еще не загружена");
  IoError error;
  const auto file = ReadFileBytes(p[0], &error, kMaxSheetFileSize);
  if (!file) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", p[0], error), kColourBrightRed);
    return false;
  }
  const PngPicture sheet = ReadPng(*file);
  if (sheet.error != PngError::None) {
    AppendLog(state, u"Файл " + p[0] + u" не читается как картинка PNG, FDT не записана", kColourBrightRed);
    return false;
  }
  const std::u16string sizes = DecText(sheet.width) + u"x" + DecText(sheet.height) + u", клетка " +
                               DecText(numbers[0]) + u"x" + DecText(numbers[1]);
  if (sheet.width < numbers[0] || sheet.height < numbers[1])
    return refuse(u"картинка " + p[0] + u" меньше одной клетки (" + sizes + u")");
  SheetFdtParams params;
  params.cellWidth = numbers[0];
  params.cellHeight = numbers[1];
  params.firstCode = numbers[2];
  params.sheetFile = p[0];
  params.lineBreak = state.preview.gameLFchar;
  params.newPage = state.preview.gameScrollChar;
  const SheetFdt made = SheetFdtOf(sheet, state.table, params);
  if (made.pastTable > 0)
    AppendLog(state,
              u"Клеток с кодами за концом таблицы (после FFFF) пропущено:" + NumText(made.pastTable) +
                  u", код первой клетки " + HexText(static_cast<std::uint32_t>(params.firstCode)),
              kColourDarkRed);
  if (made.glyphs < 2) return refuse(u"в таблице нет текстов для клеток картинки " + p[0]);
  if (!WriteFileAtomic(p[4], EncodeTextFile(MakerFdtText(made.fdt), false), Backup::RotateBak, &error,
                       state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Ошибка сохранения файла ", p[4], error), kColourBrightRed);
    return false;
  }
  AppendLog(state, u"Сохранили FDT в файл " + p[4] + u": букв " + DecText(made.glyphs) + u" из клеток картинки " +
                       p[0] + u" (" + DecText(made.fdt.rows) + u"x" + DecText(made.fdt.cols) + u")");
  // A glyph in a partial cell at the right or bottom edge would be lost without a word.
  if (sheet.width % numbers[0] != 0 || sheet.height % numbers[1] != 0)
    AppendLog(state,
              u"Картинка " + p[0] + u" не делится на клетки нацело (" + sizes +
                  u"): неполные клетки у правого и нижнего края не взяты",
              kColourDarkRed);
  if (made.skipped > 0)
    AppendLog(state, u"Клеток без текста в таблице пропущено:" + NumText(made.skipped), kColourDarkRed);
  return true;
}

}  // namespace vorkat
