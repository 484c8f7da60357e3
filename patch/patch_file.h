// Reading an IPS or BPS file for loading: the one place with the prompt, the
// size limit and the format check.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct Context;

struct PatchFileKind {
  std::u16string_view name;     // "IPS", "BPS"
  std::u16string_view filters;  // the file prompt's filters
  std::uint64_t maxSize;        // larger files are refused unread
  bool (*accepts)(std::span<const std::uint8_t> bytes);
};

struct PatchFileRead {
  enum class Outcome { Cancelled, Unreadable, NotThisKind, Read } outcome = Outcome::Cancelled;
  std::u16string name;
  std::vector<std::uint8_t> bytes;
};

// Reads `fileName` when it names an existing file (and then clears it, so a
// second load asks), otherwise asks for a file. Logs why nothing was read,
// or that the patch was loaded.
PatchFileRead ReadPatchFile(Context& ctx, std::u16string& fileName, const PatchFileKind& kind);

}  // namespace vorkat
