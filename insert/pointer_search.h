// Pointer search: every 4 bytes ending in 08 (or, in a ROM over 16 MiB, 09)
// are read as a GBA pointer, and those whose target lies in a range are
// written to a report file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorkat {

struct InsertState;

// The menu command: four questions, then FindPointers with the prompt.
void RunPointerSearch(InsertState state);

// Asks for the report file ("Save pointers to file"), then searches.
// highest 0 means the ROM length; scanEnd 0 means to the end of the ROM.
void FindPointers(InsertState state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd);

// The same without the prompt, writing reportFile. Used by the batch interpreter.
void FindPointers(InsertState state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd, const std::u16string& reportFile);

}  // namespace vorkat
