// BPS patches: made from the original and the working ROM, read, checked and
// applied. Unlike IPS they address any offset, record the sizes of both ROMs
// and carry CRC32 checksums of the source, the target and the patch itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/rom_buffer.h"

namespace vorkat {

struct PatchState;

// The loaded BPS patch: the whole file, checked only for its magic and size
// until it is applied.
struct BpsPatch {
  std::vector<std::uint8_t> bytes;
  std::u16string fileName;
  bool isLoaded = false;
};

// "BPS1", three one-byte numbers, and the three checksums.
inline constexpr std::size_t kBpsMinimumFileSize = 4 + 3 + 12;
// A patch that writes every byte of a 32 MiB target literally is just over
// 32 MiB; the limit leaves room for metadata and long numbers.
inline constexpr std::uint64_t kMaxBpsFileSize = 64u << 20;

// The variable-length numbers of the format: 7 bits a byte, the last byte
// marked by bit 7, and each further byte counting from one past the last
// value the shorter form can hold (so every number has one encoding).
void AppendBpsNumber(std::vector<std::uint8_t>& out, std::uint64_t value);
// Reads a number at pos and moves pos past it; nullopt when it is cut off
// by `end` or does not fit in 64 bits.
std::optional<std::uint64_t> ReadBpsNumber(std::span<const std::uint8_t> data, std::size_t& pos, std::size_t end);

// The CRC32 of `bytes`; with `crc`, of the bytes that gave it followed by `bytes`.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

// The magic and the minimum size.
bool IsBpsFile(std::span<const std::uint8_t> patch);

// A linear patch: SourceRead where the two agree at the same offset,
// TargetRead where they differ or the target runs past the source, and
// TargetCopy for long runs of one repeated byte.
std::vector<std::uint8_t> BuildBps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target);

// Which check refused a patch, in the order they are made.
enum class BpsFault {
  None,
  NotBps,          // no magic, or too short
  PatchCrc,        // the patch's own checksum differs: the file is damaged
  Header,          // the sizes or the metadata cannot be read
  SourceSize,      // made for another ROM
  SourceCrc,       // made for another ROM (or another version of it)
  TargetTooLarge,  // the result would exceed what the program holds (32 MiB)
  Actions,         // an action is cut off, leaves its file or overruns the target
  TargetSize,      // the actions end before the target is complete
  TargetCrc,       // the result is not what the patch was made to give
};

struct BpsApplyResult {
  BpsFault fault = BpsFault::None;
  std::uint64_t expected = 0;  // what the patch records (size or checksum) for the failed check
  std::uint64_t actual = 0;    // what was found instead
  std::size_t position = 0;    // for Actions: the patch position of the faulty action
};

// Checks the patch against `source` and builds the whole target in `target`;
// on any fault `target` is left empty and the fault says which check failed.
BpsApplyResult ApplyBpsPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source,
                             RomBytes& target);

// A name whose file part has no "." gets ".bps".
std::u16string BpsNameWithExtension(const std::u16string& name);

// Takes `fileName` when it names an existing file (and empties it), else
// asks. True when a patch was loaded.
bool LoadBps(PatchState state, std::u16string& fileName);
// Applies the loaded patch to the working ROM: all of it, or (for any failed
// check) nothing. The ROM takes the target's size.
void ApplyBps(PatchState state);
// Writes the patch from the original ROM to the working ROM to `fileName`,
// or asks for the name when it is empty.
void WriteBps(PatchState state, const std::u16string& fileName = {});

}  // namespace vorkat
