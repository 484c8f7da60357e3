// The editor's searches and its replace in one dialog. The last search text
// (`SearchForString`) is the editor's and shared by both searches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorkat {

struct ScriptState;

struct TextSpan {
  std::size_t start = 0;  // UTF-16 offset
  std::size_t length = 0;
};

// Search in this dialog: F7 (again = false) asks for the text first and
// searches from the caret; Shift+F7 (again = true) searches from the end of
// the selection. Exact match. Beeps when nothing is found (and sets
// `nothingFound`, which a cancelled question leaves alone); the hit otherwise.
std::optional<TextSpan> SearchInDialog(ScriptState state, std::u16string& searchFor, std::u16string_view text,
                                       std::size_t caret, std::size_t selectionLength, bool again,
                                       bool* nothingFound = nullptr);

// Search in the listed dialogs: the first dialog after `selected` (-1: from
// the first) whose text holds the search text, ignoring letter case. F7
// (again = false) asks first. Needs loaded dialogs. -1 (and a beep) when
// nothing is found (`nothingFound` set as above).
std::int32_t SearchInDialogs(ScriptState state, std::u16string& searchFor, std::int32_t selected, bool again,
                             bool* nothingFound = nullptr);

// The answers of the replace window.
struct ReplaceRequest {
  std::u16string SearchString;
  std::u16string ReplaceWith;
  bool IgnoreCase = false;
  bool ChangeAll = false;  // the whole text, else from the caret onwards
};

// Replace in this dialog's text (the text box, not the record). Both texts
// get the markup line conversion first. Nothing when the search text is empty.
std::optional<std::u16string> ReplaceInDialog(std::u16string_view text, std::size_t caret,
                                              const ReplaceRequest& request);

}  // namespace vorkat
