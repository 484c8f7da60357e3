// The font description table: how the game's font looks, for the preview.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorkat {

struct FontDescriptionTable {
  std::u16string fileName;
  std::vector<std::u16string> lines;
  bool isLoaded = false;
};

}  // namespace vorkat
