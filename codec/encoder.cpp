#include "codec/encoder.h"

#include <algorithm>
#include <utility>

#include "codec/decoder.h"
#include "codec/hex_digits.h"
#include "codec/text_hash.h"
#include "core/runtime.h"
#include "codec/codec_state.h"

namespace vorkat {
namespace {

// Sorts slot numbers by text length, longest first, with the exact
// partitioning the program has always used: which of several codes with the
// same text comes first depends on it. An explicit stack replaces the
// recursion (the two halves are disjoint, so the order they are sorted in
// does not change the result) to keep the depth bounded.
void SortLongestFirst(std::vector<std::int32_t>& lengths, std::vector<std::int32_t>& order) {
  if (lengths.size() < 2) return;
  std::vector<std::pair<std::int64_t, std::int64_t>> pending;
  pending.emplace_back(0, static_cast<std::int64_t>(lengths.size()) - 1);
  while (!pending.empty()) {
    auto [lo, hi] = pending.back();
    pending.pop_back();
    const std::int32_t pivot = lengths[static_cast<std::size_t>(lo + (hi - lo) / 2)];
    std::int64_t i = lo;
    std::int64_t j = hi;
    do {
      while (lengths[static_cast<std::size_t>(i)] > pivot) ++i;
      while (lengths[static_cast<std::size_t>(j)] < pivot) --j;
      if (i <= j) {
        std::swap(lengths[static_cast<std::size_t>(i)], lengths[static_cast<std::size_t>(j)]);
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    // The larger half waits on the stack, the smaller one is taken next.
    bool leftLarger = j - lo > hi - i;
    if (leftLarger) {
      if (lo < j) pending.emplace_back(lo, j);
      if (i < hi) pending.emplace_back(i, hi);
    } else {
      if (i < hi) pending.emplace_back(i, hi);
      if (lo < j) pending.emplace_back(lo, j);
    }
  }
}

void EmitCode(Bytes& out, std::int32_t code) {
  if (code <= 0xFF) {
    out.push_back(static_cast<std::uint8_t>(code));
  } else {
    out.push_back(static_cast<std::uint8_t>(code >> 8));
    out.push_back(static_cast<std::uint8_t>(code & 0xFF));
  }
}

constexpr std::u16string_view kUnknownToken = u"В таблице не найдена комбинация символов (правая часть таблицы)";

bool IsCrLfAt(std::u16string_view text, std::size_t p) {
  return p + 1 < text.size() && text[p] == u'\r' && text[p + 1] == u'\n';
}

}  // namespace

std::int32_t EncoderIndex::Find(std::u16string_view text) const {
  if (text.size() == 1) return singleChar.empty() ? -1 : singleChar[text[0]];
  if (text.empty() || text.size() > maxLength || buckets.empty()) return -1;
  for (std::size_t b = HashText(text) & bucketMask;; b = (b + 1) & bucketMask) {
    std::int32_t slot = buckets[b];
    if (slot == 0) return -1;
    const EncoderIndexSlot& s = slots[static_cast<std::size_t>(slot - 1)];
    if (s.text == text) return s.code;
  }
}

void BuildEncoderIndex(TranslationTable& table) {
  EncoderIndex& index = table.encoderIndex;
  std::vector<EncoderIndexSlot> filled;
  for (std::size_t code = 0; code < table.entries.size(); ++code)
    if (!table.entries[code].empty())
      filled.push_back({static_cast<std::int32_t>(code), table.entries[code],
                        static_cast<std::int32_t>(table.entries[code].size())});
  // The list has tokenCount slots; entries left over stay empty and never
  // match. More entries than tokenCount (a table filled by hand) still get
  // a slot each.
  std::size_t count = std::max<std::size_t>(filled.size(), static_cast<std::size_t>(std::max(table.tokenCount, 0)));
  filled.resize(count);

  std::vector<std::int32_t> lengths(count);
  std::vector<std::int32_t> order(count);
  for (std::size_t i = 0; i < count; ++i) {
    lengths[i] = filled[i].length;
    order[i] = static_cast<std::int32_t>(i);
  }
  SortLongestFirst(lengths, order);

  index.slots.clear();
  index.slots.reserve(count);
  for (std::int32_t i : order) index.slots.push_back(std::move(filled[static_cast<std::size_t>(i)]));

  index.maxLength = 0;
  index.singleChar.assign(kTableCodes, -1);
  std::size_t buckets = 16;
  while (buckets < count * 2) buckets <<= 1;
  index.buckets.assign(buckets, 0);
  index.bucketMask = buckets - 1;
  for (std::size_t i = 0; i < index.slots.size(); ++i) {
    const EncoderIndexSlot& s = index.slots[i];
    if (s.length == 0) continue;
    index.maxLength = std::max(index.maxLength, s.text.size());
    if (s.length == 1) {
      if (index.singleChar[s.text[0]] < 0) index.singleChar[s.text[0]] = s.code;
      continue;
    }
    // The first slot with a text wins, as a walk from the start would find it.
    for (std::size_t b = HashText(s.text) & index.bucketMask;; b = (b + 1) & index.bucketMask) {
      std::int32_t other = index.buckets[b];
      if (other == 0) {
        index.buckets[b] = static_cast<std::int32_t>(i + 1);
        break;
      }
      if (index.slots[static_cast<std::size_t>(other - 1)].text == s.text) break;
    }
  }
  index.built = true;
  index.revision = table.revision;
}

std::u16string UndoPostprocessor(const TranslationTable& table, std::u16string text) {
  if (text.empty()) return text;
  for (const auto& [find, replace] : table.postprocessorPairs) {
    // An empty replace text cannot be found back; a pair with an empty find
    // text is never applied when decoding, so there is nothing to undo.
    if (replace.empty() || find.empty() || text.find(replace) == std::u16string::npos) continue;
    text = ReplaceAll(text, replace, find);
  }
  return text;
}

std::optional<std::uint8_t> ByteEscapeValue(std::u16string_view token) {
  if (token.size() != 5 || token[0] != u'<' || token[1] != u'$' || token[4] != u'>') return std::nullopt;
  int hi = HexDigitValue(token[2]);
  int lo = HexDigitValue(token[3]);
  if (hi < 0 || lo < 0) return std::nullopt;
  return static_cast<std::uint8_t>(hi * 16 + lo);
}

WarningLimit UnknownTokenWarnings() { return WarningLimit(kUnknownToken); }

namespace {

// Reports one unknown token; with SkipUnknownTRChars off its characters are
// still emitted when the report itself is left out.
void UnknownToken(Context& state, const CodecOptions& options, std::u16string_view token, WarningLimit& limit,
                  Bytes& out, std::u16string* understood, EncodeLosses* losses) {
  if (losses) {
    ++losses->unknown;
    if (options.SkipUnknownTRChars && losses->lost++ == 0) losses->firstLost = token;
  }
  const bool report = limit.Allow();
  if (report) AppendLog(state, std::u16string(kUnknownToken) + u" ='" + std::u16string(token) + u"'");
  if (options.SkipUnknownTRChars) {
    if (!report) return;
    AppendLog(state, u"Будем считать, что мы вообще этой последовательности не встречали (небыло такого и всё)",
              kColourGreen);
    AppendLog(state,
              u"это значит, что длинна строки будет чуть короче, чем видно в редакторе, и вставится в ROM чуть "
              u"меньше...",
              kColourGreen);
    return;
  }
  if (report)
    AppendLog(state, u"При вставке текста диалога в ROM, могут появиться незапланированные проблемы...",
              kColourBrightRed);
  const std::string ansi = ToCp1251(token);
  out.insert(out.end(), ansi.begin(), ansi.end());
  if (understood) understood->append(token);
}

}  // namespace

Bytes Encode(CodecState state, std::u16string_view text, WarningLimit* unknownTokens, std::u16string* understood,
             EncodeLosses* losses) {
  return Encode(state.ctx, state.table, state.codecOptions, text, unknownTokens, understood, losses);
}

bool TableEncodes(Context& ctx, TranslationTable& table, const CodecOptions& options, std::u16string_view text) {
  WarningLimit silent(u"", 0);
  EncodeLosses losses;
  Encode(ctx, table, options, text, &silent, nullptr, &losses);
  return losses.unknown == 0;
}

Bytes Encode(Context& state, TranslationTable& table, const CodecOptions& options, std::u16string_view text,
             WarningLimit* unknownTokens, std::u16string* understood, EncodeLosses* losses) {
  if (!table.isLoaded) {
    AppendLog(state, u"Таблица еще не загружена");
    return {};
  }
  if (!table.encoderIndex.built || table.encoderIndex.revision != table.revision) BuildEncoderIndex(table);
  const EncoderIndex& index = table.encoderIndex;
  const std::u16string undone = UndoPostprocessor(table, std::u16string(text));
  const std::u16string_view t(undone);
  const std::size_t n = t.size();

  Bytes out;
  out.reserve(n);
  WarningLimit ownLimit(kUnknownToken);
  std::size_t nextGt = 0;  // first ">" at or after the last search point
  bool gtSearched = false;
  std::size_t b = 0;
  while (b < n) {
    // A markup group "<$...>" is one token when at least four characters
    // follow the "<".
    std::size_t tokenLength = 1;
    if (t[b] == u'<' && b + 4 < n && t[b + 1] == u'$') {
      if (!gtSearched || nextGt < b) {
        nextGt = t.find(u'>', b);
        gtSearched = true;
      }
      if (nextGt != std::u16string_view::npos) tokenLength = nextGt - b + 1;
    }
    const std::u16string_view token = t.substr(b, tokenLength);

    // Line breaks after the token: only as many as the longest table text
    // could hold are tried.
    std::size_t pairs = 0;
    const std::size_t maxPairs = index.maxLength > tokenLength ? (index.maxLength - tokenLength) / 2 : 0;
    while (pairs < maxPairs && IsCrLfAt(t, b + tokenLength + 2 * pairs)) ++pairs;

    std::int32_t code = -1;
    std::size_t matched = 0;
    for (std::size_t k = pairs + 1; k-- > 0 && code < 0;) {
      matched = tokenLength + 2 * k;
      code = index.Find(t.substr(b, matched));
    }

    if (code >= 0) {
      EmitCode(out, code);
      if (understood) understood->append(t.substr(b, matched));
      // Every following line break is consumed, matched or not.
      b += tokenLength + 2 * pairs;
      while (IsCrLfAt(t, b)) b += 2;
      continue;
    }
    b += tokenLength;
    if (auto byte = ByteEscapeValue(token)) {
      out.push_back(*byte);
      if (understood) understood->append(ByteEscape(*byte));
      continue;
    }
    if (!ExtendedLogsOn(state)) {
      // Without extended logs an unknown token is dropped without a word.
      if (losses) {
        ++losses->unknown;
        if (losses->lost++ == 0) losses->firstLost = token;
      }
      continue;
    }
    UnknownToken(state, options, token, unknownTokens ? *unknownTokens : ownLimit, out, understood, losses);
  }
  if (!unknownTokens) ownLimit.Summarise(state, kColourDarkRed);
  return out;
}

}  // namespace vorkat
