// The filters of the open and save prompts: "description|patterns" pairs,
// one per CR LF separated line, as every file command gives them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct FileFilter {
  std::u16string description;            // without a pattern list of its own: "Batch Files"
  std::vector<std::u16string> patterns;  // "*.txt", "*.gb?", ...
};

// Patterns are split at ";", "," and blanks. A description that already
// shows a pattern list in parentheses (even an unclosed one) loses it, so
// a prompt never shows the patterns twice.
std::vector<FileFilter> ParseFileFilters(std::u16string_view filters);

// "Batch Files (*.txt)": the text a file dialog shows for the filter. A
// pattern ending in "?" also matches names without that character (as the
// prompts of the program's first home did), so "*.gb?" lists "*.gb" too.
std::u16string FilterCaption(const FileFilter& filter);

}  // namespace vorkat
