#include "editor/editor_text.h"

namespace vorkat {

std::u16string DialogListLine(std::u16string_view dlgText) {
  std::u16string out;
  out.reserve(dlgText.size());
  for (std::size_t i = 0; i < dlgText.size(); ++i) {
    if (dlgText[i] == u'\r' && i + 1 < dlgText.size() && dlgText[i + 1] == u'\n') {
      ++i;
      continue;
    }
    out.push_back(dlgText[i]);
  }
  return out;
}

std::size_t DialogOffsetFromBox(std::u16string_view dlgText, std::size_t boxOffset) {
  std::size_t i = 0;
  for (std::size_t box = 0; box < boxOffset && i < dlgText.size(); ++box)
    i += (dlgText[i] == u'\r' && i + 1 < dlgText.size() && dlgText[i + 1] == u'\n') ? std::size_t{2} : std::size_t{1};
  return i;
}

std::size_t BoxOffsetFromDialog(std::u16string_view dlgText, std::size_t dialogOffset) {
  std::size_t box = 0;
  std::size_t i = 0;
  while (i < dialogOffset && i < dlgText.size()) {
    const bool pair = dlgText[i] == u'\r' && i + 1 < dlgText.size() && dlgText[i + 1] == u'\n';
    if (pair && i + 1 == dialogOffset) break;
    i += pair ? 2 : 1;
    ++box;
  }
  return box;
}

}  // namespace vorkat
