#include "script/dialog_undo.h"

#include <gtest/gtest.h>

using namespace vorkat;

namespace {

// One step that changed the first `changed` dialogs.
void Change(DialogSet& set, std::size_t changed) {
  DialogUndoStep step = BeginDialogUndo(set, u"step");
  for (std::size_t i = 0; i < changed; ++i) {
    KeepForUndo(step, set, i);
    set.records[i].dlgText += u"x";
  }
  CommitDialogUndo(set, std::move(step));
}

}  // namespace

// The undo must not grow without end over a big script: few levels, and
// records for at most about two changes of every dialog.
TEST(DialogUndo, OldStepsAreForgottenByCountAndByTheRecordsTheyHold) {
  DialogSet set;
  set.records.resize(600);
  set.lastIndex = 599;
  set.isLoaded = true;
  for (int i = 0; i < 12; ++i) Change(set, 1);
  EXPECT_EQ(set.undoSteps.size(), kDialogUndoLevels);
  for (int i = 0; i < 5; ++i) Change(set, 600);
  EXPECT_EQ(set.undoSteps.size(), 3u);  // 3 x 600 records fit in 2 x 600 + 1000, 4 do not
  Change(set, 0);
  EXPECT_EQ(set.undoSteps.size(), 3u) << "a change of nothing is no step";
  while (UndoDialogChange(set)) {
  }
  EXPECT_EQ(set.records[0].dlgText, std::u16string(14, u'x'));
}
