// Reading numbers the way users type them: decimal or "&h" hexadecimal.
#pragma once

#include <cstdint>
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

}  // namespace vorkat
