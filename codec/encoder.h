// Turning dialog text back into ROM bytes through the table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"
#include "core/warning_limit.h"

namespace vorkat {

struct CodecState;
struct TranslationTable;

// Rebuilds table.encoderIndex from the current entries: ascending codes,
// length sort longest first (the sort order decides between equal texts),
// then the text -> first slot hash.
void BuildEncoderIndex(TranslationTable& table);

// Encodes `text` to the bytes the game reads; the byte count is the size.
// indexReady false rebuilds the index first (first call of a series); true
// reuses it (an index never built is built anyway). Without a loaded table
// logs "Таблица еще не загружена" and returns nothing.
// Unknown tokens are reported (with ExtendedLogs) through `unknownTokens`,
// which a caller encoding many texts in one operation shares between the
// calls and summarises at the end; without one, each call has its own limit.
// With `understood`, the text as the encoder read it is appended there: the
// table text of each code emitted, the upper-case escape of each byte escape,
// the characters of an unknown token emitted as they are; line breaks it
// dropped and tokens it skipped are left out.
Bytes Encode(CodecState& state, std::u16string_view text, bool indexReady, WarningLimit* unknownTokens = nullptr,
             std::u16string* understood = nullptr);

// The limit of the encoder's unknown-token reports, for one operation.
WarningLimit UnknownTokenWarnings();

// Postprocessor pairs in file order, replace -> find; pairs with an empty
// replace or find text are skipped.
std::u16string UndoPostprocessor(const TranslationTable& table, std::u16string text);

// "<$" + two hex digits (either case) + ">" gives that byte; anything else nothing.
std::optional<std::uint8_t> ByteEscapeValue(std::u16string_view token);

}  // namespace vorkat
