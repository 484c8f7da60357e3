// Reading numbers: the lenient reading of files (decimal or "&h"
// hexadecimal, whatever follows ignored) and the strict reading of what a
// person types into a field, an input box or a script argument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorkat {

// Reads the leading number of a text. Blanks, tabs and line feeds anywhere
// are skipped; "&h"/"&H" starts hexadecimal, "&o"/"&O" octal, otherwise a
// signed decimal with optional fraction and exponent (E or D). Reading stops
// at the first character that cannot continue the number; no number reads 0.
// Hexadecimal and octal literals are 32-bit: up to 0xFFFF they read
// unsigned, &h80000000 and above read negative.
double ReadNumber(std::u16string_view text);

// Rounds to the nearest integer, halves to even, saturating to 32 bits.
std::int32_t RoundHalfEven(double v);

// ReadNumber rounded to a 32-bit integer.
inline std::int32_t ReadInt(std::u16string_view text) { return RoundHalfEven(ReadNumber(text)); }

// A number typed by a person: a decimal number (sign, fraction and exponent
// as ReadNumber reads them), or "&h"/"&H" or "0x"/"0X" followed by 1 to 8
// hexadecimal digits, with blanks around and nothing else. Trailing text, a
// prefix without digits, "$4000", an empty text or a value beyond 32 bits
// give no value, so a mistyped address is never silently read as 0. Where it
// gives a value, it is the value ReadInt gives ("0x" reads as "&h").
std::optional<std::int32_t> ParseTypedInt(std::u16string_view text);

// The refusal of a typed text that is no number, naming where it was typed.
std::u16string NotANumberText(std::u16string_view where, std::u16string_view text);

}  // namespace vorkat
