// Turning dialog text back into ROM bytes through the table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"
#include "core/warning_limit.h"

namespace vorkat {

struct CodecOptions;
struct CodecState;
struct Context;
struct TranslationTable;

// The tokens of a text the table has no code for: `unknown` counts them
// all, `lost` those that gave no bytes at all (skipped), `firstLost` is the
// first of these as it stood in the text.
struct EncodeLosses {
  std::size_t unknown = 0;
  std::size_t lost = 0;
  std::u16string firstLost;
};

// Rebuilds table.encoderIndex from the current entries: ascending codes,
// length sort longest first (the sort order decides between equal texts),
// then the text -> first slot hash.
void BuildEncoderIndex(TranslationTable& table);

// Encodes `text` to the bytes the game reads; the byte count is the size.
// The table's index is rebuilt when the table changed since it was built
// (so its `encoderIndex` is written to). Without a loaded table
// logs "Таблица еще не загружена" and returns nothing.
// Unknown tokens are reported (with ExtendedLogs) through `unknownTokens`,
// which a caller encoding many texts in one operation shares between the
// calls and summarises at the end; without one, each call has its own limit.
// With `understood`, the text as the encoder read it is appended there: the
// table text of each code emitted, the upper-case escape of each byte escape,
// the characters of an unknown token emitted as they are; line breaks it
// dropped and tokens it skipped are left out.
// With `losses`, the unknown tokens are counted there.
Bytes Encode(Context& ctx, TranslationTable& table, const CodecOptions& options, std::u16string_view text,
             WarningLimit* unknownTokens = nullptr, std::u16string* understood = nullptr,
             EncodeLosses* losses = nullptr);
Bytes Encode(CodecState state, std::u16string_view text, WarningLimit* unknownTokens = nullptr,
             std::u16string* understood = nullptr, EncodeLosses* losses = nullptr);

// True when every token of `text` has a code in the loaded table (or is a
// byte escape): what the text says reaches the ROM.
bool TableEncodes(Context& ctx, TranslationTable& table, const CodecOptions& options, std::u16string_view text);

// The limit of the encoder's unknown-token reports, for one operation.
WarningLimit UnknownTokenWarnings();

// Postprocessor pairs in file order, replace -> find; pairs with an empty
// replace or find text are skipped.
std::u16string UndoPostprocessor(const TranslationTable& table, std::u16string text);

// "<$" + two hex digits (either case) + ">" gives that byte; anything else nothing.
std::optional<std::uint8_t> ByteEscapeValue(std::u16string_view token);

}  // namespace vorkat
