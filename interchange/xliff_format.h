// XLIFF 1.2 files: one trans-unit per dialog (id = ID) with source, target
// and the comment as a note; `<$…>` codes as <ph> placeholders.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/interchange_entry.h"

namespace vorkat {

struct XliffLanguages {
  std::string_view source = "en";
  std::string_view target = "ru";
};

// The file's bytes (UTF-8); `original` names the dialogs file. Nothing when
// an entry holds a character XML cannot carry; `badId` then names its ID.
std::optional<std::string> XliffFileText(const std::vector<InterchangeEntry>& entries, std::u16string_view original,
                                         XliffLanguages languages, std::u16string* badId = nullptr);

// Reads the trans-units of an XLIFF file with libxml2 (no DTD, no network).
// Inline codes come back as the native codes they hold (<ph>, <bpt>, <ept>,
// <it>) or, for empty ones and <x>, <bx>, <ex>, as the source's code of the
// same id; <g> and <mrk> keep their content. Targets in state new or
// needs-translation count as untranslated, needs-review-* as fuzzy.
InterchangeRead ParseXliff(std::string_view bytes);

}  // namespace vorkat
