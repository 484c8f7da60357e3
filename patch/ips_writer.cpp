#include "patch/ips_writer.h"

#include <algorithm>

#include "core/file_io.h"
#include "core/log.h"
#include "core/rom.h"
#include "patch/patch_state.h"
#include "patch/ips_apply.h"

namespace vorkat {

namespace {

constexpr std::u16string_view kSaveIpsFilters = u"IPS files(*.ips)|*.ips\r\nAll Files (*.*)|*.*";

void Put24(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

}  // namespace

IpsBuild BuildIps(const ChangedBlockList& changes) {
  IpsBuild build;
  std::vector<std::uint8_t>& out = build.file;
  out.reserve(8 + changes.data.size() + changes.blocks.size() * 6);
  out.insert(out.end(), {'P', 'A', 'T', 'C', 'H'});
  for (const ChangedBlock& block : changes.blocks) {
    auto data = changes.bytes(block);
    std::int64_t start = block.offset;
    // A record at the "EOF" offset would end the patch for every reader:
    // start it one byte earlier, with the working ROM's byte there.
    bool lead = start == kIpsEofOffset;
    if (lead && !changes.byteBeforeEofOffset) lead = false;  // cannot happen for blocks from a comparison
    if (lead) --start;
    std::int64_t remaining = static_cast<std::int64_t>(data.size()) + (lead ? 1 : 0);
    std::size_t used = 0;  // bytes of `data` already written
    while (remaining > 0) {
      if (start >= kIpsOffsetLimit || start == kIpsEofOffset) {
        build = IpsBuild{};
        build.unreachableOffset = start;
        return build;
      }
      std::int64_t length = std::min<std::int64_t>(remaining, kIpsMaxRecord);
      // Cutting here would start the next record at the "EOF" offset: cut a byte earlier.
      if (length < remaining && start + length == kIpsEofOffset) --length;
      Put24(out, static_cast<std::uint32_t>(start));
      out.push_back(static_cast<std::uint8_t>(length >> 8));
      out.push_back(static_cast<std::uint8_t>(length));
      std::int64_t fromData = length;
      if (lead) {
        out.push_back(*changes.byteBeforeEofOffset);
        --fromData;
        lead = false;
      }
      auto part = data.subspan(used, static_cast<std::size_t>(fromData));
      out.insert(out.end(), part.begin(), part.end());
      used += part.size();
      start += length;
      remaining -= length;
      ++build.records;
    }
  }
  out.insert(out.end(), {'E', 'O', 'F'});
  return build;
}

std::u16string IpsNameWithExtension(const std::u16string& name) {
  if (FileNameOf(name).find(u'.') != std::u16string::npos) return name;
  return name + u".ips";
}

void WriteIps(PatchState state, const std::u16string& fileName) {
  state.ips.isLoaded = false;
  const ChangedBlockList& changes = state.ips.changes;
  if (!changes.comparisonDone) {
    AppendRefusal(state, u"Для того, чтобы сохранить IPS нужно сначала сравнить пару ROM'ов");
    return;
  }
  if (changes.blocks.empty()) {
    AppendLog(state, u"А нет нефига изменений, не буду ничего сохранять");
    return;
  }
  // Plan the whole patch before asking for a name, so a refusal touches no file.
  IpsBuild build = BuildIps(changes);
  if (build.unreachableOffset >= 0) {
    AppendLog(state,
              u"IPS не записан: изменения с адреса " +
                  HexText(static_cast<unsigned long long>(build.unreachableOffset)) + u" (" +
                  DecText(build.unreachableOffset) +
                  u") недоступны формату IPS, запись в нём может начинаться только ниже 16 МиБ (1000000). "
                  u"Сохраните изменения как BPS (File > Save > BPS as, в пакетном задании SAVEBPS=файл)",
              kColourBrightRed);
    return;
  }
  std::u16string name = fileName.empty() ? AskFileName(state, true, u"Save IPS to file", kSaveIpsFilters) : fileName;
  if (name.empty()) return;
  name = IpsNameWithExtension(name);
  IoError err;
  if (!WriteFileAtomic(name, build.file, Backup::RotateBak, &err, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Не удалось записать IPS в файл ", name, err), kColourBrightRed);
    return;
  }
  AppendLog(state, u"Записали IPS в файл " + name);
}

}  // namespace vorkat
