#include "patch/bps.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "core/file_io.h"
#include "core/log.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "patch/patch_file.h"
#include "patch/patch_state.h"

namespace vorkat {

namespace {

constexpr std::u16string_view kBpsFilters = u"BPS files (*.bps)|*.bps\r\nAll Files (*.*)|*.*";
constexpr std::u16string_view kSaveBpsFilters = u"BPS files(*.bps)|*.bps\r\nAll Files (*.*)|*.*";
constexpr std::uint8_t kMagic[4] = {'B', 'P', 'S', '1'};
constexpr std::size_t kFooterSize = 12;  // source, target and patch CRC32

enum BpsAction : std::uint64_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };

// Equal runs shorter than this stay inside the literal around them: a
// SourceRead and the TargetRead after it cost more than the bytes.
constexpr std::size_t kMinSourceRun = 4;
// Runs of one repeated byte at least this long become a TargetCopy.
constexpr std::size_t kMinRepeat = 32;
// Blocks compared whole before looking at single bytes.
constexpr std::size_t kCompareStep = 4096;

std::uint32_t ReadLe32(std::span<const std::uint8_t> p, std::size_t at) {
  return static_cast<std::uint32_t>(p[at]) | static_cast<std::uint32_t>(p[at + 1]) << 8 |
         static_cast<std::uint32_t>(p[at + 2]) << 16 | static_cast<std::uint32_t>(p[at + 3]) << 24;
}

void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// The first offset from pos on where the two differ, or end.
std::size_t FirstDifference(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t pos,
                            std::size_t end) {
  while (end - pos >= kCompareStep && std::memcmp(a.data() + pos, b.data() + pos, kCompareStep) == 0)
    pos += kCompareStep;
  // Eight bytes at a time up to the word that differs, then byte by byte.
  for (; end - pos >= 8; pos += 8) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, a.data() + pos, 8);
    std::memcpy(&y, b.data() + pos, 8);
    if (x != y) break;
  }
  while (pos < end && a[pos] == b[pos]) ++pos;
  return pos;
}

std::size_t FirstEqual(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t pos,
                       std::size_t end) {
  while (pos < end && a[pos] != b[pos]) ++pos;
  return pos;
}

// The target's CRC32 from the source's. The two differ only in the literal
// stretches, and CRC32 is linear over messages of one length: each stretch
// adds crc(source part) ^ crc(target part), carried on past the bytes that
// follow it. crc32_combine(a, b, n) is a carried past n bytes, xor b.
class TargetChecksum {
 public:
  TargetChecksum(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target)
      : source_(source), target_(target) {}

  // A stretch [from, to) of the common part where the two differ (in order).
  // Stretches close together are taken as one with the equal bytes between,
  // which add nothing: reading those is cheaper than one more combine.
  void Differs(std::size_t from, std::size_t to) {
    if (to_ > from_ && from - to_ < kJoinGap) {
      to_ = to;
      return;
    }
    Flush();
    from_ = from;
    to_ = to;
  }
  // The target's checksum over the common length, given the source's over it.
  std::uint32_t Finish(std::uint32_t sourceCrc, std::size_t common) {
    Flush();
    return static_cast<std::uint32_t>(sourceCrc ^ crc32_combine(change_, 0, static_cast<z_off_t>(common - end_)));
  }

 private:
  static constexpr std::size_t kJoinGap = 512;

  void Flush() {
    if (to_ == from_) return;
    const uLong change = Crc32(source_.subspan(from_, to_ - from_)) ^ Crc32(target_.subspan(from_, to_ - from_));
    change_ = crc32_combine(change_, change, static_cast<z_off_t>(to_ - end_));
    end_ = to_;
    from_ = to_;
  }

  std::span<const std::uint8_t> source_;
  std::span<const std::uint8_t> target_;
  std::size_t from_ = 0;  // the stretch not yet counted
  std::size_t to_ = 0;
  uLong change_ = 0;  // what the counted stretches change, carried to end_
  std::size_t end_ = 0;
};

