// Pointer search: every 4 bytes ending in 08 are read as a GBA pointer, and
// those whose target lies in a range are written to a report file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorkat {

struct AppState;

// The menu command: four questions, then FindPointers with the prompt.
void RunPointerSearch(AppState& state);

// Asks for the report file ("Save pointers to file"), then searches.
// highest 0 means the ROM length; scanEnd 0 means to the end of the ROM.
void FindPointers(AppState& state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd);

// The same without the prompt, writing reportFile. Used by the batch interpreter.
void FindPointers(AppState& state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd, const std::u16string& reportFile);

// One report line (without its CR LF) for the pointer at pointerOffset whose
// four bytes are given, e.g.
// "адрес байтов в роме=hex(1A2B), указывают на  1234 (4D2)-->D2,04,00,08".
std::u16string PointerReportLine(std::int32_t pointerOffset, const std::array<std::uint8_t, 4>& bytes);

// The target text of a report line: the text after "), указывают на  " up
// to the next blank (or the line end); nullopt for lines without the marker.
std::optional<std::u16string> PointerReportTarget(std::u16string_view line);

}  // namespace vorkat
