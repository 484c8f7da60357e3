#include "search/relative_search.h"

#include <algorithm>

#include "core/core_state.h"
#include "core/runtime.h"
#include "core/text.h"

namespace vorkat {
namespace {

// Offsets walked between two looks at the clock and the stop button.
constexpr std::size_t kSearchChunk = std::size_t{1} << 16;

int GroupOf(char16_t c) {
  for (std::size_t g = 0; g < kLetterGroups.size(); ++g)
    if (c >= kLetterGroups[g].first && c <= kLetterGroups[g].last) return static_cast<int>(g);
  return kNoGroup;
}

// The word turned into the checks made at each offset, positions in bytes
// from the candidate offset.
struct MatchPlan {
  // The codes at `other` and `anchor` must differ by `difference`.
  struct Pair {
    std::size_t anchor;
    std::size_t other;
    std::int32_t difference;
  };
  // The first letter of a group: its code minus its place is the implied code.
  struct Anchor {
    std::size_t group;
    std::size_t at;
    std::int32_t place;
  };
  std::vector<Pair> pairs;
  std::vector<Anchor> anchors;
  std::size_t length = 0;
};

MatchPlan PlanFor(const RelativeWord& word) {
  MatchPlan plan;
  plan.length = word.ByteLength();
  const auto width = static_cast<std::size_t>(word.width);
  for (std::size_t g = 0; g < kLetterGroups.size(); ++g) {
    std::optional<MatchPlan::Anchor> anchor;
    for (std::size_t i = 0; i < word.characters.size(); ++i) {
      const auto& c = word.characters[i];
      if (c.group != static_cast<int>(g)) continue;
      if (!anchor) {
        anchor = MatchPlan::Anchor{g, i * width, c.place};
        plan.anchors.push_back(*anchor);
        continue;
      }
      plan.pairs.push_back({anchor->at, i * width, c.place - anchor->place});
    }
  }
  // Near pairs first: their bytes are in the cache line already read.
  // (Each place of the word is the `other` of one pair at most, so the order is total.)
  std::sort(plan.pairs.begin(), plan.pairs.end(), [](const auto& a, const auto& b) {
    return a.other - a.anchor != b.other - b.anchor ? a.other - a.anchor < b.other - b.anchor : a.other < b.other;
  });
  return plan;
}

template <int Width>
std::int32_t CodeAt(std::span<const std::uint8_t> rom, std::size_t at) {
  if constexpr (Width == 1)
    return rom[at];
  else
    return static_cast<std::int32_t>(rom[at]) << 8 | rom[at + 1];
}

// The caller makes sure that the word fits at `offset`.
template <int Width>
bool MatchesAt(const MatchPlan& plan, std::span<const std::uint8_t> rom, std::size_t offset) {
  for (const auto& p : plan.pairs)
    if (CodeAt<Width>(rom, offset + p.other) - CodeAt<Width>(rom, offset + p.anchor) != p.difference) return false;
  for (const auto& a : plan.anchors)
    if (CodeAt<Width>(rom, offset + a.at) < a.place) return false;
  return true;
}

template <int Width>
GroupCodes ImpliedCodes(const MatchPlan& plan, std::span<const std::uint8_t> rom, std::size_t offset) {
  GroupCodes codes;
  codes.fill(kNoCode);
  for (const auto& a : plan.anchors) codes[a.group] = CodeAt<Width>(rom, offset + a.at) - a.place;
  return codes;
}

template <int Width>
bool SearchRange(CoreState state, const MatchPlan& plan, std::span<const std::uint8_t> rom, std::size_t start,
                 std::size_t lastStart, RelativeSearchResult& result) {
  // The nearest pair rules out almost every offset: held in registers, it
  // is the whole cost of the pass.
  const std::size_t anchor = plan.pairs.front().anchor;
  const std::size_t other = plan.pairs.front().other;
  const std::int32_t difference = plan.pairs.front().difference;
  for (std::size_t chunk = start; chunk <= lastStart; chunk += kSearchChunk) {
    const std::size_t chunkEnd = std::min(lastStart, chunk + kSearchChunk - 1);
    for (std::size_t offset = chunk; offset <= chunkEnd; ++offset) {
      if (CodeAt<Width>(rom, offset + other) - CodeAt<Width>(rom, offset + anchor) != difference) continue;
      if (!MatchesAt<Width>(plan, rom, offset)) continue;
      if (result.hits.size() < kRelativeHitsKept)
        result.hits.push_back({static_cast<std::uint32_t>(offset), ImpliedCodes<Width>(plan, rom, offset)});
      ++result.count;
    }
    SetProgress(state, static_cast<std::int64_t>(chunkEnd));
    YieldPoint(state);
    if (state.ctx.CancelRequested) return false;
  }
  return true;
}

}  // namespace

bool RelativeWord::UsesGroup(std::size_t group) const {
  return std::any_of(characters.begin(), characters.end(),
                     [&](const Character& c) { return c.group == static_cast<int>(group); });
}

bool RelativeWord::HasTwoLetterGroup() const {
  for (std::size_t g = 0; g < kLetterGroups.size(); ++g)
    if (std::count_if(characters.begin(), characters.end(),
                      [&](const Character& c) { return c.group == static_cast<int>(g); }) >= 2)
      return true;
  return false;
}

RelativeWord ReadRelativeWord(std::u16string_view word, int width) {
  RelativeWord out;
  out.width = width;
  for (std::size_t i = 0; i < word.size(); ++i) {
    RelativeWord::Character c;
    const bool pair = word[i] >= 0xD800 && word[i] < 0xDC00 && i + 1 < word.size() && word[i + 1] >= 0xDC00 &&
                      word[i + 1] < 0xE000;
    c.text = word.substr(i, pair ? 2 : 1);
    if (!pair) {
      c.group = GroupOf(word[i]);
      if (c.group != kNoGroup) c.place = word[i] - kLetterGroups[static_cast<std::size_t>(c.group)].first;
    }
    if (pair) ++i;
    out.characters.push_back(std::move(c));
  }
  return out;
}

std::optional<GroupCodes> RelativeMatchAt(const RelativeWord& word, std::span<const std::uint8_t> rom,
                                          std::size_t offset) {
  const MatchPlan plan = PlanFor(word);
  if (offset > rom.size() || rom.size() - offset < plan.length) return std::nullopt;
  if (word.width == 2) {
    if (!MatchesAt<2>(plan, rom, offset)) return std::nullopt;
    return ImpliedCodes<2>(plan, rom, offset);
  }
  if (!MatchesAt<1>(plan, rom, offset)) return std::nullopt;
  return ImpliedCodes<1>(plan, rom, offset);
}

RelativeSearchResult RelativeSearch(CoreState state, std::u16string_view text, int width, std::size_t start,
                                    std::size_t end) {
  LongOperation op(state);
  RelativeSearchResult result;
  if (!RequireRom(state)) return result;
  if (width != 1 && width != 2) {
    AppendRefusal(state, u"Относительный поиск не начат: ширина кода должна быть 1 или 2", kColourDarkRed);
    return result;
  }
  const RelativeWord word = ReadRelativeWord(text, width);
  if (!word.HasTwoLetterGroup()) {
    // Without two letters of one alphabet every offset would be a hit.
    AppendRefusal(state,
                  u"Относительный поиск не начат: в слове нужны хотя бы две буквы одного алфавита "
                  u"(A-Z, a-z, 0-9, А-Я, а-я, ぁ-ゖ, ァ-ヺ)",
                  kColourDarkRed);
    return result;
  }
  const std::span<const std::uint8_t> rom = state.rom.view();
  end = std::min(end, rom.size());
  const MatchPlan plan = PlanFor(word);
  if (start >= end || end - start < plan.length) {
    AppendRefusal(state, u"Относительный поиск не начат: слово не помещается в диапазон поиска", kColourDarkRed);
    return result;
  }
  result.searched = true;
  const std::size_t lastStart = end - plan.length;
  ShowProgress(state, static_cast<std::int64_t>(start), static_cast<std::int64_t>(lastStart),
               static_cast<std::int64_t>(start));
  const bool finished = width == 2 ? SearchRange<2>(state, plan, rom, start, lastStart, result)
                                   : SearchRange<1>(state, plan, rom, start, lastStart, result);
  HideProgress(state);
  if (!finished) {
    result.stopped = true;
    AppendLog(state, u"Относительный поиск прерван пользователем");
  }
  return result;
}

std::u16string ImpliedCodesText(const RelativeWord& word, const GroupCodes& codes) {
  std::u16string text;
  for (std::size_t g = 0; g < kLetterGroups.size(); ++g) {
    if (codes[g] == kNoCode) continue;
    text += u' ';
    text += kLetterGroups[g].first;
    text += u'=';
    text += HexText(static_cast<std::uint32_t>(codes[g]), word.width * 2);
  }
  return text;
}

std::u16string RelativeHitLine(const RelativeWord& word, const RelativeHit& hit) {
  return u"Относительный поиск: " + HexText(hit.offset) + ImpliedCodesText(word, hit.codes);
}

std::u16string RelativeCountLine(std::size_t count) {
  return u"Найдено совпадений" + NumText(static_cast<long long>(count));
}

void LogRelativeHits(CoreState state, const RelativeWord& word, const RelativeSearchResult& result) {
  for (const RelativeHit& hit : result.hits) AppendLog(state, RelativeHitLine(word, hit));
  if (result.count > result.hits.size())
    AppendLog(state,
              u"Показаны первые" + NumText(static_cast<long long>(result.hits.size())) +
                  u" совпадений, остальные только сосчитаны",
              kColourDarkRed);
  AppendLog(state, RelativeCountLine(result.count));
}

void RelativeSearchCommand(CoreState state, std::u16string_view word, int width) {
  const RelativeSearchResult result = RelativeSearch(state, word, width, 0, state.rom.view().size());
  if (result.searched) LogRelativeHits(state, ReadRelativeWord(word, width), result);
}

}  // namespace vorkat
