#include "insert/pointer_rewrite.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/log.h"
#include "insert/insert_state.h"
#include "core/text.h"
#include "insert/address_forms.h"
#include "insert/insertion_log.h"
#include "extract/extract_common.h"
#include "core/warning_limit.h"

namespace vorkat {
namespace {

// A GBA pointer window's key is the offset it addresses: 25 bits, since the
// GBA maps the ROM at 0x08000000-0x09FFFFFF (last byte 08 or 09). A Game
// Boy window's key, its 2 or 3 bytes, fits as well; a 4-byte offset's is
// cut to these bits wherever the wanted keys are looked up.
constexpr std::size_t kValueBits = std::size_t{1} << 25;

std::uint64_t IndexKey(std::uint32_t value, std::int32_t offset) {
  return static_cast<std::uint64_t>(value) << 32 | static_cast<std::uint32_t>(offset);
}

struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};

FileStamp StampOf(std::u16string_view name) {
  FileStamp s;
  if (name.empty() || !FileExists(name)) return s;
  s.exists = true;
  std::error_code ec;
  const auto path = ToPath(name);
  s.size = std::filesystem::file_size(path, ec);
  if (ec) s.size = 0;
  auto time = std::filesystem::last_write_time(path, ec);
  if (!ec) s.modified = static_cast<std::int64_t>(time.time_since_epoch().count());
  return s;
}

void ReadPointerList(InsertState state, PointerListCache& cache) {
  cache.offsets.clear();
  IoError err;
  auto data = ReadFileBytes(cache.name, &err);
  if (!data) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", cache.name, err), kColourBrightRed);
    return;
  }
  const std::u16string text = DecodeTextFile(*data);
  WarnIfBareLf(state, text, cache.name);
  const std::vector<std::u16string> lines = SplitCrLf(text);
  WarningLimit faults = ListEntryWarnings();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::u16string entry = TrimBlanks(lines[i]);
    if (entry.empty()) continue;
    if (cache.offsets.size() == kMaxListedPointers) {
      AppendLog(state, u"слишком много адресов указано в файле " + cache.name + u" ограничение = 1024");
      break;
    }
    // A line that is no offset would otherwise accept a pointer at offset 0.
    if (auto offset = ReadListedOffset(state, entry, state.rom.size(), cache.name, i + 1, faults))
      cache.offsets.push_back(*offset);
  }
  faults.Summarise(state, kColourDarkRed);
}

// Brings the program-wide list cache up to the dialog's file: read when the
// name differs from the last one or the file changed since it was read.
void UpdateListCache(InsertState state, const std::u16string& name, InsertionLogFile* logFile) {
  PointerListCache& cache = state.insertion.listCache;
  const FileStamp stamp = StampOf(name);
  const bool unchanged = name == cache.name && stamp.exists == cache.existed && stamp.size == cache.size &&
                         stamp.modified == cache.modified;
  if (unchanged) {
    if (logFile) logFile->WriteLine(u"----- Файл с адресами 'правильных' поинтеров " + name + u" уже загружен");
    return;
  }
  cache.name = name;
  cache.existed = stamp.exists;
  cache.size = stamp.size;
  cache.modified = stamp.modified;
  if (name.empty()) return;
  if (!stamp.exists) {
    AppendLog(state, u"Файл с адресами правильных указателей " + name + u" не найден", kColourBrightRed);
    return;
  }
  if (logFile) logFile->WriteLine(u"----- Читаем файл с адресами 'правильных' поинтеров " + name);
  ReadPointerList(state, cache);
}

}  // namespace

PointerSnapshot::PointerSnapshot(std::span<const std::uint8_t> rom, PointerFormat format)
    : rom_(rom), format_(format), width_(static_cast<std::size_t>(PointerWidth(format))) {}

std::uint32_t PointerSnapshot::WindowKey(const std::uint8_t* p) const {
  return IsGbaFormat(format_) ? GbaWindowKey(p) : PointerKey(format_, p);
}

std::optional<std::uint32_t> PointerSnapshot::KeyOf(const std::array<std::uint8_t, 4>& pattern) const {
  if (IsGbaFormat(format_) && !IsGbaPointerHighByte(pattern[3])) return std::nullopt;
  return WindowKey(pattern.data());
}

void PointerSnapshot::Write(std::span<std::uint8_t> rom, std::size_t offset, std::span<const std::uint8_t> bytes) {
  if (written_.empty()) written_.assign(rom_.size() / 64 + 1, 0);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::size_t pos = offset + i;
    std::uint64_t& word = written_[pos / 64];
    const std::uint64_t bit = std::uint64_t{1} << (pos % 64);
    if (!(word & bit)) {
      word |= bit;
      replaced_.emplace_back(static_cast<std::uint32_t>(pos), rom[pos]);
    }
    rom[pos] = bytes[i];
  }
}

