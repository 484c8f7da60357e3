// The loaded IPS patch: the whole file as read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorkat {

struct IpsPatch {
  std::vector<std::uint8_t> bytes;
  std::u16string fileName;
  bool isLoaded = false;
};

}  // namespace vorkat
