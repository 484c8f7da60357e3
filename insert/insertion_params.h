// Parameters of placing dialogs in free space; they live for the run only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorkat {

struct RomZone {
  std::int32_t start = 0;
  std::int32_t end = 0;  // inclusive; a zone whose end is 0 or less is not a zone
};

// A pointer-list file names at most this many genuine pointer offsets.
inline constexpr std::size_t kMaxListedPointers = 1024;

// The pointer-list file pointer rewriting read last. It lives for the whole
// run, so consecutive dialogs sharing one file read it once; the file's
// size and time are kept so that a file edited meanwhile is read again.
struct PointerListCache {
  std::u16string name;
  std::vector<std::int32_t> offsets;  // file order, at most kMaxListedPointers
  bool existed = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // file clock ticks
};

struct InsertionParams {
  std::int32_t FreeSpaceStartAddr = 0;
  std::int32_t FreeSpaceEndAddr = 0;  // exclusive
  std::int32_t AddressAlignBy = 0;
  std::int32_t DialogsAutoGapBytes = 1;
  bool CheckByMod4 = false;
  std::vector<RomZone> IgnoreRomZones = {RomZone{}};
  std::u16string PointerListFile;
  PointerListCache listCache;
};

}  // namespace vorkat
