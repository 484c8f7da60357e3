// UTF-16 text helpers: the program keeps all text as std::u16string and
// counts lengths and positions in UTF-16 units.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::u16string_view kCrLf = u"\r\n";

// Windows-1251 is the 8-bit code page of every text file, whatever the locale.
std::u16string FromCp1251(std::string_view bytes);
std::u16string FromCp1251(const std::uint8_t* data, std::size_t size);
// Characters that Windows-1251 lacks become '?'; `replaced` counts them.
std::string ToCp1251(std::u16string_view text, std::size_t* replaced = nullptr);
bool IsCp1251Representable(char16_t ch);

std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view text);

// Decodes a text file: FF FE starts UTF-16LE (the mark dropped), anything
// else is Windows-1251.
std::u16string DecodeTextFile(const std::uint8_t* data, std::size_t size);
inline std::u16string DecodeTextFile(const Bytes& b) { return DecodeTextFile(b.data(), b.size()); }
// Encodes a text for writing: UTF-16LE with FF FE, or Windows-1251.
Bytes EncodeTextFile(std::u16string_view text, bool unicode, std::size_t* replaced = nullptr);

// How a text file was read, so that saving it writes it back the same way.
enum class TextEncoding { Ansi, Utf16, Utf8, Utf8WithMark };
inline bool IsUtf8(TextEncoding e) { return e == TextEncoding::Utf8 || e == TextEncoding::Utf8WithMark; }

struct DecodedText {
  std::u16string text;
  TextEncoding encoding = TextEncoding::Ansi;
};

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates) holding at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::span<const std::uint8_t> bytes);

// Decodes a text file that may also be UTF-8 (Linux editors write it): FF FE
// starts UTF-16LE and EF BB BF starts UTF-8 (each mark dropped). Without a
// mark, bytes for which IsUtf8BeyondAscii holds are UTF-8 when the reader
// names no `markers` that tell the encodings apart (texts beyond ASCII, such
// as the dialog delimiters), or when such a marker occurs in the UTF-8 reading
// and none in the Windows-1251 one. Anything else is Windows-1251.
DecodedText DecodeTextFileDetect(std::span<const std::uint8_t> bytes,
                                 std::span<const std::u16string_view> markers = {});
// Encodes a text the way it was read: Windows-1251, UTF-16LE with FF FE, or
// UTF-8 with or without EF BB BF.
Bytes EncodeTextFile(std::u16string_view text, TextEncoding encoding, std::size_t* replaced = nullptr);

// The pieces between the separators (a non-empty separator): always one
// more piece than separators, empty pieces kept.
std::vector<std::u16string_view> SplitViews(std::u16string_view text, std::u16string_view separator);
// Splits at every CR LF pair; a lone CR or LF stays inside its line.
std::vector<std::u16string> SplitCrLf(std::u16string_view text);
// True when the text holds a bare LF and no CR LF at all.
bool HasBareLfOnly(std::u16string_view text);

std::u16string Trim(std::u16string_view s);        // spaces only
std::u16string TrimBlanks(std::u16string_view s);  // spaces and tabs
std::u16string UCase(std::u16string_view s);       // Latin and Cyrillic
char16_t UCaseChar(char16_t c);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
// Position of `what` ignoring case, or npos.
std::size_t FindNoCase(std::u16string_view text, std::u16string_view what, std::size_t from = 0);

// Replaces every occurrence, left to right, non-overlapping.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view find, std::u16string_view repl);
// The same, finding `find` whatever the case of its letters.
std::u16string ReplaceAllNoCase(std::u16string_view text, std::u16string_view find, std::u16string_view repl);

bool StartsWith(std::u16string_view s, std::u16string_view prefix);

// A number as messages show it: decimal, one leading blank when not negative.
std::u16string NumText(long long n);
// Decimal without the leading blank.
std::u16string DecText(long long n);
// Upper-case hexadecimal without leading zeros, padded to `width` when given.
std::u16string HexText(unsigned long long n, int width = 0);

// Shorthand for ASCII literals.
std::u16string U(std::string_view ascii);

}  // namespace vorkat
