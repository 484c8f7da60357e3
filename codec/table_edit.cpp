#include "codec/table_edit.h"

#include "codec/hex_digits.h"
#include "core/log.h"
#include "core/settings.h"
#include "core/text.h"

namespace vorkat {

std::vector<std::int32_t> TableListCodes(const TranslationTable& table) {
  std::vector<std::int32_t> codes;
  for (std::size_t code = 0; code < table.entries.size(); ++code)
    if (!table.entries[code].empty()) codes.push_back(static_cast<std::int32_t>(code));
  return codes;
}

std::u16string TableListItemText(const TranslationTable& table, std::int32_t code) {
  const std::size_t step = table.type == u"SBCS" ? 2 : 4;
  std::u16string hex = HexText(static_cast<unsigned long long>(code));
  const std::size_t width = (hex.size() + step - 1) / step * step;
  hex.insert(0, width - hex.size(), u'0');
  return hex + u" = " + table.entries[static_cast<std::size_t>(code)];
}

std::u16string_view TableListItemCode(std::u16string_view item) { return item.substr(0, item.find(u" = ")); }

std::optional<std::int32_t> ReadTableEditCode(std::u16string_view text) {
  text = std::u16string_view(text).substr(0, text.find_last_not_of(u' ') + 1);
  text.remove_prefix(std::min(text.find_first_not_of(u' '), text.size()));
  if (text.empty() || text.size() > 8) return std::nullopt;
  for (char16_t c : text)
    if (HexDigitValue(c) < 0) return std::nullopt;
  const std::uint32_t code = LeadingHex(text);
  if (code >= kTableCodes) return std::nullopt;
  return static_cast<std::int32_t>(code);
}

bool SetTableEntry(CodecState state, std::u16string_view codeText, std::u16string_view markupText) {
  const std::optional<std::int32_t> code = ReadTableEditCode(codeText);
  if (!code) {
    AppendLog(state, u"Код символа должен быть шестнадцатеричным числом от 0 до FFFF: " + std::u16string(codeText),
              kColourDarkRed);
    return false;
  }
  std::u16string& entry = state.table.entries[static_cast<std::size_t>(*code)];
  if (entry.empty()) ++state.table.tokenCount;
  entry = MarkupToTextCopy(markupText);
  state.table.MarkEdited();
  return true;
}

void DeleteTableEntry(CodecState state, std::int32_t code) {
  if (code < 0 || static_cast<std::size_t>(code) >= state.table.entries.size()) return;
  std::u16string& entry = state.table.entries[static_cast<std::size_t>(code)];
  if (entry.empty()) return;
  std::u16string().swap(entry);
  state.table.MarkEdited();
}

void SetTableTypeText(CodecState state, std::u16string_view type) {
  if (state.table.type == type) return;
  state.table.type = std::u16string(type);
  state.table.MarkEdited();
}

void SetTableComment(CodecState state, std::u16string_view comment) {
  std::u16string stored = ReplaceAll(comment, u"=", u"<$равно>");
  if (state.table.comment == stored) return;
  state.table.comment = std::move(stored);
  state.table.MarkEdited();
}

void FillTableFromWin1251(CodecState state) {
  TranslationTable& table = state.table;
  for (int code = 0x20; code <= 0xFF; ++code) {
    const char byte = static_cast<char>(code);
    std::u16string& entry = table.entries[static_cast<std::size_t>(code)];
    if (entry.empty()) ++table.tokenCount;
    entry = FromCp1251(std::string_view(&byte, 1));
  }
  table.isLoaded = true;
  table.MarkEdited();
}

}  // namespace vorkat
