// The script editor's operations on the loaded dialogs: accepting an edit
// and the mass operations of its menus. Each asks its questions through the
// host, reports as the editor always has, and sets the dialogs' changed
// flag when it changed a dialog. Those returning bool say whether a dialog
// changed (the window then refreshes its list and the properties window).
// They walk the dialogs 0..lastIndex: the empty slot after the last dialog
// is not a dialog and is never saved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/host.h"

namespace vorkat {

struct CodecState;
struct ScriptState;
struct InsertState;

// Logs "Диалоги еще не загружены" with a beep and returns false when no dialogs are loaded.
bool EditorRequireDialogs(ScriptState state);
// Shows "Таблица еще не загружена" with the error icon, logs it, returns false without a table.
bool EditorRequireTable(CodecState state);

// The accept button: the text box becomes the dialog's text (undoable).
void AcceptDialogText(ScriptState state, std::int32_t index, std::u16string_view text);

// Edit > Undo: takes back the newest undoable change of the dialogs (a mass
// operation, an accepted edit, an import) and logs it; false when there is none.
bool UndoDialogsChange(ScriptState state);

// Asked before the editor opens another dialog while the text box holds an
// edit not accepted: Yes accepts it, No drops it, Cancel stays.
MsgAnswer AskAboutUnacceptedText(ScriptState state);

bool AppendToEveryDialog(ScriptState state);
bool ReplaceInAllDialogs(ScriptState state);
bool ClearInsertionAddresses(ScriptState state);
bool ClearPointerListFiles(ScriptState state);
bool SetPointerListFileForAll(ScriptState state);
bool InsertionAddrFromExtractionAddr(ScriptState state);
bool CalcOldDialogSizes(ScriptState state);
// The sum of the encoded sizes of all dialogs, shown and logged; -1 when refused.
std::int64_t ShowTotalDialogsSize(ScriptState state);
bool CorrectDialogStarts(ScriptState state);
// Asks for the free space and the alignment, then places the dialogs
// without an insertion address (CalcNewAddresses).
bool RunNewAddresses(InsertState state);

}  // namespace vorkat