void PointerSnapshot::IndexPointers(std::span<const std::uint32_t> values,
                                    std::span<const std::pair<std::int32_t, std::int32_t>> only) {
  only_.assign(only.begin(), only.end());
  wanted_.assign(kValueBits / 64, 0);
  for (std::uint32_t v : values) {
    v &= kValueBits - 1;
    wanted_[v / 64] |= std::uint64_t{1} << (v % 64);
  }
  indexedAll_ = false;
  // Nothing wanted (a run of texts in place): no pass over the ROM.
  if (values.empty()) {
    index_.clear();
    return;
  }
  Build(false);
}

void PointerSnapshot::IndexAllPointers() {
  only_.clear();
  wanted_.clear();
  indexedAll_ = true;
  Build(true);
}

bool PointerSnapshot::IsIndexed(std::uint32_t value) const {
  if (indexedAll_) return true;
  value &= kValueBits - 1;
  return !wanted_.empty() && (wanted_[value / 64] >> (value % 64) & 1);
}

void PointerSnapshot::Build(bool all) {
  index_.clear();
  const std::size_t n = rom_.size();
  if (n < width_) return;
  // Indexing happens before the run writes anything: the ROM is as it stood.
  const std::uint8_t* data = rom_.data();
  if (!only_.empty()) {
    for (const auto& [first, last] : only_) {
      const std::int64_t end = std::min<std::int64_t>(std::int64_t{last} + 1, static_cast<std::int64_t>(n));
      for (std::int64_t m = std::max(first, 0); m + static_cast<std::int64_t>(width_) <= end; ++m) {
        const std::uint32_t v = WindowKey(data + m);
        const std::uint32_t bit = v & (kValueBits - 1);
        if (all || (wanted_[bit / 64] >> (bit % 64) & 1)) index_.push_back(IndexKey(v, static_cast<std::int32_t>(m)));
      }
    }
    std::sort(index_.begin(), index_.end());
    index_.erase(std::unique(index_.begin(), index_.end()), index_.end());
    return;
  }
  if (!IsGbaFormat(format_)) {
    // Any 2 or 3 bytes may be a Game Boy pointer, any window an offset:
    // every window is looked at. A 4-byte offset's key is wider than the
    // wanted bits; its low bits choose it (more windows indexed, none missed).
    for (std::size_t m = 0; m + width_ <= n; ++m) {
      const std::uint32_t v = WindowKey(data + m);
      const std::uint32_t bit = v & (kValueBits - 1);
      if (all || (wanted_[bit / 64] >> (bit % 64) & 1)) index_.push_back(IndexKey(v, static_cast<std::int32_t>(m)));
    }
    std::sort(index_.begin(), index_.end());
    return;
  }
  // Every window ends in an 08 or 09 byte: find those, one byte value per
  // pass, and look three bytes back. The sort puts the two passes in order.
  for (const std::uint8_t high : {kPointerLowHighByte, kPointerUpHighByte}) {
    const std::uint8_t* p = data + 3;
    const std::uint8_t* end = data + n;
    while (p < end) {
      p = static_cast<const std::uint8_t*>(std::memchr(p, high, static_cast<std::size_t>(end - p)));
      if (!p) break;
      const std::uint8_t* w = p - 3;
      const std::uint32_t v = GbaWindowKey(w);
      if (all || (wanted_[v / 64] >> (v % 64) & 1)) index_.push_back(IndexKey(v, static_cast<std::int32_t>(w - data)));
      ++p;
    }
  }
  std::sort(index_.begin(), index_.end());
}

std::vector<std::int32_t> PointerSnapshot::Find(const std::array<std::uint8_t, 4>& pattern, std::int32_t from,
                                                std::int32_t lastStart) const {
  const std::optional<std::uint32_t> key = KeyOf(pattern);
  if (!key || !IsIndexed(*key)) return FindLinear(pattern, from, lastStart);
  const std::uint32_t value = *key;
  std::vector<std::int32_t> found;
  if (rom_.size() < width_) return found;
  from = std::max(from, 0);
  lastStart =
      static_cast<std::int32_t>(std::min<std::int64_t>(lastStart, static_cast<std::int64_t>(rom_.size() - width_)));
  if (from > lastStart) return found;
  for (auto it = std::lower_bound(index_.begin(), index_.end(), IndexKey(value, from));
       it != index_.end() && (*it >> 32) == value; ++it) {
    const auto offset = static_cast<std::int32_t>(*it & 0xFFFFFFFFu);
    if (offset > lastStart) break;
    found.push_back(offset);
  }
  return found;
}

std::vector<std::int32_t> PointerSnapshot::FindLinear(const std::array<std::uint8_t, 4>& pattern, std::int32_t from,
                                                      std::int32_t lastStart) const {
  std::vector<std::int32_t> found;
  if (rom_.size() < width_) return found;
  from = std::max(from, 0);
  lastStart =
      static_cast<std::int32_t>(std::min<std::int64_t>(lastStart, static_cast<std::int64_t>(rom_.size() - width_)));
  // The ROM as it stood: the working bytes, or a copy with the replaced bytes
  // put back once the run has written (scans that miss the index are rare).
  RomBytes original;
  const std::uint8_t* data = rom_.data();
  if (!replaced_.empty()) {
    original.assign(rom_.begin(), rom_.end());
    for (const auto& [pos, byte] : replaced_) original[pos] = byte;
    data = original.data();
  }
  for (std::int64_t m = from; m <= lastStart; ++m)
    if (std::memcmp(data + m, pattern.data(), width_) == 0) found.push_back(static_cast<std::int32_t>(m));
  return found;
}

