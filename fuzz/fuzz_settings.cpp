// Feeds arbitrary bytes to the settings reader and writer.
#include <cstddef>
#include <cstdint>

#include "core/settings.h"
#include "core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorkat;
  Settings s;
  ApplySettingsText(s, DecodeTextFile(data, size));
  Settings again;
  ApplySettingsText(again, SettingsFileText(s));
  // What was written reads back the same (the delimiters come back upper-cased).
  if (again.NumberOfTextChars != s.NumberOfTextChars || again.ExtendedLogs != s.ExtendedLogs ||
      again.StartExtrFromAddr != s.StartExtrFromAddr)
    __builtin_trap();
  return 0;
}
