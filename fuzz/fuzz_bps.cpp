// Feeds arbitrary bytes to the BPS reader as a patch for a small source, and
// to the writer as a pair of ROMs whose patch must rebuild the target.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "patch/bps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  if (size < 1) return 0;
  // The reader: the input is a patch for a source of the size the first byte gives.
  const std::vector<std::uint8_t> source(data[0], 0x5A);
  const std::span<const std::uint8_t> input(data + 1, size - 1);
  RomBytes target;
  const BpsApplyResult r = ApplyBpsPatch(input, source, target);
  if (r.fault != BpsFault::None && !target.empty()) __builtin_trap();  // a refused patch gives nothing

  // The same bytes with the magic, the source checksum and the patch
  // checksum made right, so that the header and the actions are read.
  if (input.size() >= kBpsMinimumFileSize) {
    std::vector<std::uint8_t> patch(input.begin(), input.end());
    patch[0] = 'B', patch[1] = 'P', patch[2] = 'S', patch[3] = '1';
    auto putLe32 = [&patch](std::size_t at, std::uint32_t v) {
      for (int s = 0; s < 4; ++s) patch[at + static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(v >> (8 * s));
    };
    putLe32(patch.size() - 12, Crc32(source));
    putLe32(patch.size() - 4, Crc32(std::span<const std::uint8_t>(patch).first(patch.size() - 4)));
    const BpsApplyResult any = ApplyBpsPatch(patch, source, target);
    if (any.fault == BpsFault::PatchCrc || any.fault == BpsFault::SourceCrc) __builtin_trap();
    if (any.fault != BpsFault::None && !target.empty()) __builtin_trap();
  }

  // The writer: the first half against the second half.
  const std::size_t half = input.size() / 2;
  const auto from = input.subspan(0, half);
  const auto to = input.subspan(half);
  const std::vector<std::uint8_t> made = BuildBps(from, to);
  if (ApplyBpsPatch(made, from, target).fault != BpsFault::None) __builtin_trap();
  if (!std::equal(target.begin(), target.end(), to.begin(), to.end())) __builtin_trap();
  return 0;
}
