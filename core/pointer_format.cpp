#include "core/pointer_format.h"

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

int PointerWidth(PointerFormat f) {
  switch (f) {
    case PointerFormat::GB16: return 2;
    case PointerFormat::GB24:
    case PointerFormat::GB24R: return 3;
    case PointerFormat::GBA: break;
  }
  return 4;
}

std::u16string_view PointerFormatName(PointerFormat f) {
  switch (f) {
    case PointerFormat::GB16: return u"GB16";
    case PointerFormat::GB24: return u"GB24";
    case PointerFormat::GB24R: return u"GB24R";
    case PointerFormat::GBA: break;
  }
  return u"GBA";
}

int PointerTableAlignment(PointerFormat f) {
  switch (f) {
    case PointerFormat::GB16: return 2;
    case PointerFormat::GB24:
    case PointerFormat::GB24R: return 1;
    case PointerFormat::GBA: break;
  }
  return 4;
}

std::u16string_view PointerTextShape(PointerFormat f) {
  switch (f) {
    case PointerFormat::GB16: return u"hhhh";
    case PointerFormat::GB24: return u"bbhhhh";
    case PointerFormat::GB24R: return u"hhhhbb";
    case PointerFormat::GBA: break;
  }
  return u"hhhhhh08";
}

std::optional<PointerFormat> ParsePointerFormat(std::u16string_view name) {
  const std::u16string wanted = UCase(Trim(name));
  for (PointerFormat f : {PointerFormat::GBA, PointerFormat::GB16, PointerFormat::GB24, PointerFormat::GB24R})
    if (wanted == PointerFormatName(f)) return f;
  return std::nullopt;
}

std::int32_t PointerReach(PointerFormat f) {
  switch (f) {
    case PointerFormat::GB16: return 512 * kGbBankSize;
    case PointerFormat::GB24:
    case PointerFormat::GB24R: return 256 * kGbBankSize;
    case PointerFormat::GBA: break;
  }
  return kPointerReach;
}

std::optional<std::array<std::uint8_t, 4>> EncodePointer(PointerFormat f, std::int32_t offset) {
  if (offset < 0 || offset >= PointerReach(f)) return std::nullopt;
  std::array<std::uint8_t, 4> b{};
  const auto address = static_cast<std::uint32_t>(GbAddress(offset));
  const auto bank = static_cast<std::uint8_t>(BankOf(offset));
  switch (f) {
    case PointerFormat::GBA: {
      const std::uint32_t value = 0x08000000u + static_cast<std::uint32_t>(offset);
      for (std::size_t i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(value >> (8 * i));
      break;
    }
    case PointerFormat::GB16:
      b = {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), 0, 0};
      break;
    case PointerFormat::GB24:
      b = {bank, static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), 0};
      break;
    case PointerFormat::GB24R:
      b = {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8), bank, 0};
      break;
  }
  return b;
}

std::int32_t DecodePointer(PointerFormat f, const std::uint8_t* b, std::int32_t bank) {
  switch (f) {
    case PointerFormat::GB16: return GbTarget(b[0] | b[1] << 8, bank);
    case PointerFormat::GB24: return GbTarget(b[1] | b[2] << 8, b[0]);
    case PointerFormat::GB24R: return GbTarget(b[0] | b[1] << 8, b[2]);
    case PointerFormat::GBA: break;
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
