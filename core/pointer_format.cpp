#include "core/pointer_format.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "core/numbers.h"
#include "core/text.h"

namespace vorkat {
namespace {

constexpr std::int32_t kGbSwitchedWindow = 0x4000;  // $4000-$7FFF shows the switched bank
constexpr std::int32_t kGbRomWindowEnd = 0x8000;

// The offset a GB address reaches through a bank (0 taken as 1 above $3FFF).
std::int32_t GbTarget(std::int32_t address, std::int32_t bank) {
  if (address < kGbSwitchedWindow) return address;
  if (address >= kGbRomWindowEnd) return -1;
  if (bank < 1) bank = 1;
  return bank * kGbBankSize + (address - kGbSwitchedWindow);
}

// The CPU address and bank of a GB offset.
std::int32_t GbAddress(std::int32_t offset) {
  return offset < kGbBankSize ? offset : kGbSwitchedWindow + offset % kGbBankSize;
}

}  // namespace

std::u16string PointerFormatName(PointerFormat f) {
  switch (f.kind) {
    case PointerKind::GB16: return u"GB16";
    case PointerKind::GB24: return u"GB24";
    case PointerKind::GB24R: return u"GB24R";
    case PointerKind::Offset: {
      std::u16string name = u"OFFSET," + DecText(f.width) + u",";
      name += f.base == 0 ? std::u16string(u"0") : u"&h" + HexText(static_cast<std::uint32_t>(f.base));
      if (f.bigEndian) name += u",BE";
      return name;
    }
    case PointerKind::GBA: break;
  }
  return u"GBA";
}

int PointerTableAlignment(PointerFormat f) {
  switch (f.kind) {
    case PointerKind::GB16: return 2;
    case PointerKind::GB24:
    case PointerKind::GB24R: return 1;
    case PointerKind::Offset: return f.width == 3 ? 1 : f.width;
    case PointerKind::GBA: break;
  }
  return 4;
}

std::u16string PointerTextShape(PointerFormat f) {
  switch (f.kind) {
    case PointerKind::GB16: return u"hhhh";
    case PointerKind::GB24: return u"bbhhhh";
    case PointerKind::GB24R: return u"hhhhbb";
    case PointerKind::Offset: return std::u16string(2u * f.width, u'h');
    case PointerKind::GBA: break;
  }
  return u"hhhhhh08";
}

std::optional<PointerFormat> ParsePointerFormat(std::u16string_view name) {
  const std::u16string wanted = UCase(Trim(name));
  for (PointerFormat f : {PointerFormat::GBA, PointerFormat::GB16, PointerFormat::GB24, PointerFormat::GB24R})
    if (wanted == PointerFormatName(f)) return f;
  // OFFSET,width,base[,BE|LE]
  std::vector<std::u16string> parts;
  for (std::u16string_view piece : SplitViews(wanted, u",")) parts.push_back(Trim(piece));
  if (parts.size() < 3 || parts.size() > 4 || parts[0] != u"OFFSET") return std::nullopt;
  const std::optional<std::int32_t> width = ParseTypedInt(parts[1]);
  const std::optional<std::int32_t> base = ParseTypedInt(parts[2]);
  if (!width || *width < 2 || *width > 4 || !base || *base < 0) return std::nullopt;
  bool bigEndian = false;
  if (parts.size() == 4) {
    if (parts[3] != u"BE" && parts[3] != u"LE") return std::nullopt;
    bigEndian = parts[3] == u"BE";
  }
  return PointerFormat::Offset(*width, *base, bigEndian);
}

std::int32_t PointerReach(PointerFormat f) {
  switch (f.kind) {
    case PointerKind::GB16: return 512 * kGbBankSize;
    case PointerKind::GB24:
    case PointerKind::GB24R: return 256 * kGbBankSize;
    case PointerKind::Offset: {
      const std::int64_t reach = std::int64_t{f.base} + (std::int64_t{1} << (8 * f.width));
      return static_cast<std::int32_t>(std::min<std::int64_t>(reach, INT32_MAX));
    }
    case PointerKind::GBA: break;
  }
  return kPointerReach;
}

std::optional<std::array<std::uint8_t, 4>> EncodePointer(PointerFormat f, std::int32_t offset) {
  if (!InPointerReach(f, offset)) return std::nullopt;
  std::array<std::uint8_t, 4> b{};
  const auto address = static_cast<std::uint32_t>(GbAddress(offset));
  const auto bank = static_cast<std::uint8_t>(BankOf(offset));
  switch (f.kind) {
    case PointerKind::GBA: {
      const std::uint32_t value = 0x08000000u + static_cast<std::uint32_t>(offset);
      for (std::size_t i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(value >> (8 * i));
      break;
    }
    case PointerKind::GB16:
      b = {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), 0, 0};
      break;
    case PointerKind::GB24:
      b = {bank, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), 0};
      break;
    case PointerKind::GB24R:
      b = {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), bank, 0};
      break;
    case PointerKind::Offset: {
      const auto value = static_cast<std::uint32_t>(offset - f.base);
      const std::size_t n = f.width;
      for (std::size_t i = 0; i < n; ++i) b[f.bigEndian ? n - 1 - i : i] = static_cast<std::uint8_t>(value >> (8 * i));
      break;
    }
  }
  return b;
}

std::int32_t DecodePointer(PointerFormat f, const std::uint8_t* b, std::int32_t bank) {
  switch (f.kind) {
    case PointerKind::GB16: return GbTarget(b[0] | b[1] << 8, bank);
    case PointerKind::GB24: return GbTarget(b[1] | b[2] << 8, b[0]);
    case PointerKind::GB24R: return GbTarget(b[0] | b[1] << 8, b[2]);
    case PointerKind::Offset: {
      std::uint32_t value = 0;
      const std::size_t n = f.width;
      for (std::size_t i = 0; i < n; ++i) value = value << 8 | b[f.bigEndian ? i : n - 1 - i];
      const std::int64_t target = std::int64_t{f.base} + value;
      return target > INT32_MAX ? -1 : static_cast<std::int32_t>(target);
    }
    case PointerKind::GBA: break;
  }
  return PointerTarget(b[0], b[1], b[2], b[3]);
}

std::uint32_t PointerKey(PointerFormat f, const std::uint8_t* b) {
  std::uint32_t key = 0;
  for (int i = PointerWidth(f); i-- > 0;) key = key << 8 | b[i];
  return key;
}

RomConsole ConsoleOfHeader(std::span<const std::uint8_t> rom) {
  constexpr std::size_t kGbaFixed = 0xB2, kGbaCheck = 0xBD, kGbaCheckFrom = 0xA0;
  if (rom.size() > kGbaCheck && rom[kGbaFixed] == 0x96) {
    unsigned c = 0;
    for (std::size_t i = kGbaCheckFrom; i < kGbaCheck; ++i) c -= rom[i];
    if (((c - 0x19) & 0xFFu) == rom[kGbaCheck]) return RomConsole::Gba;
  }
  constexpr std::size_t kGbFrom = 0x134, kGbCheck = 0x14D;
  if (rom.size() > kGbCheck) {
    unsigned x = 0;
    for (std::size_t i = kGbFrom; i < kGbCheck; ++i) x = x - rom[i] - 1;
    if ((x & 0xFFu) == rom[kGbCheck]) return RomConsole::GameBoy;
  }
  return RomConsole::Unknown;
}

}  // namespace vorkat
