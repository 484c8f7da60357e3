// The preview values the script editor holds and the batch can set: where
// printing starts, the spacing, the print options and the wrapper's values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorkat {

struct PreviewSettings {
  std::int32_t DefaultMyX = 0;       // pen position at the start of a print and after a new line (X)
  std::int32_t DefaultMyY = 0;       // and after a clear (Y)
  std::int32_t InterLetterStep = 0;  // pixels added after every glyph

  bool DoClsBeforePrint = true;     // clear the picture before a print
  bool IgnoreClsWhenPrint = false;  // a clear code acts as a new line
  bool WaitForKeyPress = true;      // scroll and more codes pause
  bool IgnoreHex = true;            // an unmapped "<$xx>" is skipped instead of drawn as unknown
  std::int32_t IgnoreHexN = 1;      // further characters skipped after it

  std::u16string gameLFchar;            // the script's in-game line break; the wrapper writes its first character
  std::u16string gameScrollChar;        // the script's in-game new page
  std::int32_t WrapRightLimitPix = 0;   // right border as an X coordinate; 0: not set
  std::int32_t MkPageBrkEveryNLFs = 0;  // lines per game page; 0: not set
};

// Takes over the default position ("X,Y"; a value without a comma keeps the
// position) and the spacing from the settings' texts, as a glyph load does.
void TakeOverPreviewValues(PreviewSettings& ps, std::u16string_view VivorurePrnXPrnY,
                           std::u16string_view interletterspacing);

// Sets the values of a "border,lfchar,pagechar,linesperpage,x,y,spacing"
// list (the batch's wrap settings); empty or missing fields keep their
// values. The two strings may use "<$SPACE>" and "<$VBCRLF>". A number field
// that is no number (as typed numbers are read) changes nothing and is returned.
std::optional<std::u16string> ApplyWrapSettings(PreviewSettings& ps, std::u16string_view list);

// "X,Y" of the default position, as a print writes it back to the settings.
std::u16string PrintPositionText(const PreviewSettings& ps);

}  // namespace vorkat
