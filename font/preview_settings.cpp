#include "font/preview_settings.h"

#include <vector>

#include "core/numbers.h"
#include "core/settings.h"
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

std::optional<std::u16string> ApplyWrapSettings(PreviewSettings& ps, std::u16string_view list) {
  std::vector<std::u16string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(u',', start);
    fields.push_back(
        list.substr(start, comma == std::u16string_view::npos ? std::u16string_view::npos : comma - start));
    if (comma == std::u16string_view::npos) break;
    start = comma + 1;
  }
  // Every number is read before anything changes.
  for (std::size_t k : {0u, 3u, 4u, 5u, 6u})
    if (k < fields.size() && !TrimBlanks(fields[k]).empty() && !ParseTypedInt(fields[k]))
      return std::u16string(fields[k]);
  const auto number = [&](std::size_t k, std::int32_t& value) {
    if (k < fields.size() && !TrimBlanks(fields[k]).empty()) value = *ParseTypedInt(fields[k]);
  };
  const auto text = [&](std::size_t k, std::u16string& value) {
    if (k < fields.size() && !fields[k].empty()) value = MarkupToTextCopy(fields[k]);
  };
  number(0, ps.WrapRightLimitPix);
  text(1, ps.gameLFchar);
  text(2, ps.gameScrollChar);
  number(3, ps.MkPageBrkEveryNLFs);
  number(4, ps.DefaultMyX);
  number(5, ps.DefaultMyY);
  number(6, ps.InterLetterStep);
  return std::nullopt;
}

std::u16string PrintPositionText(const PreviewSettings& ps) {
  return DecText(ps.DefaultMyX) + u"," + DecText(ps.DefaultMyY);
}

}  // namespace vorkat
