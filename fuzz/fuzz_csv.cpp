// Feeds arbitrary bytes to the CSV reader: it must give entries or a fault,
// and what it read must write back as CSV that reads again into the same
// entries.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interchange/csv_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  const InterchangeRead read = ParseCsv(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.fault) return 0;
  const InterchangeRead again = ParseCsv(CsvFileText(read.entries));
  if (again.fault || again.entries != read.entries) __builtin_trap();
  return 0;
}
