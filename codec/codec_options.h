// The codec's options (menu toggles; not kept in the settings file).
#pragma once

#include <string>

namespace vorkat {

struct CodecOptions {
  // Characters of a translation the table has no code for are left out
  // (true) or kept as they are.
  bool SkipUnknownTRChars = true;
  // "YES": bytes the table has no text for are written as <$hh> escapes.
  std::u16string HexEncodeUnknownChars = u"NO";
};

void ToggleSkipUnknownTRChars(CodecOptions& options);
void ToggleHexEncodeUnknownChars(CodecOptions& options);

}  // namespace vorkat