// The CRC32 of `bytes`, worked out by a second thread while this one does
// `work`, and by both once `work` is done: pieces of 1 MiB are taken in
// order by whichever thread is free, and their checksums combined at the end.
template <class Work>
std::uint32_t Crc32Beside(std::span<const std::uint8_t> bytes, Work&& work) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  const std::size_t pieces = (bytes.size() + kPiece - 1) / kPiece;
  auto piece = [&](std::size_t i) { return bytes.subspan(i * kPiece, std::min(kPiece, bytes.size() - i * kPiece)); };
  std::vector<std::uint32_t> crcs(pieces);
  std::atomic<std::size_t> next{0};
  auto take = [&] {
    for (std::size_t i = next++; i < pieces; i = next++) crcs[i] = Crc32(piece(i));
  };
  {
    std::jthread helper;  // joined when the block ends, also when `work` throws
    if (pieces > 1) {
      try {
        helper = std::jthread(take);
      } catch (const std::system_error&) {
        // No second thread to be had: this one takes every piece.
      }
    }
    try {
      work();
    } catch (...) {
      next = pieces;  // the helper stops after the piece it has
      throw;
    }
    take();
  }
  uLong crc = 0;
  for (std::size_t i = 0; i < pieces; ++i) crc = crc32_combine(crc, crcs[i], static_cast<z_off_t>(piece(i).size()));
  return static_cast<std::uint32_t>(crc);
}

// Writes the actions of a linear patch, keeping the TargetCopy cursor.
class ActionWriter {
 public:
  ActionWriter(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> target) : out_(out), target_(target) {}

  void SourceRead(std::size_t length) { Action(kSourceRead, length); }

  // The target's bytes [from, to), repeats of one byte as TargetCopy.
  void Literal(std::size_t from, std::size_t to) {
    std::size_t pending = from;  // first byte not written yet
    std::size_t i = from;
    while (i < to) {
      std::size_t j = i + 1;
      while (j < to && target_[j] == target_[i]) ++j;
      if (j - i >= kMinRepeat) {
        // The run's first byte goes out literally; the copy then reads
        // each byte it has just written, one position back.
        TargetRead(pending, i + 1);
        TargetCopy(i, j - i - 1);
        pending = j;
      }
      i = j;
    }
    TargetRead(pending, to);
  }

 private:
  void Action(std::uint64_t action, std::size_t length) {
    AppendBpsNumber(out_, (static_cast<std::uint64_t>(length) - 1) << 2 | action);
  }

  void TargetRead(std::size_t from, std::size_t to) {
    if (to <= from) return;
    Action(kTargetRead, to - from);
    out_.insert(out_.end(), target_.begin() + static_cast<std::ptrdiff_t>(from),
                target_.begin() + static_cast<std::ptrdiff_t>(to));
  }

  void TargetCopy(std::size_t from, std::size_t length) {
    Action(kTargetCopy, length);
    const auto delta = static_cast<std::int64_t>(from) - static_cast<std::int64_t>(targetCursor_);
    const std::uint64_t magnitude = delta < 0 ? static_cast<std::uint64_t>(-delta) : static_cast<std::uint64_t>(delta);
    AppendBpsNumber(out_, magnitude << 1 | (delta < 0 ? 1u : 0u));
    targetCursor_ = from + length;
  }

  std::vector<std::uint8_t>& out_;
  std::span<const std::uint8_t> target_;
  std::size_t targetCursor_ = 0;
};

// The result of the TargetCopy at `out` reading from `cursor` (< out): the
// copy may overlap the bytes it writes, which repeats the last out - cursor bytes.
void CopyWithinTarget(std::uint8_t* t, std::size_t cursor, std::size_t out, std::size_t length) {
  const std::size_t distance = out - cursor;
  if (distance == 1) {
    std::memset(t + out, t[cursor], length);
    return;
  }
  while (length > 0) {
    const std::size_t n = std::min(distance, length);
    std::memcpy(t + out, t + cursor, n);
    out += n;
    cursor += n;
    length -= n;
  }
}

}  // namespace

void AppendBpsNumber(std::vector<std::uint8_t>& out, std::uint64_t value) {
  for (;;) {
    const auto low = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
    if (value == 0) {
      out.push_back(static_cast<std::uint8_t>(0x80 | low));
      return;
    }
    out.push_back(low);
    --value;
  }
}

