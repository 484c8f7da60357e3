// One dialog as the translation tools see it, and what reading a file of
// them gives: the entries, or the first fault with its line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorkat {

// Fuzzy: marked as needing review; the import skips it like an untranslated one.
enum class EntryState { Translated, Untranslated, Fuzzy };

// Texts are the program's own: CR LF line breaks, `<$…>` codes as written.
struct InterchangeEntry {
  std::u16string id;       // the dialog's dlgID, the key
  std::u16string address;  // ExtractedFromAddr
  std::u16string source;
  std::u16string target;  // empty: not translated
  std::u16string comment;
  EntryState state = EntryState::Untranslated;

  bool operator==(const InterchangeEntry&) const = default;
};

struct InterchangeFault {
  std::size_t line = 0;  // 1-based; 0 when the reader could not tell
  std::u16string text;
};

struct InterchangeRead {
  std::vector<InterchangeEntry> entries;
  std::optional<InterchangeFault> fault;  // set: the file is refused as a whole
};

// The state an entry gets from its target alone.
inline EntryState StateOfTarget(const std::u16string& target) {
  return target.empty() ? EntryState::Untranslated : EntryState::Translated;
}

}  // namespace vorkat
