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
  for (int i = 0; i < 4; ++i) v = v << 8 | PairValue(std::u16string_view(t).substr(i * 2, 2));
  if (v >= 0x80000000u) return -1;
  return static_cast<std::int32_t>(v);
}

std::u16string LongToAddrText(std::int32_t offset) { return HexText(static_cast<std::uint32_t>(offset)); }

std::u16string OffsetToPtrHexUnchecked(std::int32_t offset) {
  const bool inReach = offset >= 0 && offset < kPointerReach;
  const std::uint32_t value = 0x08000000u + (inReach ? static_cast<std::uint32_t>(offset)
                                                     : static_cast<std::uint32_t>(offset) & 0xFFFFFFu);
  std::u16string text;
  for (int shift = 0; shift < 32; shift += 8) text += HexText((value >> shift) & 0xFF, 2);
  return text;
}

std::u16string OffsetToPtrHex(InsertState& state, std::int32_t offset) {
  if (offset < 0 || offset >= kPointerReach) {
    AppendLog(state,
              u"Адрес " + HexText(static_cast<std::uint32_t>(offset)) +
                  u" вне досягаемости указателя GBA (максимум 1FFFFFF): указатель не сформирован",
              kColourBrightRed);
    return {};
  }
  return OffsetToPtrHexUnchecked(offset);
}

std::int32_t PtrHexToOffset(std::u16string_view text) {
  if (text.size() != 8) return -1;
  return ReadPointerText(text).offset();
}

PointerText ReadPointerText(std::u16string_view text) {
  PointerText p;
  const std::u16string padded = PadLeft(text, 8);
  const std::u16string_view t(padded);
  for (std::size_t i = 0; i < 4; ++i) p.bytes[i] = PairValue(t.substr(i * 2, 2));
  p.wellFormed =
      text.size() == 8 && std::all_of(text.begin(), text.end(), [](char16_t c) { return HexDigitValue(c) >= 0; });
  return p;
}

std::optional<std::array<std::uint8_t, 4>> PtrHexToBytes(InsertState& state, std::u16string& text,
                                                         WarningLimit* warnings) {
  if (text.empty()) {
    if (!warnings || warnings->Allow())
      AppendLog(state, u"Ошибка преобразования адреса вставки диалога в строку...(передали пустую строку)");
    return std::nullopt;
  }
  if (text.size() < 8 && (!warnings || warnings->Allow()))
    AppendLog(state,
              u"Видимо ошибка преобразования адреса вставки диалога в в строку...то, что передали короче чем "
              u"хочется (hhhhhh08) продолжаю...");
  text = PadLeft(text, 8);
  if (text.substr(6, 2) != u"08" && text.substr(6, 2) != u"09" && (!warnings || warnings->Allow()))
    AppendLog(state,
              u"Видимо ошибка преобразования адреса вставки диалога в в строку...(то, что передали не кончается "
              u"на '08') продолжаю...");
  return ReadPointerText(text).bytes;
}

}  // namespace vorkat