std::optional<std::uint64_t> ReadBpsNumber(std::span<const std::uint8_t> data, std::size_t& pos, std::size_t end) {
  std::uint64_t value = 0;
  std::uint64_t shift = 1;
  while (pos < end) {
    const std::uint8_t b = data[pos++];
    std::uint64_t part = 0;
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(b & 0x7F), shift, &part) ||
        __builtin_add_overflow(value, part, &value))
      return std::nullopt;
    if (b & 0x80) return value;
    if (shift > (UINT64_MAX >> 7)) return std::nullopt;
    shift <<= 7;
    if (__builtin_add_overflow(value, shift, &value)) return std::nullopt;
  }
  return std::nullopt;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
  uLong value = crc;
  // zlib counts lengths in uInt: feed at most 1 GiB a call.
  constexpr std::size_t kPiece = std::size_t{1} << 30;
  for (std::size_t at = 0; at < bytes.size(); at += kPiece)
    value = crc32(value, bytes.data() + at, static_cast<uInt>(std::min(kPiece, bytes.size() - at)));
  return static_cast<std::uint32_t>(value);
}

bool IsBpsFile(std::span<const std::uint8_t> patch) {
  return patch.size() >= kBpsMinimumFileSize && std::memcmp(patch.data(), kMagic, sizeof kMagic) == 0;
}

std::vector<std::uint8_t> BuildBps(std::span<const std::uint8_t> source, std::span<const std::uint8_t> target) {
  std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
  AppendBpsNumber(out, source.size());
  AppendBpsNumber(out, target.size());
  AppendBpsNumber(out, 0);  // no metadata
  ActionWriter actions(out, target);
  TargetChecksum targetChecksum(source, target);
  const std::size_t common = std::min(source.size(), target.size());
  // The source's checksum is worked out beside the walk; the target's follows from it.
  const std::uint32_t commonCrc = Crc32Beside(source.first(common), [&] {
    std::size_t pos = 0;
    while (pos < common) {
      const std::size_t equalEnd = FirstDifference(source, target, pos, common);
      if (equalEnd > pos) actions.SourceRead(equalEnd - pos);
      pos = equalEnd;
      if (pos == common) break;
      // A differing run, with the short equal runs inside it, up to the next
      // equal run long enough for a SourceRead of its own (or the common end).
      std::size_t literalEnd = pos;
      for (;;) {
        literalEnd = FirstEqual(source, target, literalEnd, common);
        if (literalEnd == common) break;
        const std::size_t probeEnd = std::min(literalEnd + kMinSourceRun, common);
        const std::size_t equalTo = FirstDifference(source, target, literalEnd, probeEnd);
        if (equalTo == probeEnd) break;
        literalEnd = equalTo;
      }
      actions.Literal(pos, literalEnd);
      targetChecksum.Differs(pos, literalEnd);
      pos = literalEnd;
    }
  });
  // Bytes past the end of the source have nothing to read from there.
  actions.Literal(common, target.size());
  AppendLe32(out, Crc32(source.subspan(common), commonCrc));
  AppendLe32(out, Crc32(target.subspan(common), targetChecksum.Finish(commonCrc, common)));
  AppendLe32(out, Crc32(out));
  return out;
}

