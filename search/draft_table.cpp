#include "search/draft_table.h"

#include "codec/codec_state.h"
#include "codec/table_tools.h"
#include "core/runtime.h"
#include "core/text.h"

namespace vorkat {
namespace {

std::uint32_t CodeAt(std::span<const std::uint8_t> rom, std::size_t at, int width) {
  if (width == 2) return static_cast<std::uint32_t>(rom[at]) << 8 | rom[at + 1];
  return rom[at];
}

}  // namespace

DraftEntries DraftFromHit(const RelativeWord& word, std::span<const std::uint8_t> rom, const RelativeHit& hit) {
  DraftEntries draft;
  const auto maxCode = static_cast<std::uint32_t>(word.MaxCode());
  for (std::size_t g = 0; g < kLetterGroups.size(); ++g) {
    if (hit.codes[g] == kNoCode) continue;
    const auto first = static_cast<std::uint32_t>(hit.codes[g]);
    for (char16_t letter = kLetterGroups[g].first; letter <= kLetterGroups[g].last; ++letter) {
      const std::uint32_t code = first + (letter - kLetterGroups[g].first);
      if (code > maxCode) break;
      draft[code] = std::u16string(1, letter);
    }
  }
  const auto width = static_cast<std::size_t>(word.width);
  for (std::size_t i = 0; i < word.characters.size(); ++i) {
    const RelativeWord::Character& c = word.characters[i];
    if (c.group != kNoGroup || c.text == u"*") continue;
    const std::size_t at = hit.offset + i * width;
    if (at + width > rom.size()) break;
    draft.emplace(CodeAt(rom, at, word.width), c.text);  // a code already drafted keeps its text
  }
  return draft;
}

std::u16string DraftPreview(const DraftEntries& draft, int width, std::span<const std::uint8_t> rom, std::size_t offset,
                            std::size_t wordBytes, std::size_t around) {
  const auto w = static_cast<std::size_t>(width);
  // Codes keep the hit's alignment: step back whole codes only.
  const std::size_t before = std::min(around, offset / w);
  std::u16string text;
  for (std::size_t at = offset - before * w; at + w <= rom.size() && at < offset + wordBytes + around * w; at += w) {
    const auto found = draft.find(CodeAt(rom, at, width));
    text += found == draft.end() ? std::u16string(u"·") : found->second;
  }
  return text;
}

bool DraftTable(CodecState state, std::u16string_view text, int width, std::int64_t offset,
                const std::u16string& fileName) {
  if (fileName.empty()) {
    AppendLog(state, u"Не задано имя файла таблицы");
    return false;
  }
  if (!RequireRom(state)) return false;
  if (width != 1 && width != 2) {
    AppendLog(state, u"Таблица не создана: ширина кода должна быть 1 или 2", kColourBrightRed);
    return false;
  }
  const RelativeWord word = ReadRelativeWord(text, width);
  const std::span<const std::uint8_t> rom = state.rom.view();
  std::optional<GroupCodes> codes;
  // A word without two letters of one alphabet matches anywhere and implies nothing.
  if (offset >= 0 && word.HasTwoLetterGroup()) codes = RelativeMatchAt(word, rom, static_cast<std::size_t>(offset));
  if (!codes) {
    AppendLog(state,
              u"Таблица не создана: по адресу " +
                  (offset >= 0 ? HexText(static_cast<std::uint64_t>(offset)) : DecText(offset)) +
                  u" нет совпадения со словом " + std::u16string(text),
              kColourBrightRed);
    return false;
  }
  const DraftEntries draft = DraftFromHit(word, rom, RelativeHit{static_cast<std::uint32_t>(offset), *codes});
  TranslationTable table;
  table.type = width == 2 ? u"DBCS" : u"SBCS";
  table.codeWidth = width;
  for (const auto& [code, entry] : draft) table.entries[code] = entry;
  if (!WriteTableFile(state, fileName, table)) return false;
  AppendLog(state, u"Сохранили черновую таблицу в файле " + fileName + u", кодов" +
                       NumText(static_cast<long long>(draft.size())));
  return true;
}

}  // namespace vorkat
