// Log lines handed back as data by procedures that do not write to the log
// themselves; the caller appends them in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/log.h"

namespace vorkat {

struct LogLine {
  std::u16string text;
  std::uint32_t colour = kColourDefault;

  bool operator==(const LogLine&) const = default;
};

}  // namespace vorkat
