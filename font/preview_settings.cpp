#include "font/preview_settings.h"

#include "core/numbers.h"
#include "core/text.h"

namespace vorkat {

void TakeOverPreviewValues(PreviewSettings& ps, std::u16string_view VivorurePrnXPrnY,
                           std::u16string_view interletterspacing) {
  if (!VivorurePrnXPrnY.empty()) {
    const std::size_t comma = VivorurePrnXPrnY.find(u',');
    if (comma != std::u16string_view::npos) {
      const std::u16string_view rest = VivorurePrnXPrnY.substr(comma + 1);
      ps.DefaultMyX = ReadInt(VivorurePrnXPrnY.substr(0, comma));
      ps.DefaultMyY = ReadInt(rest.substr(0, rest.find(u',')));
    }
  }
  ps.InterLetterStep = ReadInt(interletterspacing);
}

std::u16string PrintPositionText(const PreviewSettings& ps) {
  return DecText(ps.DefaultMyX) + u"," + DecText(ps.DefaultMyY);
}

}  // namespace vorkat
