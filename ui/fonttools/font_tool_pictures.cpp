#include "ui/fonttools/font_tool_pictures.h"

#include "ui/shell/gui_host.h"

namespace vorkat::ui {

std::optional<InkExtent> MeasureGlyph(const QImage& picture, std::int32_t transpColour) {
  const QRgb transparent = FromBgr(static_cast<std::uint32_t>(transpColour)).rgb();
  return CalcWdthHeight(picture.width(), picture.height(),
                        [&](int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) != (transparent & 0xFFFFFF); });
}

}  // namespace vorkat::ui
