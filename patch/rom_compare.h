// Comparing the working ROM with the original: the changed blocks a patch is made of.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "patch/ips_patch.h"

namespace vorkat {

struct PatchState;

// Equal chunks of this size are skipped after one comparison when eco mode is off.
inline constexpr std::size_t kCompareChunk = 32768;
// Differences at most this many unchanged bytes apart merge into one block.
inline constexpr std::int32_t kMergeGap = 4;

// Collects the blocks where `working` differs from `original`; bytes of a
// longer working ROM beyond the original count as changed. Eco mode compares
// byte by byte; otherwise equal chunks are skipped whole. Both give the same
// blocks. `onDifference` runs after each run of consecutive differing bytes
// with the run's last offset and returns false to stop; the function then
// returns false and `out` holds the blocks so far.
bool FindChangedBlocks(std::span<const std::uint8_t> working, std::span<const std::uint8_t> original, bool ecoMode,
                       bool mergeBlocks, ChangedBlockList& out,
                       const std::function<bool(std::int32_t)>& onDifference = {});

// The menu and batch comparison of the working ROM with the original ROM.
void CompareRoms(PatchState state, bool ecoMode, bool mergeBlocks);

}  // namespace vorkat
