// The bundled examples run from a copy of the repository's layout: shared
// pieces of their tests (the copy and the run, the table, the dialog texts).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/text.h"
#include "tests/support/cli_run.h"
#include "tests/support/temp_dir.h"

namespace vorkat::testing {

inline std::filesystem::path ExampleDir(const std::string& name) {
  return std::filesystem::path(VORKAT_EXAMPLES_DIR) / name;
}

// Copies examples/<name> into dir (with an empty out/) and runs its script there.
inline CliRun RunExample(const TempDir& dir, const std::string& name, const std::string& script) {
  std::filesystem::create_directories(dir.path() / "examples");
  std::filesystem::copy(ExampleDir(name), dir.path() / "examples" / name, std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(dir.path() / "examples" / name / "out");
  return RunCli(dir.path(), "examples/" + name + "/" + script);
}

// Code of each text of a table file's one-byte "XX=text" lines.
inline std::map<std::uint8_t, std::u16string> ReadExampleTable(const TempDir& dir, const std::string& file) {
  std::map<std::uint8_t, std::u16string> table;
  for (const auto& line : SplitCrLf(dir.ReadText(file))) {
    if (line.find(u'=') != 2 || line.find(u"TrTableType") == 0) continue;
    table[static_cast<std::uint8_t>(std::stoi(ToUtf8(line.substr(0, 2)), nullptr, 16))] =
        line.substr(3) == u"<$SPACE>" ? u" " : line.substr(3);
  }
  return table;
}

// The texts of a dialogs file with the default delimiters, in file order.
inline std::vector<std::u16string> DialogTexts(const std::u16string& file) {
  std::vector<std::u16string> texts;
  std::size_t at = 0;
  while ((at = file.find(u"\r\n¶\r\n", at)) != std::u16string::npos) {
    at += 5;
    texts.push_back(file.substr(at, file.find(u"\r\n§\r\n", at) - at));
  }
  return texts;
}

}  // namespace vorkat::testing
