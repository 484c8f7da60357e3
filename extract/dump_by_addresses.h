// Dump by address list: decodes the ROM block by block from a list of start
// offsets, in list order, into a dialogs file.
#pragma once

#include <cstdint>
#include <string>

namespace vorkat {

struct ScriptState;

// listFile holds offsets (decimal or "&H" hexadecimal) separated by "," when
// it holds any comma, else by CR LF. blockLength 0: every block runs to the
// next offset of the list (the last one to the end of the ROM).
void DumpByAddressList(ScriptState state, const std::u16string& listFile, const std::u16string& outFile,
                       std::int32_t blockLength);

// Dumps count blocks at start, start + step, ... each blockLength bytes long
// (step bytes when blockLength is 0).
void DumpByAddressSteps(ScriptState state, std::int32_t start, std::int32_t step, std::int32_t count,
                        const std::u16string& outFile, std::int32_t blockLength);

}  // namespace vorkat
