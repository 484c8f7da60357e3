#include "fonttools/font_mapper.h"

#include "codec/table_edit.h"
#include "codec/translation_table.h"
#include "core/text.h"
#include "font/font_commands.h"

namespace vorkat {

std::vector<std::u16string> FontMapperStartLines(const FontDescriptionTable& fdt) {
  if (!fdt.isLoaded || fdt.lines.size() <= 1) return {};
  return fdt.lines;
}

std::u16string FontMapperCharText(const TranslationTable& table, std::u16string_view item) {
  const auto code = ReadTableEditCode(Trim(TableListItemCode(item)));
  if (!code || static_cast<std::size_t>(*code) >= table.entries.size()) return {};
  return ReplaceAll(table.entries[static_cast<std::size_t>(*code)], u"\r\n", u"");
}

std::u16string FontMapperLine(std::u16string_view width, std::u16string_view charFileName, std::u16string_view text) {
  return Trim(width) + u',' + std::u16string(charFileName) + u'=' + std::u16string(text);
}

bool CloseFontMapper(FontState state, const std::vector<std::u16string>& mapview) {
  if (mapview.size() < 2) return false;
  state.fdt.lines = mapview;
  ReparseFontDescription(state);
  return true;
}

}  // namespace vorkat
