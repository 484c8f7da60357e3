// Shared pieces of the extraction and pointer search tests: a scratch
// folder, a ROM in memory and file readers.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/file_io.h"
#include "app/state.h"
#include "core/text.h"
#include "tests/support/rom_fixture.h"

namespace vorkat::extract_testing {

class ScratchDir {
 public:
  ScratchDir() {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("vorkat-extract-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::u16string File(const std::string& name) const { return FromPath(path_ / name); }

 private:
  std::filesystem::path path_;
};

inline void PutRom(AppState& state, const std::vector<std::uint8_t>& bytes) {
  PutRomBytes(state.rom, bytes, u"test.gba");
}

inline std::string ReadBytes(const std::u16string& name) {
  auto b = ReadFileBytes(name);
  return b ? std::string(b->begin(), b->end()) : std::string("<missing>");
}

inline std::u16string ReadText(const std::u16string& name) {
  auto b = ReadFileBytes(name);
  return b ? DecodeTextFile(*b) : u"<missing>";
}

inline void WriteText(const std::u16string& name, std::u16string_view text, bool unicode = false) {
  Bytes b = EncodeTextFile(text, unicode);
  ASSERT_TRUE(WriteFileAtomic(name, b, Backup::None, nullptr));
}

inline bool HasLine(const std::vector<std::u16string>& lines, std::u16string_view line) {
  for (const auto& l : lines)
    if (l == line) return true;
  return false;
}

inline bool HasLineStartingWith(const std::vector<std::u16string>& lines, std::u16string_view prefix) {
  for (const auto& l : lines)
    if (StartsWith(l, prefix)) return true;
  return false;
}

}  // namespace vorkat::extract_testing

namespace vorkat::extract_testing {

// A table with the given type whose entries 41..5A are A..Z.
inline void PutLetterTable(AppState& state, std::u16string type = u"SBCS") {
  state.table = TranslationTable{};
  for (int c = 0x41; c <= 0x5A; ++c) state.table.entries[c] = std::u16string(1, static_cast<char16_t>(c));
  state.table.type = std::move(type);
  state.table.codeWidth = state.table.type == u"DBCS" ? 2 : 1;
  state.table.isLoaded = true;
}

inline void SetEndCode(AppState& state, std::uint32_t code) {
  state.table.endCode = static_cast<char16_t>(code);
  state.table.endCodeSet = true;
}

// One extracted record as the default settings write it.
inline std::u16string Rec(std::int32_t offset, std::u16string_view text) {
  return DecText(offset) + u"," + HexText(static_cast<std::uint32_t>(offset)) + u"\r\n\u00B6\r\n" +
         std::u16string(text) + u"\r\n\u00A7\r\n";
}

}  // namespace vorkat::extract_testing
