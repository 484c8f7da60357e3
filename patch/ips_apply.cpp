#include "patch/ips_apply.h"

#include <algorithm>
#include <cstring>

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/rom.h"
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

IpsApplyResult ApplyIpsRecords(std::span<const std::uint8_t> patch, std::span<std::uint8_t> rom) {
  IpsApplyResult result;
  std::size_t p = kHeaderSize;
  const std::size_t end = patch.size();
  auto stopAt = [&](IpsStop why) {
    result.stop = why;
    result.stopPosition = p;
    return result;
  };
  while (p < end) {
    if (end - p >= 3 && Read24(patch, p) == static_cast<std::uint32_t>(kIpsEofOffset)) return stopAt(IpsStop::EofMark);
    // A header must be read whole; nothing past the end of the file is read.
    if (end - p < 5) return stopAt(IpsStop::CutHeader);
    const std::size_t offset = Read24(patch, p);
    const std::size_t size = Read16(patch, p + 3);
    if (size > 0) {
      const std::size_t present = std::min(size, end - (p + 5));
      if (offset < rom.size()) {
        const std::size_t n = std::min(present, rom.size() - offset);
        std::memcpy(rom.data() + offset, patch.data() + p + 5, n);
      }
      ++result.records;
      if (present < size) return stopAt(IpsStop::CutData);
      p += 5 + size;
    } else {
      if (end - p < 8) return stopAt(IpsStop::CutRunLength);
      const std::size_t run = Read16(patch, p + 5);
      if (offset < rom.size()) std::memset(rom.data() + offset, patch[p + 7], std::min(run, rom.size() - offset));
      ++result.records;
      p += 8;
    }
  }
  return stopAt(IpsStop::EndOfFile);
}

void LoadIps(PatchState& state, std::u16string& fileName) {
  std::u16string name;
  if (!fileName.empty() && FileExists(fileName)) {
    name = fileName;
    fileName.clear();
  } else {
    name = AskFileName(state, false, u"Открыть IPS файл", kIpsFilters);
    if (name.empty()) return;
  }
  IoError err;
  auto bytes = ReadFileBytes(name, &err);
  if (!bytes) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", name, err), kColourBrightRed);
    return;
  }
  IpsPatch& ips = state.ips;
  if (!IsIpsFile(*bytes)) {
    ips.isLoaded = false;
    ips.bytes.clear();
    AppendLog(state, u"Это не IPS, или файл испорчен");
    return;
  }
  ips.bytes = std::move(*bytes);
  ips.fileName = name;
  ips.isLoaded = true;
  AppendLog(state, u"Загрузили IPS из файла " + name);
}

void ApplyIps(PatchState& state) {
  IpsPatch& ips = state.ips;
  if (!ips.isLoaded) {
    MsgBox(state, u"IPS файл не загружен", MsgButtons::Ok, MsgIcon::Error);
    AppendLog(state, u"IPS файл не загружен");
    return;
  }
  if (!RequireRom(state)) return;
  const IpsApplyResult r = ApplyIpsRecords(ips.bytes, state.rom.span());
  const std::u16string where = NumText(static_cast<long long>(r.stopPosition)) + u" [hex]=" + HexText(r.stopPosition);
  switch (r.stop) {
    case IpsStop::CutHeader:
      AppendLog(state, u"IPS файл обрезан: заголовок записи по смещению" + where +
                           u" не помещается в файл. Применение остановлено, предыдущие записи применены",
                kColourBrightRed);
      return;
    case IpsStop::CutRunLength:
      AppendLog(state, u"IPS файл обрезан: RLE запись по смещению" + where +
                           u" не помещается в файл. Применение остановлено, предыдущие записи применены",
                kColourBrightRed);
      return;
    case IpsStop::CutData:
      AppendLog(state, u"IPS файл обрезан: данные записи по смещению" + where +
                           u" не помещаются в файл. Применена только их имеющаяся часть, применение остановлено",
                kColourBrightRed);
      return;
    case IpsStop::EofMark:
    case IpsStop::EndOfFile:
      break;
  }
  AppendLog(state, u"Применили IPS к ROM.");
}

}  // namespace vorkat
