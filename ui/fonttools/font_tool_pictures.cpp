#include "ui/fonttools/font_tool_pictures.h"

namespace vorkat::ui {

std::optional<InkExtent> MeasureGlyph(const QImage& picture, std::int32_t transpColour) {
  const auto c = static_cast<std::uint32_t>(transpColour);
  const QRgb transparent =
      qRgb(static_cast<int>(c & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c >> 16 & 0xFF));
  return CalcWdthHeight(picture.width(), picture.height(),
                        [&](int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) != (transparent & 0xFFFFFF); });
}

}  // namespace vorkat::ui