BpsApplyResult ApplyBpsPatch(std::span<const std::uint8_t> patch, std::span<const std::uint8_t> source,
                             RomBytes& target) {
  target.clear();
  auto fail = [&target](BpsFault fault, std::uint64_t expected = 0, std::uint64_t actual = 0,
                        std::size_t position = 0) {
    target = RomBytes();
    return BpsApplyResult{fault, expected, actual, position};
  };
  if (!IsBpsFile(patch)) return fail(BpsFault::NotBps);
  const std::size_t footer = patch.size() - kFooterSize;
  const std::uint32_t patchCrc = ReadLe32(patch, patch.size() - 4);
  const std::uint32_t actualPatchCrc = Crc32(patch.first(patch.size() - 4));
  if (patchCrc != actualPatchCrc) return fail(BpsFault::PatchCrc, patchCrc, actualPatchCrc);

  std::size_t pos = sizeof kMagic;
  const auto sourceSize = ReadBpsNumber(patch, pos, footer);
  const auto targetSize = ReadBpsNumber(patch, pos, footer);
  const auto metadataSize = ReadBpsNumber(patch, pos, footer);
  if (!sourceSize || !targetSize || !metadataSize || *metadataSize > footer - pos) return fail(BpsFault::Header);
  pos += static_cast<std::size_t>(*metadataSize);

  if (*sourceSize != source.size()) return fail(BpsFault::SourceSize, *sourceSize, source.size());
  const std::uint32_t sourceCrc = ReadLe32(patch, footer);
  const std::uint32_t actualSourceCrc = Crc32(source);
  if (sourceCrc != actualSourceCrc) return fail(BpsFault::SourceCrc, sourceCrc, actualSourceCrc);
  if (*targetSize > kMaxRomFileSize) return fail(BpsFault::TargetTooLarge, *targetSize, kMaxRomFileSize);

  const auto size = static_cast<std::size_t>(*targetSize);
  target.resize(size);  // not zero-filled: the actions write every byte or the patch is refused
  std::uint8_t* t = target.data();
  std::size_t out = 0;
  // Cursors of SourceCopy and TargetCopy; moved by signed steps, checked before each copy.
  std::int64_t sourceCursor = 0;
  std::int64_t targetCursor = 0;
  while (pos < footer) {
    const std::size_t at = pos;
    const auto n = ReadBpsNumber(patch, pos, footer);
    if (!n) return fail(BpsFault::Actions, 0, 0, at);
    const std::uint64_t length = (*n >> 2) + 1;
    if (length > size - out) return fail(BpsFault::Actions, 0, 0, at);  // the output would pass the target size
    const auto len = static_cast<std::size_t>(length);
    switch (*n & 3) {
      case kSourceRead:
        if (len > source.size() || out > source.size() - len) return fail(BpsFault::Actions, 0, 0, at);
        std::memcpy(t + out, source.data() + out, len);
        break;
      case kTargetRead:
        if (len > footer - pos) return fail(BpsFault::Actions, 0, 0, at);
        std::memcpy(t + out, patch.data() + pos, len);
        pos += len;
        break;
      default: {
        const bool fromSource = (*n & 3) == kSourceCopy;
        const auto step = ReadBpsNumber(patch, pos, footer);
        // No step can be longer than the files: 2^40 keeps the sum in range.
        if (!step || (*step >> 1) > (std::uint64_t{1} << 40)) return fail(BpsFault::Actions, 0, 0, at);
        const auto magnitude = static_cast<std::int64_t>(*step >> 1);
        std::int64_t& cursor = fromSource ? sourceCursor : targetCursor;
        cursor += (*step & 1) ? -magnitude : magnitude;
        if (cursor < 0) return fail(BpsFault::Actions, 0, 0, at);
        const auto from = static_cast<std::size_t>(cursor);
        if (fromSource) {
          if (from > source.size() || len > source.size() - from) return fail(BpsFault::Actions, 0, 0, at);
          std::memcpy(t + out, source.data() + from, len);
        } else {
          // Only bytes already written can be read.
          if (from >= out) return fail(BpsFault::Actions, 0, 0, at);
          CopyWithinTarget(t, from, out, len);
        }
        cursor += static_cast<std::int64_t>(len);
        break;
      }
    }
    out += len;
  }
  if (out != size) return fail(BpsFault::TargetSize, size, out);
  const std::uint32_t targetCrc = ReadLe32(patch, footer + 4);
  const std::uint32_t actualTargetCrc = Crc32(std::span<const std::uint8_t>(target.data(), target.size()));
  if (targetCrc != actualTargetCrc) return fail(BpsFault::TargetCrc, targetCrc, actualTargetCrc);
  return {};
}

std::u16string BpsNameWithExtension(const std::u16string& name) {
  if (FileNameOf(name).find(u'.') != std::u16string::npos) return name;
  return name + u".bps";
}

bool LoadBps(PatchState state, std::u16string& fileName) {
  PatchFileRead read = ReadPatchFile(state, fileName, {u"BPS", kBpsFilters, kMaxBpsFileSize, IsBpsFile});
  BpsPatch& bps = state.bps;
  if (read.outcome == PatchFileRead::Outcome::NotThisKind) bps = BpsPatch{};
  if (read.outcome != PatchFileRead::Outcome::Read) return false;
  bps.bytes = std::move(read.bytes);
  bps.fileName = std::move(read.name);
  bps.isLoaded = true;
  return true;
}

