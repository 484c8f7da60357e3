// The table editor's operations on the loaded table: listing, adding,
// changing and deleting entries, the type, the comment, and filling codes
// 20h-FFh from Windows-1251. Saving is the table save's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/codec_state.h"

namespace vorkat {

// The codes that hold an entry, ascending.
std::vector<std::int32_t> TableListCodes(const TranslationTable& table);

// One list line: the code in upper-case hexadecimal, zero-filled to a
// multiple of 2 digits for an "SBCS" table and of 4 otherwise (a wider code
// keeps its own digits), " = ", and the entry as stored.
std::u16string TableListItemText(const TranslationTable& table, std::int32_t code);
// The code part of a list line (the text before the first " = ").
std::u16string_view TableListItemCode(std::u16string_view item);

// The code a code field names: hexadecimal digits only, 0..FFFF.
std::optional<std::int32_t> ReadTableEditCode(std::u16string_view text);

// Stores the text (in markup form, "<$SPACE>", "<$VBCRLF>") under the code;
// a code that held no entry adds one to tokenCount. A code text that is not
// 0..FFFF in hexadecimal is refused with a dark-red line. True when stored.
bool SetTableEntry(CodecState state, std::u16string_view codeText, std::u16string_view markupText);

// Empties the entry of the code (tokenCount stays as it is).
void DeleteTableEntry(CodecState state, std::int32_t code);

// The type as typed (no check, no change of case).
void SetTableTypeText(CodecState state, std::u16string_view type);

// The comment with every "=" written as "<$равно>".
void SetTableComment(CodecState state, std::u16string_view comment);

// Codes 20h..FFh become the characters of those bytes in Windows-1251; each
// that was empty adds one to tokenCount; the table counts as loaded.
void FillTableFromWin1251(CodecState state);

}  // namespace vorkat
