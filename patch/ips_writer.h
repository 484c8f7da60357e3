// Writing the changed blocks of the last comparison as an IPS patch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "patch/ips_patch.h"

namespace vorkat {

struct PatchState;

// Record sizes have 2 bytes: longer blocks are cut into records of this size.
inline constexpr std::int32_t kIpsMaxRecord = 65535;
// Record offsets have 3 bytes: no record can start at 16 MiB or above.
inline constexpr std::int64_t kIpsOffsetLimit = 0x1000000;

struct IpsBuild {
  std::vector<std::uint8_t> file;  // the whole patch; empty when it cannot be written
  std::size_t records = 0;
  std::int64_t unreachableOffset = -1;  // first record start at or above 16 MiB
};

// Turns the blocks into "PATCH", records and "EOF". No record starts at the
// "EOF" offset: such a record starts one byte earlier.
IpsBuild BuildIps(const ChangedBlockList& changes);

// A name whose file part has no "." gets ".ips".
std::u16string IpsNameWithExtension(const std::u16string& name);

// Writes the patch to `fileName`, or asks for the name when it is empty.
void WriteIps(PatchState state, const std::u16string& fileName = {});

}  // namespace vorkat
