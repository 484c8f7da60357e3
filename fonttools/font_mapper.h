// The font mapper's procedures: the table lines it lists, the mapping line
// it builds and the hand-over of its list to the FDT when it closes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "font/font_state.h"

namespace vorkat {

// The FDT lines the mapper starts with: all of them when an FDT is loaded
// and has more than one line, else none.
std::vector<std::u16string> FontMapperStartLines(const FontDescriptionTable& fdt);

// The table's text for a list line's code, every CR LF removed.
std::u16string FontMapperCharText(const TranslationTable& table, std::u16string_view item);

// trimmed width + "," + file + "=" + text.
std::u16string FontMapperLine(std::u16string_view width, std::u16string_view charFileName, std::u16string_view text);

// The window's close: with at least two lines the FDT's lines become them
// and the FDT is parsed again. True when it took them.
bool CloseFontMapper(FontState state, const std::vector<std::u16string>& mapview);

}  // namespace vorkat
