#include "insert/in_place.h"

#include "codec/hex_digits.h"
#include "core/numbers.h"
#include "core/text.h"
#include "insert/address_forms.h"
#include "insert/insert_options.h"

namespace vorkat {

std::optional<OriginalPlace> OriginalPlaceOf(const DialogRecord& dlg) {
  // Only an address written as one: the lenient reading takes "n/a" for 0, the ROM's header.
  const std::optional<std::uint32_t> address = ParseHexNumber(Trim(dlg.ExtractedFromAddr), 8);
  if (!address || *address > 0x7FFFFFFFu) return std::nullopt;
  const auto at = static_cast<std::int32_t>(*address);
  const std::optional<std::int32_t> size = ParseTypedInt(dlg.OldDlgSize);
  if (!size || *size <= 0) return std::nullopt;
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
  const std::optional<std::uint32_t> v = ParseHexNumber(Trim(text), 2);
  if (!v) return std::nullopt;
  return static_cast<std::uint8_t>(*v);
}

Bytes PaddedToOriginal(const InsertOptions& options, Bytes bytes, std::int32_t originalSize) {
  if (originalSize > 0 && bytes.size() < static_cast<std::size_t>(originalSize))
    bytes.resize(static_cast<std::size_t>(originalSize), options.PadByte);
  return bytes;
}

}  // namespace vorkat
