// Feeds arbitrary bytes to the XLIFF reader: it must give entries or a
// fault, and what it read must write back as XLIFF that reads again into
// the same entries.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interchange/xliff_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  const InterchangeRead read = ParseXliff(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.fault) return 0;
  const auto written = XliffFileText(read.entries, u"fuzz.txt", {});
  if (!written) __builtin_trap();  // what XML held, XML can hold
  const InterchangeRead again = ParseXliff(*written);
  if (again.fault || again.entries != read.entries) __builtin_trap();
  return 0;
}
