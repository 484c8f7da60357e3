// In-place insertion: a translation that fits where its original stood goes
// back there, and fixed-length fields (texts with no pointer) must fit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"
#include "script/dialog_set.h"

namespace vorkat {

struct InsertOptions;

// DoPointerChange set to no (its first character N or n): a text with no
// pointer, whose place is its field. An empty one is not decided yet.
inline bool IsPointerChangeOff(const DialogRecord& dlg) {
  return !dlg.DoPointerChange.empty() && (dlg.DoPointerChange[0] == u'N' || dlg.DoPointerChange[0] == u'n');
}

// Where a dialog's original stood: ExtractedFromAddr and OldDlgSize (a
// positive number); nullopt when either is missing.
struct OriginalPlace {
  std::int32_t at = 0;
  std::int32_t size = 0;
};
std::optional<OriginalPlace> OriginalPlaceOf(const DialogRecord& dlg);

// What the in-place option makes of one dialog whose translation encodes to
// `length` bytes.
enum class InPlaceFit : std::uint8_t {
  NotInPlace,  // the option is off, or the original's place is not known: as without the option
  Fits,        // goes where the original stood, padded to its length
  TooLong,     // a fixed field whose translation is longer than the field: not written
  NoPlace,     // a fixed field whose original's place is not known: not written (it has no pointer to move)
};
InPlaceFit FitInPlace(const InsertOptions& options, const DialogRecord& dlg, std::int64_t length);

// "Dialog ID=…: перевод (N байт) длиннее поля (M байт)": the report of a
// fixed field that does not fit, shared by the calculation, the insertion
// and the verification.
std::u16string FieldTooLongText(const DialogRecord& dlg, std::int64_t length);
// "Dialog ID=…: место поля не известно …": the report of a fixed field
// without ExtractedFromAddr or OldDlgSize, shared the same way.
std::u16string FieldWithoutPlaceText(const DialogRecord& dlg);

// A pad byte as typed: one or two hexadecimal digits, "&h" or "0x" before
// them allowed; nullopt for anything else.
std::optional<std::uint8_t> ParsePadByte(std::u16string_view text);

// The bytes written in place: the translation, then the pad byte up to the original's length.
Bytes PaddedToOriginal(const InsertOptions& options, Bytes bytes, std::int32_t originalSize);

}  // namespace vorkat
