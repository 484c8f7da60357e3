// Feeds arbitrary bytes to the PO reader (gettext's own): it must give
// entries or a fault, and what it read must write back as a PO file that
// reads again without a fault into as many entries.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "interchange/po_format.h"

// gettext keeps a few bytes per file read for the whole run (the names it
// has seen); that is the library's, not a leak of the reader.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgettextpo\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  const InterchangeRead read = ParsePo(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.fault) return 0;
  const InterchangeRead again = ParsePo(PoFileText(read.entries, "ru", u"2024-01-01 00:00+0000"));
  if (again.fault || again.entries.size() != read.entries.size()) __builtin_trap();
  return 0;
}
