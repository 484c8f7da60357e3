// Reading an IPS patch file and applying it to the working ROM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vorkat {

struct PatchState;

// IPS readers take a record offset of these three bytes for the end mark.
inline constexpr std::int32_t kIpsEofOffset = 0x454F46;  // "EOF"
inline constexpr std::size_t kIpsMinimumFileSize = 14;   // "PATCH", one 1-byte record, "EOF"

// "PATCH" at the start and at least the minimum length.
bool IsIpsFile(std::span<const std::uint8_t> patch);

// A patch that rewrites all 16 MiB its offsets reach is just over 16 MiB;
// the limit leaves room for records that overlap.
inline constexpr std::uint64_t kMaxIpsFileSize = 64u << 20;

enum class IpsStop {
  EofMark,       // the "EOF" record offset was met
  EndOfFile,     // the records ended exactly at the end of the file
  CutHeader,     // a record header (or the "EOF" mark) is cut off by the end of the file
  CutRunLength,  // a run-length record is cut off
  CutData,       // the data of a record is cut off
};

struct IpsApplyResult {
  IpsStop stop = IpsStop::EndOfFile;
  std::size_t stopPosition = 0;    // position in the patch where reading ended (for a cut: the cut record)
  std::size_t records = 0;         // records applied
  std::uint64_t droppedBytes = 0;  // bytes the records placed past the end of the ROM

  bool cut() const { return stop != IpsStop::EofMark && stop != IpsStop::EndOfFile; }
};

// Reads the records after "PATCH" to their end first; a patch cut off
// anywhere changes no byte. Otherwise applies them in order. Bytes a record
// places beyond the ROM are dropped and counted: the ROM never grows.
IpsApplyResult ApplyIpsRecords(std::span<const std::uint8_t> patch, std::span<std::uint8_t> rom);

// Takes `fileName` when it names an existing file (and empties it), else
// asks. True when a patch was loaded.
bool LoadIps(PatchState state, std::u16string& fileName);
// Applies the loaded patch to the working ROM, all of it or (for a cut-off
// patch) nothing.
void ApplyIps(PatchState state);

}  // namespace vorkat
