// Feeds arbitrary bytes to the IPS reader, and to the comparison and writer
// as a pair of ROMs whose patch must rebuild the working ROM.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "patch/ips_apply.h"
#include "patch/ips_writer.h"
#include "patch/rom_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  if (size < 2) return 0;
  // The reader: any patch on a ROM of the size the first two bytes give.
  std::vector<std::uint8_t> rom(static_cast<std::size_t>(data[0] | data[1] << 8), 0x5A);
  const std::span<const std::uint8_t> patch(data + 2, size - 2);
  const std::vector<std::uint8_t> before = rom;
  const IpsApplyResult r = ApplyIpsRecords(patch, rom);
  if (rom.size() != before.size() || r.stopPosition > patch.size() + 5) __builtin_trap();
  if (r.cut() && rom != before) __builtin_trap();  // a cut-off patch changes nothing

  // The writer: the first half against the second half, both modes.
  const std::size_t half = patch.size() / 2;
  const auto working = patch.subspan(0, half);
  const auto original = patch.subspan(half, half);
  ChangedBlockList eco, chunked;
  FindChangedBlocks(working, original, true, data[0] & 1, eco);
  FindChangedBlocks(working, original, false, data[0] & 1, chunked);
  if (eco.blocks.size() != chunked.blocks.size() || eco.data != chunked.data) __builtin_trap();
  const IpsBuild build = BuildIps(chunked);
  std::vector<std::uint8_t> rebuilt(original.begin(), original.end());
  ApplyIpsRecords(build.file, rebuilt);
  if (!std::equal(rebuilt.begin(), rebuilt.end(), working.begin())) __builtin_trap();
  return 0;
}
