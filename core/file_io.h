// File access: whole-file reads, and writes that never lose the old file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

#include "core/text.h"

namespace vorkat {

std::filesystem::path ToPath(std::u16string_view name);
std::u16string FromPath(const std::filesystem::path& path);

bool FileExists(std::u16string_view name);  // a regular file (or anything not a directory)
std::optional<std::uint64_t> FileLength(std::u16string_view name);

struct IoError {
  int code = 0;                 // errno-like number
  std::u16string description;  // the system's words for it
};

// Reads a whole file. `allocate` returns storage for the given length.
bool ReadWholeFile(std::u16string_view name, const std::function<std::uint8_t*(std::size_t)>& allocate,
                   IoError* error);
std::optional<Bytes> ReadFileBytes(std::u16string_view name, IoError* error = nullptr);

// Test hook to prove that a failed write keeps the old file: when set, the
// write fails after that many bytes.
struct WriteFaults {
  std::optional<std::size_t> failAfterBytes;
};

enum class Backup { None, RotateBak };

// Writes the data to a temporary file beside the target, then moves it into
// place; with RotateBak an existing target first becomes name + ".bak"
// (replacing an older one). On failure nothing of the old files is lost.
bool WriteFileAtomic(std::u16string_view name, std::span<const std::uint8_t> data, Backup backup,
                     IoError* error, const WriteFaults& faults = {});

// The message the log shows for a failure: text + ": " + description.
std::u16string IoErrorText(std::u16string_view what, std::u16string_view name, const IoError& error);

// Splits at the last "\" or "/".
std::u16string DirectoryOf(std::u16string_view path);
std::u16string FileNameOf(std::u16string_view path);

}  // namespace vorkat
