// Conversions the exchange formats share: line breaks, UTF-8 checks, the
// `<$…>` control codes of a text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

// Every LF becomes CR LF (PO and XML hold line breaks as LF only).
std::u16string LfToCrLf(std::u16string_view text);
// Every LF not already after a CR becomes CR LF (CSV keeps CR LF as written).
std::u16string LoneLfToCrLf(std::u16string_view text);

// The offset of the first byte that is not part of valid UTF-8, or npos.
std::size_t Utf8ErrorOffset(std::string_view bytes);
inline bool IsValidUtf8(std::string_view bytes) { return Utf8ErrorOffset(bytes) == std::string_view::npos; }

// The control codes of a text in order: every "<$" … ">" group.
std::vector<std::u16string_view> ControlCodes(std::u16string_view text);

struct CodeDifference {
  std::u16string code;
  bool lost = false;  // in the source, missing from the translation; else added
};
// The codes a translation lost or added compared with its source, each as
// many times as the counts differ, lost ones first, in the order met.
std::vector<CodeDifference> CompareControlCodes(std::u16string_view source, std::u16string_view translation);

}  // namespace vorkat
