// File access: whole-file reads with a size limit, and writes that never lose the old file.
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

// The largest file each kind of reader takes. A ROM of the largest cartridge
// is 32 MiB; text files (tables, dialogs, lists, scripts, FDT, settings) are
// far below 256 MiB in practice, and 256 MiB of UTF-16 still counts in 32 bits.
inline constexpr std::uint64_t kMaxRomFileSize = 32u << 20;
inline constexpr std::uint64_t kMaxTextFileSize = 256u << 20;

struct IoError {
  int code = 0;                // errno-like number; EFBIG for a file over the reader's limit
  std::u16string description;  // the system's words for it, or the size of a file too large
};

// Files from this size on are read by two threads, a half each.
inline constexpr std::size_t kReadInTwoFrom = 8u << 20;

// The code of an IoError for a name that is not a regular file (a device, a
// FIFO, a socket): readers refuse it rather than wait on it, and saves refuse
// to replace it.
inline constexpr int kNotRegularFile = -1;

// The error for a name that exists and is not a regular file (nor a link
// to one); nothing for a regular file or a free name.
std::optional<IoError> NonRegularFileError(std::u16string_view name);

// Reads a whole regular file of at most `maxSize` bytes. `allocate` returns storage
// for the given length; it is not called for a file that is refused.
bool ReadWholeFile(std::u16string_view name, std::uint64_t maxSize,
                   const std::function<std::uint8_t*(std::size_t)>& allocate, IoError* error);
std::optional<Bytes> ReadFileBytes(std::u16string_view name, IoError* error = nullptr,
                                   std::uint64_t maxSize = kMaxTextFileSize);

// The steps of WriteFileAtomic, in order.
enum class WriteStep { RemoveStaleTemp, CreateTemp, WriteTemp, SyncTemp, MakeBak, ReplaceBak, Rename, SyncFolder };

// Test hooks to prove that no step of a save can lose the file at its name.
struct WriteFaults {
  std::optional<std::size_t> failAfterBytes;  // the write fails after that many bytes
  std::optional<WriteStep> failAt;            // that step's system call fails
  std::optional<WriteStep> killBefore;        // the run ends just before that step, cleaning up nothing
  bool noHardLinks = false;                   // the file system refuses hard links (the .bak is copied)
};

enum class Backup { None, RotateBak };

// Writes the data to a temporary file of its own in the target's folder
// (name + ".vorkat-tmp." + process + "." + tag), syncs it, then renames it
// over the target in one step. With RotateBak an existing target is first
// linked (or copied) to name + ".bak", replacing an older one, so the target
// never goes missing. Through a symbolic link the link's target is written
// and the link stays. Anything but a regular file (a device, a FIFO, a
// folder) is refused, never replaced. On failure the target keeps its old
// bytes and the temporary file is removed. Stale temporary files in the
// folder are removed first (RemoveStaleTemporaries).
bool WriteFileAtomic(std::u16string_view name, std::span<const std::uint8_t> data, Backup backup, IoError* error,
                     const WriteFaults& faults = {});

// Reads a file to its end whatever its kind: a regular file as ReadFileBytes
// does, a pipe or a device (a script given as /dev/stdin) until it ends;
// more than `maxSize` bytes are refused. For scripts only: other readers
// refuse what is not a regular file.
std::optional<Bytes> ReadFileToEnd(std::u16string_view name, IoError* error, std::uint64_t maxSize = kMaxTextFileSize);

// Removes the temporary files that killed saves left in a folder: those of
// the fixed name older runs used, and those whose process has ended. Saves
// and whole-file reads call it for the folder of their file.
void RemoveStaleTemporaries(const std::filesystem::path& folder);

// The message the log shows for a failure: text + name + ": " + description.
std::u16string IoErrorText(std::u16string_view what, std::u16string_view name, const IoError& error);

// Splits at the last "\" or "/".
std::u16string FileNameOf(std::u16string_view path);

}  // namespace vorkat
