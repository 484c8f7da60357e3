#include "core/file_filters.h"

#include "core/text.h"

namespace vorkat {

std::vector<FileFilter> ParseFileFilters(std::u16string_view filters) {
  std::vector<FileFilter> out;
  for (const std::u16string& line : SplitCrLf(filters)) {
    if (TrimBlanks(line).empty()) continue;
    std::size_t bar = line.find(u'|');
    if (bar == std::u16string::npos) bar = line.rfind(u':');
    FileFilter f;
    std::u16string_view description = std::u16string_view(line).substr(0, bar);
    if (std::size_t paren = description.rfind(u'('); paren != std::u16string_view::npos && paren > 0)
      description = description.substr(0, paren);
    f.description = TrimBlanks(description);
    if (bar != std::u16string::npos) {
      std::u16string piece;
      for (char16_t c : std::u16string_view(line).substr(bar + 1)) {
        if (c == u';' || c == u',' || c == u' ' || c == u'\t') {
          if (!piece.empty()) f.patterns.push_back(std::move(piece));
          piece.clear();
        } else {
          piece += c;
        }
      }
      if (!piece.empty()) f.patterns.push_back(std::move(piece));
    }
    out.push_back(std::move(f));
  }
  return out;
}

std::u16string FilterCaption(const FileFilter& filter) {
  if (filter.patterns.empty()) return filter.description;
  std::u16string list;
  auto add = [&](std::u16string_view pattern) {
    if (!list.empty()) list += u' ';
    list += pattern;
  };
  for (const std::u16string& p : filter.patterns) {
    std::size_t keep = p.find_last_not_of(u'?');
    if (keep != std::u16string::npos && keep + 1 < p.size()) add(std::u16string_view(p).substr(0, keep + 1));
    add(p);
  }
  return filter.description + u" (" + list + u")";
}

}  // namespace vorkat
