#include "insert/in_place.h"

#include <algorithm>

#include "codec/hex_digits.h"
#include "core/numbers.h"
#include "core/text.h"
#include "insert/address_forms.h"
#include "insert/insert_options.h"

namespace vorkat {

std::optional<OriginalPlace> OriginalPlaceOf(const DialogRecord& dlg) {
  // Only an address written as one: the lenient reading takes "n/a" for 0, the ROM's header.
  const std::u16string address = Trim(dlg.ExtractedFromAddr);
  std::u16string_view digits = address;
  if (digits.starts_with(u"&h") || digits.starts_with(u"&H") || digits.starts_with(u"0x") || digits.starts_with(u"0X"))
    digits.remove_prefix(2);
  if (digits.empty() || digits.size() > 8 ||
      !std::all_of(digits.begin(), digits.end(), [](char16_t c) { return HexDigitValue(c) >= 0; }))
    return std::nullopt;
  const std::int32_t at = HexTextToLong(digits);
  const std::optional<std::int32_t> size = ParseTypedInt(dlg.OldDlgSize);
  if (at < 0 || !size || *size <= 0) return std::nullopt;
  return OriginalPlace{at, *size};
}

InPlaceFit FitInPlace(const InsertOptions& options, const DialogRecord& dlg, std::int64_t length) {
  if (!options.InPlace) return InPlaceFit::NotInPlace;
  const std::optional<OriginalPlace> place = OriginalPlaceOf(dlg);
  // A field without a place would go to free space, where no pointer leads.
  if (!place) return IsPointerChangeOff(dlg) ? InPlaceFit::NoPlace : InPlaceFit::NotInPlace;
  if (length <= place->size) return InPlaceFit::Fits;
  return IsPointerChangeOff(dlg) ? InPlaceFit::TooLong : InPlaceFit::NotInPlace;
}

std::u16string FieldTooLongText(const DialogRecord& dlg, std::int64_t length) {
  const std::optional<OriginalPlace> place = OriginalPlaceOf(dlg);
  return u"Dialog ID=" + dlg.dlgID + u": перевод (" + DecText(length) + u" байт) длиннее поля (" +
         DecText(place ? place->size : 0) + u" байт), в поле не вставлен";
}

std::u16string FieldWithoutPlaceText(const DialogRecord& dlg) {
  return u"Dialog ID=" + dlg.dlgID + u": место поля не известно (ExtractedFromAddr '" + Trim(dlg.ExtractedFromAddr) +
         u"', OldDlgSize '" + Trim(dlg.OldDlgSize) + u"'), в поле не вставлен";
}

std::optional<std::uint8_t> ParsePadByte(std::u16string_view text) {
  std::u16string t = UCase(Trim(text));
  if (t.starts_with(u"&H") || t.starts_with(u"0X")) t.erase(0, 2);
  if (t.empty() || t.size() > 2) return std::nullopt;
  unsigned v = 0;
  for (char16_t c : t) {
    const int d = HexDigitValue(c);
    if (d < 0) return std::nullopt;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return static_cast<std::uint8_t>(v);
}

Bytes PaddedToOriginal(const InsertOptions& options, Bytes bytes, std::int32_t originalSize) {
  if (originalSize > 0 && bytes.size() < static_cast<std::size_t>(originalSize))
    bytes.resize(static_cast<std::size_t>(originalSize), options.PadByte);
  return bytes;
}

}  // namespace vorkat
