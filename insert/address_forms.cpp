#include "insert/address_forms.h"

#include "core/log.h"
#include "insert/insert_state.h"
#include "core/text.h"

namespace vorkat {
namespace {

// A character pair read as "&h" + pair: as far as its hexadecimal digits go.
int PairValue(std::u16string_view pair) { return static_cast<int>(ReadNumber(u"&h" + std::u16string(pair))); }

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
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<std::uint32_t>(PairValue(std::u16string_view(t).substr(i * 2, 2)) & 0xFF);
  if (v >= 0x80000000u) return -1;
  return static_cast<std::int32_t>(v);
}

std::u16string LongToAddrText(std::int32_t offset) { return HexText(static_cast<std::uint32_t>(offset)); }

std::u16string OffsetToPtrHexUnchecked(std::int32_t offset) {
  std::u16string h = HexText(static_cast<std::uint32_t>(offset) & 0xFFFFFF, 6);
  return h.substr(4, 2) + h.substr(2, 2) + h.substr(0, 2) + u"08";
}

std::u16string OffsetToPtrHex(InsertState& state, std::int32_t offset) {
  if (offset < 0 || offset >= kPointerReach) {
    AppendLog(state,
              u"Адрес " + HexText(static_cast<std::uint32_t>(offset)) +
                  u" вне досягаемости указателя GBA (максимум FFFFFF): указатель не сформирован",
              kColourBrightRed);
    return {};
  }
  return OffsetToPtrHexUnchecked(offset);
}

std::int32_t PtrHexToOffset(std::u16string_view text) {
  if (text.size() != 8) return -1;
  int p1 = PairValue(text.substr(0, 2)), p2 = PairValue(text.substr(2, 2)), p3 = PairValue(text.substr(4, 2));
  return p1 + p2 * 256 + p3 * 65536;
}

std::optional<std::array<std::uint8_t, 4>> PtrHexToBytes(InsertState& state, std::u16string& text) {
  if (text.empty()) {
    AppendLog(state, u"Ошибка преобразования адреса вставки диалога в строку...(передали пустую строку)");
    return std::nullopt;
  }
  if (text.size() < 8)
    AppendLog(state,
              u"Видимо ошибка преобразования адреса вставки диалога в в строку...то, что передали короче чем "
              u"хочется (hhhhhh08) продолжаю...");
  text = PadLeft(text, 8);
  if (text.substr(6, 2) != u"08")
    AppendLog(state,
              u"Видимо ошибка преобразования адреса вставки диалога в в строку...(то, что передали не кончается "
              u"на '08') продолжаю...");
  std::array<std::uint8_t, 4> bytes{};
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<std::uint8_t>(PairValue(std::u16string_view(text).substr(i * 2, 2)) & 0xFF);
  return bytes;
}

}  // namespace vorkat
