#include "patch/rom_compare.h"
#include "core/date_text.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "core/runtime.h"
#include "core/log.h"
#include "patch/patch_state.h"
#include "patch/ips_apply.h"

namespace vorkat {

namespace {

// Builds the block list one run of differing offsets at a time, in ascending order.
class BlockCollector {
 public:
  BlockCollector(std::span<const std::uint8_t> working, bool merge, ChangedBlockList& out)
      : working_(working), merge_(merge), out_(out) {}

  // Adds the differing offsets x .. x + n - 1.
  void AddRun(std::size_t x, std::size_t n) {
    const auto offset = static_cast<std::int32_t>(x);
    if (!out_.blocks.empty()) {
      ChangedBlock& last = out_.blocks.back();
      const std::int32_t next = last.offset + last.size;
      if (offset == next || (merge_ && offset - next <= kMergeGap)) {
        // The unchanged bytes in between come along with the merged block.
        Append(static_cast<std::size_t>(next), x + n);
        last.size = static_cast<std::int32_t>(x + n) - last.offset;
        return;
      }
    }
    out_.blocks.push_back(ChangedBlock{offset, static_cast<std::int32_t>(n), out_.data.size()});
    Append(x, x + n);
  }

 private:
  void Append(std::size_t from, std::size_t to) {
    out_.data.insert(out_.data.end(), working_.begin() + static_cast<std::ptrdiff_t>(from),
                     working_.begin() + static_cast<std::ptrdiff_t>(to));
  }

  std::span<const std::uint8_t> working_;
  bool merge_;
  ChangedBlockList& out_;
};

// First position in [from, to) where the two differ, or `to`. Eight bytes
// at a time; the result is the same as a byte-by-byte scan.
std::size_t FindMismatch(const std::uint8_t* a, const std::uint8_t* b, std::size_t from, std::size_t to) {
  std::size_t i = from;
  while (i + 8 <= to) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) break;
    i += 8;
  }
  while (i < to && a[i] == b[i]) ++i;
  return i;
}

}  // namespace

bool FindChangedBlocks(std::span<const std::uint8_t> working, std::span<const std::uint8_t> original, bool ecoMode,
                       bool mergeBlocks, ChangedBlockList& out, const std::function<bool(std::int32_t)>& onDifference) {
  out = ChangedBlockList{};
  if (working.size() > static_cast<std::size_t>(kIpsEofOffset - 1))
    out.byteBeforeEofOffset = working[static_cast<std::size_t>(kIpsEofOffset - 1)];
  BlockCollector collector(working, mergeBlocks, out);
  // A run of differing bytes [x, end) goes into the blocks at once.
  auto differ = [&](std::size_t x, std::size_t end) {
    collector.AddRun(x, end - x);
    return !onDifference || onDifference(static_cast<std::int32_t>(end - 1));
  };

  const std::size_t common = std::min(working.size(), original.size());
  const std::uint8_t* w = working.data();
  const std::uint8_t* o = original.data();
  auto runEnd = [&](std::size_t x, std::size_t limit) {
    while (x < limit && w[x] != o[x]) ++x;
    return x;
  };
  if (ecoMode) {
    for (std::size_t x = 0; x < common; ++x) {
      if (w[x] == o[x]) continue;
      const std::size_t end = runEnd(x + 1, common);
      if (!differ(x, end)) return false;
      x = end;
    }
  } else {
    for (std::size_t start = 0; start < common; start += kCompareChunk) {
      const std::size_t limit = std::min(start + kCompareChunk, common);
      if (std::memcmp(w + start, o + start, limit - start) == 0) continue;
      for (std::size_t x = FindMismatch(w, o, start, limit); x < limit;) {
        const std::size_t end = runEnd(x + 1, limit);
        if (!differ(x, end)) return false;
        x = FindMismatch(w, o, end, limit);
      }
    }
  }
  // Bytes the original does not have are all changes.
  if (working.size() > common && !differ(common, working.size())) return false;
  return true;
}

void CompareRoms(PatchState state, bool ecoMode, bool mergeBlocks) {
  ChangedBlockList& changes = state.ips.changes;
  changes = ChangedBlockList{};
  if (!RequireBothRoms(state)) return;
  AppendLog(state, NowText() + u" Начинаем сравнение двух ROM'ов" + std::u16string(kCrLf) + u"Исправленный = " +
                       state.rom.fileName + std::u16string(kCrLf) + u"Оригинальный = " + state.originalRom.fileName);
  LongOperation op(state);
  const auto working = state.rom.view();
  const auto original = state.originalRom.view();
  if (working.size() > original.size())
    AppendLog(state,
              u"Исправленный ROM длиннее оригинального на" +
                  NumText(static_cast<long long>(working.size() - original.size())) +
                  u" байт: байты после конца оригинала считаются изменёнными",
              kColourDarkRed);
  else if (working.size() < original.size())
    AppendLog(state,
              u"Исправленный ROM короче оригинального на" +
                  NumText(static_cast<long long>(original.size() - working.size())) +
                  u" байт: сравниваем по длине исправленного, IPS не укоротит ROM",
              kColourDarkRed);
  ShowProgress(state, 0, std::max<std::int64_t>(static_cast<std::int64_t>(working.size()), 1));

  // Progress and events only at runs of differing bytes; the clock is read
  // at most once per 64 runs, so a ROM changed throughout stays fast.
  std::uint32_t seen = 0;
  bool finished = FindChangedBlocks(working, original, ecoMode, mergeBlocks, changes, [&](std::int32_t x) {
    SetProgress(state, x);
    if ((seen++ & 63) == 0) YieldPoint(state);
    return !state.ctx.CancelRequested;
  });
  if (!finished) {
    HideProgress(state);
    return;
  }
  AppendLog(state, NowText() + u" Закончили сравнение ROM'ов, отличительных блоков насчитано" +
                       NumText(static_cast<long long>(changes.blocks.size())));
  HideProgress(state);
  changes.comparisonDone = true;
}

}  // namespace vorkat
