// Parameters of placing dialogs in free space; they live for the run only.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorkat {

struct RomZone {
  std::int32_t start = 0;
  std::int32_t end = 0;  // inclusive; a zone whose end is 0 or less is not a zone
};

struct InsertionParams {
  std::int32_t FreeSpaceStartAddr = 0;
  std::int32_t FreeSpaceEndAddr = 0;  // exclusive
  std::int32_t AddressAlignBy = 0;
  std::int32_t DialogsAutoGapBytes = 1;
  bool CheckByMod4 = false;
  std::vector<RomZone> IgnoreRomZones = {RomZone{}};
  std::u16string PointerListFile;
};

}  // namespace vorkat
