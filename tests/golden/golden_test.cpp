// Golden cases: each folder of tests/golden holds the inputs of a run, the
// batch script script.txt that vorkat-cli runs in a copy of the folder, and
// under expected/ the files the run must leave, compared byte for byte.
// expected/exit_code holds the exit status when it is not 0; expected/log.txt
// is the standard output with every "dd.mm.yyyy hh:mm:ss" written as <time>
// and without the first line, which names the settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/cli_run.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;
using vorkat::testing::CliRun;
using vorkat::testing::RunCli;
using vorkat::testing::TempDir;

namespace {

const fs::path kCases = VORKAT_GOLDEN_DIR;

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Empty when equal; else where the bytes first differ.
std::string Difference(const std::string& expected, const std::string& actual) {
  const auto diff = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  if (diff.first == expected.end() && diff.second == actual.end()) return {};
  return "first difference at byte " + std::to_string(diff.first - expected.begin()) + " (expected " +
         std::to_string(expected.size()) + " bytes, got " + std::to_string(actual.size()) + ")";
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, RunGivesTheExpectedFiles) {
  const fs::path source = kCases / GetParam();
  const fs::path expected = source / "expected";
  ASSERT_TRUE(fs::exists(source / "script.txt")) << source;
  ASSERT_TRUE(fs::is_directory(expected)) << source;

  TempDir dir;
  for (const auto& entry : fs::directory_iterator(source))
    if (entry.path().filename() != "expected")
      fs::copy(entry.path(), dir.path() / entry.path().filename(), fs::copy_options::recursive);
  const CliRun run = RunCli(dir.path(), "script.txt");

  const int status = fs::exists(expected / "exit_code") ? std::stoi(ReadAll(expected / "exit_code")) : 0;
  EXPECT_EQ(run.status, status) << run.out;
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(expected)) {
    if (!entry.is_regular_file()) continue;
    const fs::path name = entry.path().lexically_relative(expected);
    if (name == "exit_code") continue;
    std::string actual;
    if (name == "log.txt") {
      // The first line names the settings file, whose folder differs per run.
      static const std::regex settings("^Файл настроек: [^\n]*\n");
      static const std::regex time(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)");
      actual = std::regex_replace(std::regex_replace(run.out, settings, ""), time, "<time>");
    } else {
      ASSERT_TRUE(fs::exists(dir.path() / name)) << name << " was not written";
      actual = ReadAll(dir.path() / name);
    }
    EXPECT_EQ(Difference(ReadAll(entry.path()), actual), "") << name;
    ++compared;
  }
  EXPECT_GT(compared, 0) << "a case compares at least one file";
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(CaseNames()), [](const auto& info) { return info.param; });

}  // namespace
