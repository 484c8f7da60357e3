// Character width extractor: copies a table of one-byte character widths
// out of the ROM into a text file, one " width=code" line per character.
#pragma once

#include <cstdint>
#include <string>

namespace vorkat {

struct ScriptState;

// The menu command: three questions (first offset, end offset, bytes to skip).
void RunCharWidthExtractor(ScriptState state);

// Asks for the output file, then extracts.
void ExtractCharWidths(ScriptState state, std::int32_t first, std::int32_t end, std::int32_t skip);

// The same without the prompt, writing into outFile.
void ExtractCharWidths(ScriptState state, std::int32_t first, std::int32_t end, std::int32_t skip,
                       const std::u16string& outFile);

}  // namespace vorkat
