// Dump via a pointer search report: the targets of the pointers found are
// sorted, de-duplicated and every block from one target to the next becomes
// one extracted record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorkat {

struct ScriptState;

// The menu command: asks for the report, the output file, whether to read the
// sorted list from a temporary file, and that temporary file.
void DumpViaPointers(ScriptState state);

// The same without questions. readTempFile is the "Yes" answer: the sorted
// list is read from tempFile (the report must still exist). Otherwise the
// list is built from reportFile and written to tempFile. Used by the batch
// interpreter.
void DumpViaPointers(ScriptState state, const std::u16string& reportFile, const std::u16string& tempFile,
                     const std::u16string& outFile, bool readTempFile);

// Sorts list[low..high] (inclusive) by the rounded leading number of each
// entry; an entry a swap moves to the upper position is rewritten as the
// plain decimal text of its number.
void SortOffsets(ScriptState state, std::vector<std::u16string>& list, std::int32_t low, std::int32_t high);

}  // namespace vorkat