void RewritePointers(InsertState state, PointerSnapshot& snapshot, std::u16string& oldPtrHex,
                     std::u16string_view newPtrHex, std::u16string_view doPointerChange, std::int32_t zoneStart,
                     std::u16string& ptrsAddrListFile, InsertionLogFile* logFile, std::u16string_view dlgID,
                     std::int32_t zoneEnd, RewriteWarnings* warnings, std::int32_t oldTextBank) {
  if (!RequireRom(state)) return;
  if (!IsPointerChangeYes(doPointerChange)) return;
  const PointerFormat format = state.ctx.settings.PtrFormat;
  const int width = PointerWidth(format);
  // Zero bytes for missing pairs would point the game at offset 0: refuse.
  const PointerText newPointer = ReadPointerText(newPtrHex, format);
  if (!newPointer.wellFormed) {
    if (warnings && !warnings->newPointers.Allow()) return;
    AppendLog(state,
              u"DialogID=" + std::u16string(dlgID) + u" новый поинтер '" + std::u16string(newPtrHex) + u"' не из" +
                  NumText(2 * width) + u" шестнадцатеричных цифр, указатели этого диалога не меняли",
              kColourBrightRed);
    return;
  }

  // The last byte of a rewritten pointer may lie at most here.
  std::int64_t limit = zoneEnd > 0 ? std::int64_t{zoneEnd} : std::int64_t{state.rom.size()} - 2;
  limit = std::min<std::int64_t>(limit, static_cast<std::int64_t>(state.rom.bytes.size()) - 1);

  ptrsAddrListFile = Trim(ptrsAddrListFile);
  UpdateListCache(state, ptrsAddrListFile, logFile);

  const auto pattern = PtrHexToBytes(state, oldPtrHex, warnings ? &warnings->pointerTexts : nullptr);
  const std::array<std::uint8_t, 4>& newBytes = newPointer.bytes;

  if (logFile)
    logFile->WriteLine(u"----- DialogID=" + std::u16string(dlgID) + u"-----ищем поинтер=" + oldPtrHex +
                       u" будем менять его на " + std::u16string(newPtrHex) + u" -----");

  int count = 0;
  // An empty pattern would match everywhere: nothing is searched then.
  if (pattern) {
    const PointerListCache& cache = state.insertion.listCache;
    const bool listInUse = !ptrsAddrListFile.empty() && FileExists(ptrsAddrListFile);
    const int alignment = state.insertion.CheckByMod4 ? PointerTableAlignment(format) : 1;
    // Where the search runs: the zone, or for a GB16 search of the whole
    // ROM without a list, bank 0 and the bank of the old text.
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;  // first start, last end byte
    if (format == PointerFormat::GB16 && !listInUse && zoneStart <= 0 && zoneEnd <= 0) {
      ranges.emplace_back(0, kGbBankSize - 1);
      if (oldTextBank > 0)
        ranges.emplace_back(std::int64_t{oldTextBank} * kGbBankSize, (std::int64_t{oldTextBank} + 1) * kGbBankSize - 1);
    } else {
      ranges.emplace_back(std::max(zoneStart, 0), limit);
    }
    std::span<std::uint8_t> rom = state.rom.span();
    state.rom.modified = true;
    for (const auto& [first, lastByte] : ranges) {
      const auto lastStart =
          static_cast<std::int32_t>(std::clamp<std::int64_t>(std::min(lastByte, limit) - (width - 1), -1, INT32_MAX));
      for (std::int32_t m : snapshot.Find(*pattern, static_cast<std::int32_t>(first), lastStart)) {
        const bool accepted = listInUse
                                  ? std::find(cache.offsets.begin(), cache.offsets.end(), m) != cache.offsets.end()
                                  : m % alignment == 0;
        if (!accepted) continue;
        snapshot.Write(rom, static_cast<std::size_t>(m),
                       std::span<const std::uint8_t>(newBytes.data(), static_cast<std::size_t>(width)));
        state.record.pointers.push_back({state.record.dialog, m});
        if (logFile) logFile->WriteLine(DecText(m));
        ++count;
      }
    }
  }

  const std::u16string report = u"DialogID=" + std::u16string(dlgID) + u" меняли поинтер " + oldPtrHex + u" на " +
                                std::u16string(newPtrHex) + u" сделано" + NumText(count) + u" изменений";
  if (count == 1) {
    if (ExtendedLogsOn(state)) AppendLog(state, report);
  } else if (!warnings || warnings->counts.Allow()) {
    AppendLog(state, report, kColourDarkRed);
  }
}

void RewriteWarnings::Summarise(InsertState state) {
  counts.Summarise(state, kColourDarkRed);
  pointerTexts.Summarise(state, kColourDefault);
  newPointers.Summarise(state, kColourBrightRed);
}

}  // namespace vorkat
