// CSV files (RFC 4180) for spreadsheet programs: UTF-8 with a byte-order
// mark, a header row and the columns id, address, source, target, comment.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "interchange/interchange_entry.h"

namespace vorkat {

std::string CsvFileText(const std::vector<InterchangeEntry>& entries);

// Reads a CSV file: fields in double quotes may hold separators, doubled
// quotes and line breaks. The header row names the columns (in any order,
// any case; "id" and "target" are needed, others may be missing or more).
// The separator is the first ',', ';' or tab of the header row, so files
// that spreadsheet programs saved with ';' read too. Without a byte-order
// mark, bytes that are not UTF-8 are read as Windows-1251. An empty target
// is untranslated; there is no fuzzy state.
InterchangeRead ParseCsv(std::string_view bytes);

}  // namespace vorkat
