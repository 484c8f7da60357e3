// Pixel helpers the font tools share.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>

#include "fonttools/font_tags.h"

namespace vorkat::ui {

// The rightmost and lowest pixels whose colour differs from the
// transparent colour (0x00BBGGRR); nullopt for a picture without ink.
std::optional<InkExtent> MeasureGlyph(const QImage& picture, std::int32_t transpColour);

}  // namespace vorkat::ui
