#include "script/dialog_undo.h"

#include <algorithm>

namespace vorkat {

DialogUndoStep BeginDialogUndo(const DialogSet& set, std::u16string what) {
  DialogUndoStep step;
  step.what = std::move(what);
  step.changedBefore = set.changed;
  return step;
}

void KeepForUndo(DialogUndoStep& step, const DialogSet& set, std::size_t index) {
  if (index < set.records.size()) step.records.emplace_back(index, set.records[index]);
}

void KeepDifferencesForUndo(DialogUndoStep& step, const std::vector<DialogRecord>& before, const DialogSet& set) {
  const std::size_t common = std::min(before.size(), set.records.size());
  for (std::size_t i = 0; i < common; ++i)
    if (!(before[i] == set.records[i])) step.records.emplace_back(i, before[i]);
}

void CommitDialogUndo(DialogSet& set, DialogUndoStep&& step) {
  if (step.records.empty()) return;
  set.undoSteps.push_back(std::move(step));
  // The oldest steps go first: at most kDialogUndoLevels, and records kept for
  // at most two changes of every dialog, so a big script's undo stays small.
  const std::size_t recordLimit = 2 * set.records.size() + 1000;
  std::size_t kept = 0;
  std::size_t first = set.undoSteps.size();
  while (first > 0 && set.undoSteps.size() - first < kDialogUndoLevels &&
         (first == set.undoSteps.size() || kept + set.undoSteps[first - 1].records.size() <= recordLimit)) {
    --first;
    kept += set.undoSteps[first].records.size();
  }
  set.undoSteps.erase(set.undoSteps.begin(), set.undoSteps.begin() + static_cast<std::ptrdiff_t>(first));
}

bool CanUndoDialogs(const DialogSet& set) { return set.isLoaded && !set.undoSteps.empty(); }

std::optional<std::u16string> UndoDialogChange(DialogSet& set) {
  if (!CanUndoDialogs(set)) return std::nullopt;
  DialogUndoStep step = std::move(set.undoSteps.back());
  set.undoSteps.pop_back();
  // Put back in reverse: a record kept twice ends as it was first.
  for (auto it = step.records.rbegin(); it != step.records.rend(); ++it)
    if (it->first < set.records.size()) set.records[it->first] = std::move(it->second);
  set.changed = step.changedBefore;
  set.MarkReplaced();
  return std::move(step.what);
}

void MarkDialogUndoSaved(DialogSet& set) {
  for (DialogUndoStep& step : set.undoSteps) step.changedBefore = true;
}

}  // namespace vorkat
