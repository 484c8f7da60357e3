#include "insert/address_forms.h"

#include <algorithm>

#include "codec/hex_digits.h"
#include "core/log.h"
#include "core/warning_limit.h"
#include "insert/insert_state.h"
#include "core/text.h"

namespace vorkat {
namespace {

// A character pair read as "&h" + pair would be: blanks, tabs and line feeds
// skipped, then as far as its hexadecimal digits go.
std::uint8_t PairValue(std::u16string_view pair) {
  unsigned v = 0;
  for (char16_t c : pair) {
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    const int d = HexDigitValue(c);
    if (d < 0) break;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return static_cast<std::uint8_t>(v);
}

std::u16string PadLeft(std::u16string_view text, std::size_t width) {
  std::u16string out(text);
  if (out.size() < width) out.insert(0, width - out.size(), u'0');
  return out;
}

}  // namespace

std::int32_t HexTextToLong(std::u16string_view text) {
  std::u16string t = Trim(text);
  if (t.empty() || t.size() > 8) return -1;
  t = PadLeft(t, 8);
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = v << 8 | PairValue(std::u16string_view(t).substr(i * 2, 2));
  if (v >= 0x80000000u) return -1;
  return static_cast<std::int32_t>(v);
}

std::u16string LongToAddrText(std::int32_t offset) { return HexText(static_cast<std::uint32_t>(offset)); }

std::u16string OffsetToPtrHexUnchecked(std::int32_t offset, PointerFormat format) {
  auto bytes = EncodePointer(format, offset);
  if (!bytes) {
    if (!IsGbaFormat(format)) return {};
    bytes = EncodePointer(format, offset & 0xFFFFFF);
  }
  std::u16string text;
  for (int i = 0; i < PointerWidth(format); ++i) text += HexText((*bytes)[static_cast<std::size_t>(i)], 2);
  return text;
}

std::int32_t PtrHexToOffset(std::u16string_view text, PointerFormat format, std::int32_t bank) {
  if (text.size() != static_cast<std::size_t>(2 * PointerWidth(format))) return -1;
  const PointerText pointer = ReadPointerText(text, format);
  if (IsGbaFormat(format)) return pointer.offset();
  return DecodePointer(format, pointer.bytes.data(), bank);
}

PointerText ReadPointerText(std::u16string_view text, PointerFormat format) {
  PointerText p;
  p.width = PointerWidth(format);
  const auto chars = static_cast<std::size_t>(2 * p.width);
  const std::u16string padded = PadLeft(text, chars);
  const std::u16string_view t(padded);
  for (std::size_t i = 0; i < static_cast<std::size_t>(p.width); ++i) p.bytes[i] = PairValue(t.substr(i * 2, 2));
  p.wellFormed = text.size() == chars &&
                 std::all_of(text.begin(), text.end(), [](char16_t c) { return HexDigitValue(c) >= 0; });
  return p;
}

std::optional<std::array<std::uint8_t, 4>> PtrHexToBytes(InsertState state, std::u16string& text,
                                                         WarningLimit* warnings) {
  const PointerFormat format = state.ctx.settings.PtrFormat;
  const auto chars = static_cast<std::size_t>(2 * PointerWidth(format));
  if (text.empty()) {
    if (!warnings || warnings->Allow())
      AppendLog(state, u"Ошибка преобразования адреса вставки диалога в строку...(передали пустую строку)");
    return std::nullopt;
  }
  const std::u16string shape = PointerTextShape(format);
  // A longer text is a pointer of another format (a GBA dialogs file read
  // with a GB format chosen): its first bytes would be searched for nothing.
  if (!IsGbaFormat(format) && text.size() > chars) {
    if (!warnings || warnings->Allow())
      AppendLog(state,
                u"Указатель '" + text + u"' длиннее, чем в формате " + std::u16string(PointerFormatName(format)) +
                    u" (" + shape + u"), его не ищем",
                kColourBrightRed);
    return std::nullopt;
  }
  if (text.size() < chars && (!warnings || warnings->Allow())) {
    AppendLog(state,
              u"Видимо ошибка преобразования адреса вставки диалога в в строку...то, что передали короче чем "
              u"хочется (" +
                  shape + u") продолжаю...");
  }
  text = PadLeft(text, chars);
  if (IsGbaFormat(format) && text.substr(6, 2) != u"08" && text.substr(6, 2) != u"09" &&
      (!warnings || warnings->Allow()))
    AppendLog(state,
              u"Видимо ошибка преобразования адреса вставки диалога в в строку...(то, что передали не кончается "
              u"на '08') продолжаю...");
  return ReadPointerText(text, format).bytes;
}

std::vector<PointerZone> ReadPointerZones(std::u16string_view zones, std::int32_t romSize) {
  std::vector<PointerZone> out;
  std::size_t pos = 0;
  while (true) {
    const std::size_t semi = zones.find(u';', pos);
    const std::u16string_view piece =
        zones.substr(pos, semi == std::u16string_view::npos ? std::u16string_view::npos : semi - pos);
    PointerZone zone{0, romSize};
    if (const std::size_t colon = piece.find(u':'); colon != std::u16string_view::npos) {
      zone.start = ReadInt(piece.substr(0, colon));
      zone.end = ReadInt(piece.substr(colon + 1));
    } else {
      zone.start = ReadInt(piece);
    }
    out.push_back(zone);
    if (semi == std::u16string_view::npos) break;
    pos = semi + 1;
  }
  return out;
}

bool SetPointerFormat(CoreState state, std::u16string_view name) {
  const std::optional<PointerFormat> format = ParsePointerFormat(name);
  if (!format) {
    AppendLog(state,
              u"Неизвестный формат указателей '" + Trim(name) +
                  u"' (бывают GBA, GB16, GB24, GB24R и OFFSET,ширина,база[,BE]), оставлен " +
                  std::u16string(PointerFormatName(state.ctx.settings.PtrFormat)),
              kColourBrightRed);
    return false;
  }
  state.ctx.settings.PtrFormat = *format;
  LogPointerFormat(state);
  return true;
}

void LogPointerFormat(CoreState state) {
  AppendLog(state, u"Формат указателей: " + std::u16string(PointerFormatName(state.ctx.settings.PtrFormat)));
}

bool PointerFormatFitsRom(CoreState state) {
  if (!state.rom.isLoaded) return true;
  const RomConsole console = ConsoleOfHeader(state.rom.view());
  const PointerFormat format = state.ctx.settings.PtrFormat;
  // Tables of offsets are found in the games of both consoles.
  if (IsOffsetFormat(format)) return true;
  if (console == RomConsole::Unknown || (console == RomConsole::Gba) == !IsGbFormat(format)) return true;
  AppendLog(state,
            u"Заголовок ROM'а говорит, что это игра " +
                std::u16string(console == RomConsole::Gba ? u"Game Boy Advance" : u"Game Boy") +
                u", а выбран формат указателей " + std::u16string(PointerFormatName(format)) +
                u": указатели этой игры так не найти (POINTERFORMAT=" +
                std::u16string(console == RomConsole::Gba ? u"GBA" : u"GB16, GB24 или GB24R") + u")",
            kColourBrightRed);
  return false;
}

}  // namespace vorkat
