// Scan extraction: walks a ROM range code by code and writes every long
// enough run of text codes as one extracted record of a new dialogs file.
#pragma once

#include <cstdint>
#include <string>

namespace vorkat {

struct ScriptState;

// The menu road: asks for the output file ("Save text to file"), then scans.
// start and end are normalised in place: a negative start is 0, an end of 0
// or past the ROM is the ROM size.
void ScanExtract(ScriptState state, std::int32_t& start, std::int32_t& end);

// The same without the prompt, writing into outFile (an empty name does
// nothing). Used by the batch interpreter.
void ScanExtract(ScriptState state, std::int32_t& start, std::int32_t& end, const std::u16string& outFile);

}  // namespace vorkat
