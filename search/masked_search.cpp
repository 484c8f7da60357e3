#include "search/masked_search.h"

#include <algorithm>
#include <cstring>

#include "codec/codec_state.h"
#include "codec/encoder.h"
#include "core/runtime.h"
#include "core/text.h"

namespace vorkat {
namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// The span the search walks between two looks at the clock and the stop button.
constexpr std::size_t kSearchChunk = std::size_t{1} << 20;

}  // namespace

std::optional<SearchPattern> ParseSearchPattern(std::u16string_view text, std::u16string* badItem) {
  SearchPattern pattern;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const std::u16string_view item = text.substr(i, 2);
    if (item == u"??") {
      pattern.push_back(kAnyByte);
      continue;
    }
    const int high = HexDigit(item[0]);
    const int low = item.size() == 2 ? HexDigit(item[1]) : -1;
    if (high < 0 || low < 0) {
      if (badItem) *badItem = std::u16string(item);
      return std::nullopt;
    }
    pattern.push_back(static_cast<std::int16_t>(high * 16 + low));
  }
  return pattern;
}

MaskedMatcher::MaskedMatcher(std::span<const std::uint8_t> rom, SearchPattern pattern)
    : rom_(rom), pattern_(std::move(pattern)) {
  while (prefixLength_ < pattern_.size() && pattern_[prefixLength_] != kAnyByte) ++prefixLength_;
  // The longest literal run filters best; a leading "??" then costs nothing.
  std::size_t bestAt = 0, bestLength = 0;
  for (std::size_t i = 0; i < pattern_.size();) {
    if (pattern_[i] == kAnyByte) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < pattern_.size() && pattern_[j] != kAnyByte) ++j;
    if (j - i > bestLength) {
      bestAt = i;
      bestLength = j - i;
    }
    i = j;
  }
  anchorAt_ = bestAt;
  for (std::size_t i = bestAt; i < bestAt + bestLength; ++i) anchor_.push_back(static_cast<std::uint8_t>(pattern_[i]));
}

bool MaskedMatcher::MatchesAt(std::size_t start) const {
  if (start + pattern_.size() > rom_.size()) return false;
  for (std::size_t i = 0; i < pattern_.size(); ++i)
    if (pattern_[i] != kAnyByte && rom_[start + i] != static_cast<std::uint8_t>(pattern_[i])) return false;
  return true;
}

std::optional<std::size_t> MaskedMatcher::Next(std::size_t from, std::size_t limit) const {
  const std::size_t n = pattern_.size();
  if (n == 0 || n > rom_.size()) return std::nullopt;
  limit = std::min(limit, rom_.size() - n + 1);  // the last start that fits
  if (anchor_.empty()) {
    if (from < limit) return from;
    return std::nullopt;
  }
  const std::size_t m = anchor_.size();
  std::size_t at = from;
  while (at < limit) {
    const std::size_t hayStart = at + anchorAt_;
    const std::size_t hayEnd = limit - 1 + anchorAt_ + m;  // the anchor of the last start ends here
    const void* found = ::memmem(rom_.data() + hayStart, hayEnd - hayStart, anchor_.data(), m);
    if (!found) return std::nullopt;
    const auto anchorPos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - rom_.data());
    const std::size_t start = anchorPos - anchorAt_;
    if (MatchesAt(start)) return start;
    at = start + 1;
  }
  return std::nullopt;
}

bool MaskedMatcher::PrefixMissing() const {
  if (prefixLength_ == 0) return false;
  std::vector<std::uint8_t> prefix;
  for (std::size_t i = 0; i < prefixLength_; ++i) prefix.push_back(static_cast<std::uint8_t>(pattern_[i]));
  return prefix.size() > rom_.size() || !::memmem(rom_.data(), rom_.size(), prefix.data(), prefix.size());
}

std::u16string SearchHitLine(std::int32_t offset, std::span<const std::uint8_t> bytes) {
  std::u16string line =
      u"адрес " + NumText(offset) + u" hex(" + HexText(static_cast<std::uint32_t>(offset)) + u")   -->";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) line += u',';
    line += HexText(bytes[i]);
  }
  return line;
}

std::u16string SearchTextToHex(CodecState state, std::u16string_view text, bool useTable) {
  std::u16string hex;
  if (useTable) {
    for (std::uint8_t b : Encode(state, text)) hex += HexText(b, 2);
    return hex;
  }
  for (char16_t c : text) {
    if (c == u'*') {
      hex += u"??";
      continue;
    }
    const std::string ansi = ToCp1251(std::u16string_view(&c, 1));
    hex += HexText(static_cast<std::uint8_t>(ansi[0]), 2);
  }
  return hex;
}

void SearchRomBytes(CodecState state, std::u16string_view text, std::vector<std::u16string>* jumpList) {
  LongOperation op(state);
  if (!state.rom.isLoaded) {
    MsgBox(state, u"ROM еще не загружен", MsgButtons::Ok, MsgIcon::None, u"Ошибочка");
    AppendLog(state, u"ROM еще не загружен");
    return;
  }
  AppendLog(state, u"Будем искать строку " + std::u16string(text));
  if (text.size() == 1) return;
  std::u16string badItem;
  const std::optional<SearchPattern> parsed = ParseSearchPattern(text, &badItem);
  if (!parsed) {
    AppendLog(state,
              u"Ошибка в строке поиска: '" + badItem +
                  u"' - не байт (нужны пары шестнадцатеричных цифр или ?"
                  u"?), поиск не выполнен",
              kColourDarkRed);
    return;
  }
  const SearchPattern& pattern = *parsed;
  // An empty pattern would match everywhere and nowhere: nothing to search.
  if (pattern.empty()) return;

  const std::span<const std::uint8_t> rom = state.rom.view();
  const MaskedMatcher matcher(rom, pattern);
  if (matcher.PrefixMissing()) {
    AppendLog(state, u"Такая строка не найдена ");
    return;
  }
  ShowProgress(state, 0, std::max<std::int64_t>(static_cast<std::int64_t>(rom.size()) - 1, 0));
  const std::size_t n = pattern.size();
  bool listFull = false;
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos + n <= rom.size()) {
    const std::size_t limit = pos + kSearchChunk;
    if (const auto hit = matcher.Next(pos, limit)) {
      const auto offset = static_cast<std::int32_t>(*hit);
      if (++count <= kSearchHitsLogged) AppendLog(state, SearchHitLine(offset, rom.subspan(*hit, n)));
      if (jumpList) {
        if (jumpList->size() < kJumpListLimit) {
          jumpList->push_back(DecText(offset));
        } else if (!listFull) {
          listFull = true;
          AppendLog(state,
                    u"Список адресов для прыга полон (" + DecText(kJumpListLimit) + u"), дальше адреса только в логе",
                    kColourDarkRed);
        }
      }
      pos = *hit + n;
      SetProgress(state, offset);
    } else {
      pos = limit;
      SetProgress(state, static_cast<std::int64_t>(std::min(pos, rom.size() - 1)));
    }
    YieldPoint(state);
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Процесс поиска прерван пользователем");
      HideProgress(state);
      return;
    }
  }
  if (count > kSearchHitsLogged) {
    AppendLog(state,
              u"Показаны первые" + NumText(static_cast<long long>(kSearchHitsLogged)) +
                  u" совпадений, остальные только сосчитаны",
              kColourDarkRed);
    AppendLog(state, u"Найдено совпадений" + NumText(static_cast<long long>(count)));
  }
  AppendLog(state, u"поиск завершен.");
  HideProgress(state);
}

}  // namespace vorkat
