// A fresh folder per test, removed afterwards.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/file_io.h"
#include "core/text.h"

namespace vorkat::testing {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("vorkat-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Full name of a file in the folder, as the program holds names.
  std::u16string File(const std::string& name) const { return FromPath(path_ / name); }

  void Write(const std::string& name, const Bytes& data) const {
    WriteFileAtomic(File(name), data, Backup::None, nullptr);
  }
  void WriteText(const std::string& name, std::u16string_view text, bool unicode = false) const {
    Write(name, EncodeTextFile(text, unicode));
  }
  Bytes Read(const std::string& name) const { return ReadFileBytes(File(name)).value_or(Bytes{}); }
  std::u16string ReadText(const std::string& name) const { return DecodeTextFile(Read(name)); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

 private:
  std::filesystem::path path_;
};

}  // namespace vorkat::testing
