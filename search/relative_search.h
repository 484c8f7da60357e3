// Relative search: finds a word in a ROM whose table is not known yet, by
// the differences between its letters' codes rather than by the codes
// themselves. Letters of one alphabet keep their order and spacing in every
// game, so the bytes of "Hello" differ like H, e, l, l, o differ, whatever
// code the game gave to "A".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct CoreState;

// The alphabets whose letters keep their places, in the order the log lists them.
struct LetterGroup {
  char16_t first;  // the letter whose code a hit implies
  char16_t last;
};
inline constexpr std::array<LetterGroup, 7> kLetterGroups = {{
    {u'A', u'Z'},
    {u'a', u'z'},
    {u'0', u'9'},
    {u'А', u'Я'},
    {u'а', u'я'},
    {u'ぁ', u'ゖ'},
    {u'ァ', u'ヺ'},
}};
inline constexpr int kNoGroup = -1;

// Implied codes of a hit: for each group the code of its first letter, or
// kNoCode when the word has no letter of that group.
inline constexpr std::int32_t kNoCode = -1;
using GroupCodes = std::array<std::int32_t, kLetterGroups.size()>;

// A searched word read character by character (a surrogate pair is one
// character). A character outside the groups is free: it matches any code.
struct RelativeWord {
  struct Character {
    std::u16string text;
    int group = kNoGroup;  // index into kLetterGroups, or kNoGroup
    int place = 0;         // the letter's place in its alphabet
  };
  std::vector<Character> characters;
  int width = 1;  // bytes per code: 1, or 2 for big-endian two-byte codes

  bool UsesGroup(std::size_t group) const;
  // True when some group holds two letters, so the word says anything at all.
  bool HasTwoLetterGroup() const;
  // The highest code and implied code that fit the width.
  std::int32_t MaxCode() const { return width == 2 ? 0xFFFF : 0xFF; }
  std::size_t ByteLength() const { return characters.size() * static_cast<std::size_t>(width); }
};

RelativeWord ReadRelativeWord(std::u16string_view word, int width);

struct RelativeHit {
  std::uint32_t offset = 0;
  GroupCodes codes{};
};

// The implied codes when the word matches at `offset` (the whole word inside
// `rom`), else nothing.
std::optional<GroupCodes> RelativeMatchAt(const RelativeWord& word, std::span<const std::uint8_t> rom,
                                          std::size_t offset);

// Hits kept for showing; beyond this many the search only counts them.
inline constexpr std::size_t kRelativeHitsKept = 100000;

struct RelativeSearchResult {
  std::vector<RelativeHit> hits;  // the first kRelativeHitsKept, by offset
  std::size_t count = 0;          // every hit found
  bool searched = false;          // false when refused before the search
  bool stopped = false;           // the user stopped it
};

// Searches [start, end) of the working ROM (end clipped to the ROM) in one
// pass; every offset is a candidate while the whole word fits before `end`.
// A long operation: yields, shows progress and stops on a stop request.
// Refuses (with a log line) a missing ROM, a width other than 1 or 2, an
// empty range and a word without two letters of one group.
RelativeSearchResult RelativeSearch(CoreState state, std::u16string_view word, int width, std::size_t start,
                                    std::size_t end);

// The implied codes of the groups the word uses, each after a blank: " A=80 a=A0".
std::u16string ImpliedCodesText(const RelativeWord& word, const GroupCodes& codes);
// The log line of one hit: "Относительный поиск: 1F40 A=80 a=A0".
std::u16string RelativeHitLine(const RelativeWord& word, const RelativeHit& hit);
// Logs each kept hit, a line for hits not kept, and the count.
void LogRelativeHits(CoreState state, const RelativeWord& word, const RelativeSearchResult& result);
// "Найдено совпадений 3".
std::u16string RelativeCountLine(std::size_t count);

// Batch RELATIVESEARCH=word,width: searches the whole ROM and logs the hits.
void RelativeSearchCommand(CoreState state, std::u16string_view word, int width);

}  // namespace vorkat
