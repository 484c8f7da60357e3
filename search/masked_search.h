// Masked search: every place in the ROM where a byte pattern occurs, the
// pattern written as two-character items, "??" standing for any one byte.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct CodecState;

// One element per item: a byte value 0..255, or kAnyByte for "??".
inline constexpr std::int16_t kAnyByte = -1;
using SearchPattern = std::vector<std::int16_t>;

// Reads the items of a hexadecimal pattern: two hexadecimal digits or "??"
// each. Nothing when an item is malformed ("4G", " 4", "4?", an odd last
// digit); `badItem` then gets it, so that something else is never searched.
std::optional<SearchPattern> ParseSearchPattern(std::u16string_view text, std::u16string* badItem = nullptr);

// The hits a search logs (and counts beyond): a pattern such as "00" in a
// zero-filled ROM would otherwise log a line per byte.
inline constexpr std::size_t kSearchHitsLogged = 100000;

// Finds masked hits one by one, left to right, without overlap. The longest
// literal run of the pattern is located with a substring search, so stretches
// that cannot hold a hit are skipped without comparing byte by byte.
class MaskedMatcher {
 public:
  MaskedMatcher(std::span<const std::uint8_t> rom, SearchPattern pattern);
  // The first hit that starts at or after `from` and lies wholly inside the
  // ROM, looking no further than starts below `limit`.
  std::optional<std::size_t> Next(std::size_t from, std::size_t limit) const;
  // True when the pattern begins with a byte value and those leading bytes
  // occur nowhere in the ROM.
  bool PrefixMissing() const;
  std::size_t size() const { return pattern_.size(); }

 private:
  bool MatchesAt(std::size_t start) const;

  std::span<const std::uint8_t> rom_;
  SearchPattern pattern_;
  std::vector<std::uint8_t> anchor_;  // the longest run of byte values
  std::size_t anchorAt_ = 0;          // its position in the pattern
  std::size_t prefixLength_ = 0;      // byte values before the first "??"
};

// The log line of one hit: "адрес  1 hex(1)   -->48,45,4C".
std::u16string SearchHitLine(std::int32_t offset, std::span<const std::uint8_t> bytes);

// The hexadecimal pattern for a typed text: through the table (encoder,
// reusing its index) or, without it, one Windows-1251 byte per character
// with "*" as "??".
std::u16string SearchTextToHex(CodecState state, std::u16string_view text, bool useTable);

// The jump list of the viewer: decimal offsets, at most this many entries.
inline constexpr std::size_t kJumpListLimit = 31001;

// Searches the working ROM for the pattern, logging each hit (the first
// kSearchHitsLogged, then only counting) and, when a jump list is given (the
// viewer is shown), adding the hit's offset to it. A malformed item is
// reported and nothing is searched.
// A long operation: shows progress, yields, and stops on cancel.
void SearchRomBytes(CodecState state, std::u16string_view pattern, std::vector<std::u16string>* jumpList = nullptr);

}  // namespace vorkat
