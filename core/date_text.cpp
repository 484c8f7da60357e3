#include "core/date_text.h"

#include <ctime>

#include "core/text.h"

namespace vorkat {

std::u16string LocalTimeText(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[64];
  const std::size_t n = std::strftime(buf, sizeof buf, format, &local);
  return U(std::string_view(buf, n));
}

}  // namespace vorkat
