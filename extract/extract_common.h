// Small pieces the extraction operations and the pointer search share.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

struct ScriptState;
class RecordOutput;

// The current date and time as the log shows them, e.g. "05.03.2024 14:07:09".
std::u16string NowText();

// Writes text as a whole file (UTF-16LE with FF FE when unicode, else
// Windows-1251) in place of any existing file, which is kept as name +
// ".bak"; false with a log line when the file cannot be written.
bool WriteTextOutput(ScriptState& state, const std::u16string& name, std::u16string_view text, bool unicode);
// The same for bytes already encoded.
bool WriteBytesOutput(ScriptState& state, const std::u16string& name, std::span<const std::uint8_t> bytes);

// Reads a whole text file (FF FE: UTF-16LE, else Windows-1251); false with a
// bright red log line when it cannot be read.
bool ReadTextInput(ScriptState& state, const std::u16string& name, std::u16string& text);

// A list of numbers: split at "," when the text holds any comma, else at CR LF.
std::vector<std::u16string> SplitOffsetList(std::u16string_view text);

// Decodes one record per non-blank entry of a list of offsets, in list
// order: from the entry's number to blockLength bytes further, or, when
// blockLength is 0, to the next entry's number (0, the end of the ROM, after
// the last entry or before a blank one). Returns false when the user stopped
// it (already logged).
bool DumpListedBlocks(ScriptState& state, const std::vector<std::u16string>& entries, std::int32_t blockLength,
                      RecordOutput& out);

}  // namespace vorkat
