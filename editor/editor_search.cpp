#include "editor/editor_search.h"

#include <algorithm>

#include "core/runtime.h"
#include "core/settings.h"
#include "core/text.h"
#include "script/script_state.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kSearchTitle = u"Search for string";

bool AskSearchText(ScriptState state, std::u16string& searchFor, std::u16string_view where) {
  std::optional<std::u16string> answer =
      InputBox(state, u"Введите строку для поиска" + std::u16string(kCrLf) + std::u16string(where), kSearchTitle,
               searchFor);
  if (!answer) return false;
  searchFor = std::move(*answer);
  return true;
}

// Finds `upperWhat` (already upper case) in `text` ignoring case.
bool ContainsNoCase(std::u16string_view text, std::u16string_view upperWhat) {
  if (upperWhat.size() > text.size()) return false;
  const char16_t first = upperWhat[0];
  const std::size_t last = text.size() - upperWhat.size();
  for (std::size_t i = 0; i <= last; ++i) {
    if (UCaseChar(text[i]) != first) continue;
    std::size_t k = 1;
    while (k < upperWhat.size() && UCaseChar(text[i + k]) == upperWhat[k]) ++k;
    if (k == upperWhat.size()) return true;
  }
  return false;
}

}  // namespace

std::optional<TextSpan> SearchInDialog(ScriptState state, std::u16string& searchFor, std::u16string_view text,
                                       std::size_t caret, std::size_t selectionLength, bool again, bool* nothingFound) {
  if (!again && !AskSearchText(state, searchFor, u"в тексте ЭТОГО диалога")) return std::nullopt;
  if (searchFor.empty()) return std::nullopt;
  const std::size_t from = again ? caret + selectionLength : caret;
  const std::size_t hit = from <= text.size() ? text.find(searchFor, from) : std::u16string_view::npos;
  if (hit == std::u16string_view::npos) {
    state.ctx.host.Beep();
    if (nothingFound) *nothingFound = true;
    return std::nullopt;
  }
  return TextSpan{hit, searchFor.size()};
}

std::int32_t SearchInDialogs(ScriptState state, std::u16string& searchFor, std::int32_t selected, bool again,
                             bool* nothingFound) {
  if (!RequireDialogs(state)) {
    state.ctx.host.Beep();
    return -1;
  }
  if (!again && !AskSearchText(state, searchFor, u"в тексте диалогов видимых в списке")) return -1;
  if (searchFor.empty()) return -1;
  const std::u16string upper = UCase(searchFor);
  const std::int32_t last =
      std::min<std::int32_t>(state.dialogs.lastIndex, static_cast<std::int32_t>(state.dialogs.records.size()) - 1);
  for (std::int32_t i = std::max(selected + 1, 0); i <= last; ++i)
    if (ContainsNoCase(state.dialogs.records[static_cast<std::size_t>(i)].dlgText, upper)) return i;
  state.ctx.host.Beep();
  if (nothingFound) *nothingFound = true;
  return -1;
}

std::optional<std::u16string> ReplaceInDialog(std::u16string_view text, std::size_t caret,
                                              const ReplaceRequest& request) {
  if (request.SearchString.empty()) return std::nullopt;
  const std::u16string find = MarkupToTextCopy(request.SearchString);
  const std::u16string repl = MarkupToTextCopy(request.ReplaceWith);
  const std::size_t from = request.ChangeAll ? 0 : std::min(caret, text.size());
  const std::u16string_view tail = text.substr(from);
  std::u16string out(text.substr(0, from));
  out += request.IgnoreCase ? ReplaceAllNoCase(tail, find, repl) : ReplaceAll(tail, find, repl);
  return out;
}

}  // namespace vorkat