namespace {

std::u16string Crc32Text(std::uint64_t crc) { return HexText(crc, 8); }

// What the log says about a refused patch (before the common ending).
std::u16string FaultText(const BpsApplyResult& r, const std::u16string& name) {
  const std::u16string file = u"BPS файл " + name;
  switch (r.fault) {
    case BpsFault::None:
    case BpsFault::NotBps: return u"Это не BPS, или файл испорчен";
    case BpsFault::PatchCrc:
      return file + u" испорчен: CRC32 патча " + Crc32Text(r.actual) + u", а в нём записано " + Crc32Text(r.expected);
    case BpsFault::Header: return file + u" испорчен: не читаются размеры или метаданные в заголовке";
    case BpsFault::SourceSize:
      return file + u" сделан для другого ROM'а: размер исходного ROM'а в патче" +
             NumText(static_cast<long long>(r.expected)) + u" байт, а у загруженного" +
             NumText(static_cast<long long>(r.actual)) + u" байт";
    case BpsFault::SourceCrc:
      return file + u" сделан для другого ROM'а (или другой его версии): CRC32 исходного ROM'а в патче " +
             Crc32Text(r.expected) + u", а у загруженного " + Crc32Text(r.actual);
    case BpsFault::TargetTooLarge:
      return file + u" дает ROM размером" +
             NumText(static_cast<long long>(std::min<std::uint64_t>(r.expected, INT64_MAX))) + u" байт, больше 32 МиБ";
    case BpsFault::Actions:
      return file + u" испорчен: действие по смещению" + NumText(static_cast<long long>(r.position)) + u" [hex]=" +
             HexText(r.position) + u" обрезано или выходит за пределы ROM'ов";
    case BpsFault::TargetSize:
      return file + u" испорчен: действия дали" + NumText(static_cast<long long>(r.actual)) + u" байт вместо" +
             NumText(static_cast<long long>(r.expected));
    case BpsFault::TargetCrc:
      return file + u": результат не совпадает с целевым ROM'ом, CRC32 результата " + Crc32Text(r.actual) +
             u", а в патче записано " + Crc32Text(r.expected);
  }
  return file;
}

}  // namespace

void ApplyBps(PatchState state) {
  BpsPatch& bps = state.bps;
  if (!bps.isLoaded) {
    MsgBox(state, u"BPS файл не загружен", MsgButtons::Ok, MsgIcon::Error);
    AppendRefusal(state, u"BPS файл не загружен");
    return;
  }
  if (!RequireRom(state)) return;
  // Build the whole result first: a refused patch leaves the ROM as it was.
  RomBytes target;
  const BpsApplyResult r = ApplyBpsPatch(bps.bytes, state.rom.view(), target);
  if (r.fault != BpsFault::None) {
    AppendLog(state, FaultText(r, bps.fileName) + u". BPS не применён, ROM не изменён", kColourBrightRed);
    return;
  }
  const std::int32_t oldSize = state.rom.size();
  state.rom.bytes = std::move(target);
  state.rom.modified = true;
  ++state.rom.generation;  // offsets found before the patch may now point elsewhere
  AppendLog(state, u"Применили BPS к ROM.");
  if (state.rom.size() != oldSize)
    AppendLog(state, u"Размер ROM'а изменился: был" + NumText(oldSize) + u" байт, стал" + NumText(state.rom.size()) +
                         u" байт");
}

void WriteBps(PatchState state, const std::u16string& fileName) {
  if (!RequireBothRoms(state)) return;
  const std::span<const std::uint8_t> source = state.originalRom.view();
  const std::span<const std::uint8_t> target = state.rom.view();
  if (source.size() == target.size() && std::memcmp(source.data(), target.data(), source.size()) == 0) {
    AppendLog(state, u"А нет нефига изменений, не буду ничего сохранять");
    return;
  }
  // The patch is made before asking for a name: the working ROM is the target.
  const std::vector<std::uint8_t> patch = BuildBps(source, target);
  std::u16string name = fileName.empty() ? AskFileName(state, true, u"Save BPS to file", kSaveBpsFilters) : fileName;
  if (name.empty()) return;
  name = BpsNameWithExtension(name);
  IoError err;
  if (!WriteFileAtomic(name, patch, Backup::RotateBak, &err, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Не удалось записать BPS в файл ", name, err), kColourBrightRed);
    return;
  }
  AppendLog(state, u"Записали BPS в файл " + name);
}

}  // namespace vorkat
