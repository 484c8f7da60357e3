// Dialog text as the editor shows it: one line per dialog in the list, and
// the text box's own line breaks (one character each) against the dialog's
// CR LF pairs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorkat {

// The list entry of a dialog: its text with every CR LF pair removed.
std::u16string DialogListLine(std::u16string_view dlgText);

// The offset in the dialog text of a position in its text-box form, where
// each CR LF pair is one character.
std::size_t DialogOffsetFromBox(std::u16string_view dlgText, std::size_t boxOffset);
// The reverse: a dialog-text offset (inside a CR LF pair counts as before it).
std::size_t BoxOffsetFromDialog(std::u16string_view dlgText, std::size_t dialogOffset);

}  // namespace vorkat
