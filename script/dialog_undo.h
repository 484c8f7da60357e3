// Undo of the changes made to many dialogs at once (the editor's mass
// operations, the wrapper, an import) and of an accepted edit: each keeps the
// records it changes, as they were, in the set's undo steps.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "script/dialog_set.h"

namespace vorkat {

// The undo keeps this many changes (fewer when they hold records for more than
// two changes of every dialog); an older one is forgotten.
inline constexpr std::size_t kDialogUndoLevels = 10;

// Starts a step named `what` for a change of `set` about to be made.
DialogUndoStep BeginDialogUndo(const DialogSet& set, std::u16string what);
// Keeps the record at `index` as it is now; call it before changing the record.
void KeepForUndo(DialogUndoStep& step, const DialogSet& set, std::size_t index);
// For a change made by code that does not say which records it touches:
// keeps the records of `before` (a copy of set.records taken before the
// change) that differ from the set's records now.
void KeepDifferencesForUndo(DialogUndoStep& step, const std::vector<DialogRecord>& before, const DialogSet& set);
// Stores the step as the newest undo level (always kept); a step that kept no record is dropped.
void CommitDialogUndo(DialogSet& set, DialogUndoStep&& step);

bool CanUndoDialogs(const DialogSet& set);
// Puts back the records of the newest step, restores the changed flag it
// found (or sets it when the set was saved since) and marks the set replaced
// so lists refill. Returns the step's name; nothing when there is none.
std::optional<std::u16string> UndoDialogChange(DialogSet& set);
// After a save the file holds the changes: undoing any of them changes the set again.
void MarkDialogUndoSaved(DialogSet& set);

}  // namespace vorkat
