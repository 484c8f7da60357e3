// Dialog insertion: each dialog's text is re-encoded, its pointers are
// rewritten and its bytes written at its new address.
#pragma once

#include <cstdint>
#include <string>

namespace vorkat {

struct InsertState;

// Works on the loaded ROM, table and dialogs; asks nothing (the batch
// interpreter calls it too). Keeps the insertion log file when
// CreateInsertionLogs is on.
void InsertDialogs(InsertState state);

// Before an insertion started by hand: true when the ROM's header agrees with
// the pointer format; on a mismatch (a bright-red line) asks whether to
// insert all the same. A batch refuses a mismatch without asking.
bool ConfirmPointerFormat(InsertState state);

// Writes one block at offset (a negative offset becomes 0 in the caller's
// variable). With useTable the text is replaced by its encoding first, one
// Windows-1251 character per byte; without, each character's Windows-1251
// byte is written.
void InsertDataBlock(InsertState state, std::u16string& data, std::int32_t& offset, bool useTable);

// The insertion log name: the dialogs file name cut after the first point
// of its last path part, followed by "log"; empty when there is no name.
std::u16string InsertionLogName(InsertState state);

}  // namespace vorkat
