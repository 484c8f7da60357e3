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
inline constexpr std::size_t kIpsMinimumFileSize = 14;    // "PATCH", one 1-byte record, "EOF"

// "PATCH" at the start and at least the minimum length.
bool IsIpsFile(std::span<const std::uint8_t> patch);

enum class IpsStop {
  EofMark,          // the "EOF" record offset was met
  EndOfFile,        // the records ended exactly at the end of the file
  CutHeader,        // a record header (or the "EOF" mark) is cut off by the end of the file
  CutRunLength,     // a run-length record is cut off
  CutData,          // the data of a record is cut off; the bytes present were applied
};

struct IpsApplyResult {
  IpsStop stop = IpsStop::EndOfFile;
  std::size_t stopPosition = 0;  // position in the patch where reading ended
  std::size_t records = 0;       // records applied (wholly or in part)
};

// Applies the records after "PATCH" in order. Bytes a record places beyond
// the ROM are dropped: the ROM never grows.
IpsApplyResult ApplyIpsRecords(std::span<const std::uint8_t> patch, std::span<std::uint8_t> rom);

// Takes `fileName` when it names an existing file (and empties it), else asks.
void LoadIps(PatchState& state, std::u16string& fileName);
// Applies the loaded patch to the working ROM.
void ApplyIps(PatchState& state);

}  // namespace vorkat
