#include "patch/ips_apply.h"

#include <algorithm>
#include <cstring>

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/rom.h"
#include "patch/patch_file.h"
#include "patch/patch_state.h"

namespace vorkat {

namespace {

constexpr std::u16string_view kIpsFilters = u"IPS files (*.ips)|*.ips\r\nAll Files (*.*)|*.*";
constexpr std::size_t kHeaderSize = 5;  // "PATCH"

// IPS numbers are big-endian.
std::uint32_t Read24(std::span<const std::uint8_t> p, std::size_t at) {
  return static_cast<std::uint32_t>(p[at]) << 16 | static_cast<std::uint32_t>(p[at + 1]) << 8 | p[at + 2];
}
std::uint32_t Read16(std::span<const std::uint8_t> p, std::size_t at) {
  return static_cast<std::uint32_t>(p[at]) << 8 | p[at + 1];
}

}  // namespace

bool IsIpsFile(std::span<const std::uint8_t> patch) {
  return patch.size() >= kIpsMinimumFileSize && std::memcmp(patch.data(), "PATCH", kHeaderSize) == 0;
}

namespace {

// One walk over the records. Without a ROM it only finds where the records
// end; with one it writes them.
IpsApplyResult WalkIpsRecords(std::span<const std::uint8_t> patch, std::span<std::uint8_t>* rom) {
  IpsApplyResult result;
  std::size_t p = kHeaderSize;
  const std::size_t end = patch.size();
  auto stopAt = [&](IpsStop why) {
    result.stop = why;
    result.stopPosition = p;
    return result;
  };
  // Writes what fits before the ROM's end and counts the rest.
  auto place = [&](std::size_t offset, std::size_t length, auto&& write) {
    const std::size_t fits = offset < rom->size() ? std::min(length, rom->size() - offset) : 0;
    if (fits > 0) write(rom->data() + offset, fits);
    result.droppedBytes += length - fits;
  };
  while (p < end) {
    // A record at offset 0x454F46 cannot exist: those bytes read "EOF", the end mark.
    if (end - p >= 3 && Read24(patch, p) == static_cast<std::uint32_t>(kIpsEofOffset)) return stopAt(IpsStop::EofMark);
    // A header must be read whole; nothing past the end of the file is read.
    if (end - p < 5) return stopAt(IpsStop::CutHeader);
    const std::size_t offset = Read24(patch, p);
    const std::size_t size = Read16(patch, p + 3);
    if (size > 0) {
      if (end - (p + 5) < size) return stopAt(IpsStop::CutData);
      if (rom) place(offset, size, [&](std::uint8_t* to, std::size_t n) { std::memcpy(to, patch.data() + p + 5, n); });
      p += 5 + size;
    } else {
      // Size 0 marks a run-length record: 2 bytes of run length, 1 byte of value.
      if (end - p < 8) return stopAt(IpsStop::CutRunLength);
      const std::size_t run = Read16(patch, p + 5);
      const std::uint8_t value = patch[p + 7];
      if (rom) place(offset, run, [&](std::uint8_t* to, std::size_t n) { std::memset(to, value, n); });
      p += 8;
    }
    ++result.records;
  }
  return stopAt(IpsStop::EndOfFile);
}

}  // namespace

IpsApplyResult ApplyIpsRecords(std::span<const std::uint8_t> patch, std::span<std::uint8_t> rom) {
  IpsApplyResult checked = WalkIpsRecords(patch, nullptr);
  if (checked.cut()) {
    checked.records = 0;
    return checked;
  }
  return WalkIpsRecords(patch, &rom);
}

bool LoadIps(PatchState state, std::u16string& fileName) {
  PatchFileRead read = ReadPatchFile(state, fileName, {u"IPS", kIpsFilters, kMaxIpsFileSize, IsIpsFile});
  IpsPatch& ips = state.ips;
  if (read.outcome == PatchFileRead::Outcome::NotThisKind) {
    ips.isLoaded = false;
    ips.bytes.clear();
  }
  if (read.outcome != PatchFileRead::Outcome::Read) return false;
  ips.bytes = std::move(read.bytes);
  ips.fileName = std::move(read.name);
  ips.isLoaded = true;
  return true;
}

void ApplyIps(PatchState state) {
  IpsPatch& ips = state.ips;
  if (!ips.isLoaded) {
    MsgBox(state, u"IPS файл не загружен", MsgButtons::Ok, MsgIcon::Error);
    AppendRefusal(state, u"IPS файл не загружен");
    return;
  }
  if (!RequireRom(state)) return;
  const IpsApplyResult r = ApplyIpsRecords(ips.bytes, state.rom.span());
  if (r.cut()) {
    const std::u16string where = NumText(static_cast<long long>(r.stopPosition)) + u" [hex]=" + HexText(r.stopPosition);
    const std::u16string_view what = r.stop == IpsStop::CutHeader      ? u"заголовок записи"
                                     : r.stop == IpsStop::CutRunLength ? u"RLE запись"
                                                                       : u"данные записи";
    AppendLog(state,
              u"IPS файл " + ips.fileName + u" обрезан: " + std::u16string(what) + u" по смещению" + where +
                  u" не помещается в файл. IPS не применён, ROM не изменён",
              kColourBrightRed);
    return;
  }
  if (r.droppedBytes > 0)
    AppendLog(state,
              u"Внимание!" + NumText(static_cast<long long>(r.droppedBytes)) +
                  u" байт из IPS лежат за концом ROM и не записаны: ROM не увеличивается",
              kColourDarkRed);
  state.rom.modified = true;
  ++state.rom.generation;  // what was found before the patch may be gone
  AppendLog(state, u"Применили IPS к ROM.");
}

}  // namespace vorkat
