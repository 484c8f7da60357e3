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
#include "core/state.h"
#include "core/text.h"

namespace vorkat::testing {

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
  state.rom.bytes.assign(bytes.begin(), bytes.end());
  state.rom.size = static_cast<std::int32_t>(bytes.size());
  state.rom.isLoaded = true;
  state.rom.fileName = u"test.gba";
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

}  // namespace vorkat::testing
