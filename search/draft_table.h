// A translation table drafted from a relative-search hit: the alphabets the
// hit implies, and the word's other characters at the codes found for them.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

#include "search/relative_search.h"

namespace vorkat {

struct CodecState;

// Code to text.
using DraftEntries = std::map<std::uint32_t, std::u16string>;

// Each used group's whole alphabet from its implied code (letters past the
// width's highest code left out), then every free character of the word but
// "*" at the code found at its place; a code both claim stays the letter's,
// and a code two free characters claim stays the first one's.
DraftEntries DraftFromHit(const RelativeWord& word, std::span<const std::uint8_t> rom, const RelativeHit& hit);

// The text around a hit read through a draft: `around` codes before the
// word and after it, codes the draft lacks shown as "·".
std::u16string DraftPreview(const DraftEntries& draft, int width, std::span<const std::uint8_t> rom, std::size_t offset,
                            std::size_t wordBytes, std::size_t around);

// Batch DRAFTTABLE=word,width,offset,outfile and the search window's
// "Создать таблицу": checks that the word matches at the offset, then writes
// the drafted table (SBCS for width 1, DBCS for width 2; an existing file
// becomes file + ".bak"). True when written.
bool DraftTable(CodecState state, std::u16string_view word, int width, std::int64_t offset,
                const std::u16string& fileName);

}  // namespace vorkat
