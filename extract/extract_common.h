// Small pieces the extraction operations and the pointer search share.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_text.h"

namespace vorkat {

struct CoreState;
struct ScriptState;
class RecordOutput;
class WarningLimit;

// Writes text as a whole file (UTF-16LE with FF FE when unicode, else
// Windows-1251) in place of any existing file, which is kept as name +
// ".bak"; false with a log line when the file cannot be written.
bool WriteTextOutput(ScriptState state, const std::u16string& name, std::u16string_view text, bool unicode);
// The same for bytes already encoded.
bool WriteBytesOutput(ScriptState state, const std::u16string& name, std::span<const std::uint8_t> bytes);

// Reads a whole text file (FF FE: UTF-16LE, else Windows-1251); false with a
// bright red log line when it cannot be read.
bool ReadTextInput(ScriptState state, const std::u16string& name, std::u16string& text);

// A list of numbers: split at "," when the text holds any comma, else at CR LF.
std::vector<std::u16string> SplitOffsetList(std::u16string_view text);

// The limit of the reports of faulty list entries, for one file.
WarningLimit ListEntryWarnings();

// One entry of an offset or pointer list file, already trimmed: a decimal
// number or "&h" hexadecimal, nothing else, from 0 to below romSize. Anything
// else is reported in dark red with the file name, the line and the entry,
// and gives nothing: a word must not become offset 0.
std::optional<std::int32_t> ReadListedOffset(CoreState state, std::u16string_view entry, std::int64_t romSize,
                                             std::u16string_view fileName, std::size_t line, WarningLimit& faults);

// An offset list (split as SplitOffsetList does), every entry read by
// ReadListedOffset: a blank entry gives nullopt, a faulty one is reported and
// left out.
std::vector<std::optional<std::int32_t>> ReadOffsetList(ScriptState state, std::u16string_view text,
                                                        std::u16string_view fileName);

// Decodes one record per offset of a list, in list order: from the offset to
// blockLength bytes further, or, when blockLength is 0, to the next entry's
// offset (the end of the ROM after the last entry or before a blank one).
// Each record carries its length as OldDlgSize, except one run to the ROM's
// end, and, with `zones` (one text per offset), its PtrsAddrZones.
// Returns false when the user stopped it (already logged).
bool DumpListedBlocks(ScriptState state, const std::vector<std::optional<std::int32_t>>& offsets,
                      std::int32_t blockLength, RecordOutput& out, const std::vector<std::u16string>* zones = nullptr);

}  // namespace vorkat
