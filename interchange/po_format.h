// gettext PO files: one entry per dialog, msgctxt = ID, msgid = source,
// msgstr = translation, the comment as "#." lines, the address as "#:".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "interchange/interchange_entry.h"

namespace vorkat {

// The file's bytes (UTF-8) with the header for `language`; `revisionDate`
// as gettext writes it ("2024-03-05 14:07+0300").
std::string PoFileText(const std::vector<InterchangeEntry>& entries, std::string_view language,
                       std::u16string_view revisionDate);

// Reads the bytes of a PO file with gettext's own reader. Obsolete entries
// and the header are left out; an entry without msgctxt has an empty ID.
// The file is refused at its first error (bad syntax, a repeated ID, bytes
// that are not UTF-8, a character set other than UTF-8 or ASCII).
InterchangeRead ParsePo(std::string_view bytes);

}  // namespace vorkat
