// Pointer formats. A GBA pointer is 0x08000000 + offset stored
// little-endian (the cartridge maps the ROM at 0x08000000-0x09FFFFFF, so its
// last byte is 08 below 16 MiB and 09 from 16 MiB to 32 MiB - 1). A Game Boy
// game sees its ROM through 16 KiB banks: bank 0 at $0000-$3FFF, the
// switched bank n (offsets n * 0x4000 ...) at $4000-$7FFF. Its pointers are
// the 2-byte CPU address (GB16: the bank is chosen by the game's code) or
// the address with a bank byte before (GB24) or after it (GB24R). Many
// games keep texts behind a table of offsets instead: OFFSET pointers hold
// offset - base in 2, 3 or 4 bytes, little- or big-endian, where the base is
// the table's start, a text bank's start or 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vorkat {

enum class PointerKind : std::uint8_t { GBA, GB16, GB24, GB24R, Offset };

// A pointer format: one of the fixed console forms, or an offset form with
// its width, base and byte order. Compared as a whole.
struct PointerFormat {
  PointerKind kind = PointerKind::GBA;
  std::uint8_t width = 4;  // bytes; only the offset form chooses it (2, 3 or 4)
  bool bigEndian = false;
  std::int32_t base = 0;

  static const PointerFormat GBA;
  static const PointerFormat GB16;
  static const PointerFormat GB24;
  static const PointerFormat GB24R;
  static constexpr PointerFormat Offset(int width, std::int32_t base, bool bigEndian) {
    return {PointerKind::Offset, static_cast<std::uint8_t>(width), bigEndian, base};
  }
  bool operator==(const PointerFormat&) const = default;
};
inline constexpr PointerFormat PointerFormat::GBA{PointerKind::GBA, 4, false, 0};
inline constexpr PointerFormat PointerFormat::GB16{PointerKind::GB16, 2, false, 0};
inline constexpr PointerFormat PointerFormat::GB24{PointerKind::GB24, 3, false, 0};
inline constexpr PointerFormat PointerFormat::GB24R{PointerKind::GB24R, 3, false, 0};

// Offsets at or above this have no GBA pointer form.
inline constexpr std::int32_t kPointerReach = 0x2000000;
// Offsets from here on have GBA pointers whose last byte is 09.
inline constexpr std::int32_t kUpperPointerHalf = 0x1000000;
inline constexpr std::uint8_t kPointerLowHighByte = 0x08;
inline constexpr std::uint8_t kPointerUpHighByte = 0x09;
inline constexpr std::int32_t kGbBankSize = 0x4000;

inline bool IsGbaPointerHighByte(std::uint8_t b) { return b == kPointerLowHighByte || b == kPointerUpHighByte; }

// The key of a 4-byte GBA window: the offset it addresses when its last byte
// is 08 or 09; any other last byte gives a key of its own (one per byte).
inline std::uint32_t GbaWindowKey(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3] - kPointerLowHighByte) << 24;
}

// The offset a GBA pointer's four ROM bytes address; -1 unless the last byte is 08 or 09.
inline std::int32_t PointerTarget(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
  if (!IsGbaPointerHighByte(b3)) return -1;
  const std::uint8_t window[4] = {b0, b1, b2, b3};
  return static_cast<std::int32_t>(GbaWindowKey(window));
}

inline bool IsGbaFormat(PointerFormat f) { return f.kind == PointerKind::GBA; }
inline bool IsOffsetFormat(PointerFormat f) { return f.kind == PointerKind::Offset; }
// One of the banked Game Boy forms.
inline bool IsGbFormat(PointerFormat f) { return !IsGbaFormat(f) && !IsOffsetFormat(f); }

// The console a ROM's header names. GBA: the fixed byte 0x96 at 0xB2 and the
// complement check of 0xA0..0xBC at 0xBD (homebrew may lack the logo, so the
// logo is not looked at). Game Boy: the header checksum of 0x134..0x14C at
// 0x14D (the global checksum is ignored by games and is not required).
enum class RomConsole : std::uint8_t { Unknown, Gba, GameBoy };
RomConsole ConsoleOfHeader(std::span<const std::uint8_t> rom);
// Bytes a pointer of the format takes in the ROM: 4, 2, 3, 3, or the offset form's width.
inline int PointerWidth(PointerFormat f) { return f.width; }
// GBA, GB16, GB24, GB24R, or OFFSET,width,base[,BE] with the base as &h
// hexadecimal ("OFFSET,2,&h10000"): the name POINTERFORMAT= and the
// settings take.
std::u16string PointerFormatName(PointerFormat f);
// The name in any letter case, blanks around it and its parts allowed. The
// offset form's width is 2, 3 or 4, its base a typed number from 0 on, its
// byte order LE (the default) or BE.
std::optional<PointerFormat> ParsePointerFormat(std::u16string_view name);
// The alignment of a table of such pointers, which CheckByMod4 asks of a
// pointer's offset: 4 for GBA, 2 for GB16, none (1) for the 3-byte forms;
// an offset form's width (1 for 3 bytes).
int PointerTableAlignment(PointerFormat f);
// How a pointer text of the format looks, for messages: hhhhhh08, hhhh,
// bbhhhh, hhhhbb; an offset form's width in hh pairs.
std::u16string PointerTextShape(PointerFormat f);
// Offsets from PointerFloor up to PointerReach (exclusive) have a pointer of
// the format: the 32 MiB a GBA pointer reaches, the 512 banks (8 MiB) of the
// largest Game Boy cartridge for GB16, the 256 banks a bank byte can name
// for GB24/GB24R; base .. base + 256^width for an offset form (cut to the
// signed 32-bit range).
std::int32_t PointerReach(PointerFormat f);
inline std::int32_t PointerFloor(PointerFormat f) { return IsOffsetFormat(f) ? f.base : 0; }
inline bool InPointerReach(PointerFormat f, std::int64_t offset) {
  return offset >= PointerFloor(f) && offset < PointerReach(f);
}
inline std::int32_t BankOf(std::int32_t offset) { return offset / kGbBankSize; }

// The pointer's bytes in ROM order (PointerWidth of them); nullopt outside
// PointerFloor .. PointerReach - 1. A text in bank 0 is pointed at by its offset (bank
// byte 0); one in bank n by $4000 + its place in the bank (bank byte n).
std::optional<std::array<std::uint8_t, 4>> EncodePointer(PointerFormat f, std::int32_t offset);
// The offset pointer bytes address, or -1 when they are no pointer of the
// format (GBA: last byte neither 08 nor 09; GB: an address from $8000 on;
// an offset form: a target past the signed 32-bit range).
// A GB16 address in $4000-$7FFF is read through `bank`; bank 0 there counts
// as bank 1, as the cartridge's bank controller maps it.
std::int32_t DecodePointer(PointerFormat f, const std::uint8_t* bytes, std::int32_t bank);
// The little-endian value of a pointer's bytes: what equal pointers share.
std::uint32_t PointerKey(PointerFormat f, const std::uint8_t* bytes);

}  // namespace vorkat
