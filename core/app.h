// Start-up, exit, option toggles, and the helpers long operations use to
// stay responsive (yield, progress, cancel).
#pragma once

#include <string>
#include <string_view>

#include "core/state.h"

namespace vorkat {

// Fills the state as the program entry does: settings path in `currentDir`,
// start-up defaults, settings file, title, About text, help file name.
void StartUp(AppState& state, const std::u16string& currentDir);

// Saves the settings, asks about changed dialogs and marks the program as
// ending (the host ends its loop when it sees exitRequested). When saving
// the dialogs fails and the user chooses to stay, exitRequested stays false.
void ExitProgram(AppState& state);

std::u16string BuildAboutText(std::u16string_view title);

// Option toggles of the main menu.
void ToggleExtendedLogs(AppState& state);
void ToggleWriteTextInUnicode(AppState& state);
void ToggleHexEncodeUnknownChars(AppState& state);
void ToggleSkipUnknownTRChars(AppState& state);
void ToggleCreateInsertionLogs(AppState& state);
void ToggleEcoMode(AppState& state);
void ToggleOptimizeChangesBlocks(AppState& state);

inline bool IsYes(std::u16string_view flag) { return flag == u"YES"; }
inline bool ExtendedLogsOn(const AppState& state) { return IsYes(state.settings.ExtendedLogs); }

// Lets the host process events when ~20 ms passed since the last time.
// Costs one clock read; call it once per item (or every few thousand bytes).
void YieldPoint(AppState& state);

void ShowProgress(AppState& state, std::int64_t minimum, std::int64_t maximum, std::int64_t value = 0);
// Cheap: the host sees the new value at the next yield.
inline void SetProgress(AppState& state, std::int64_t value) { state.progress.value = value; }
// Sets the bar to its maximum and hides it.
void HideProgress(AppState& state);

// Marks a long operation: clears CancelRequested at its start and refuses
// other state-changing commands while it runs.
class LongOperation {
 public:
  explicit LongOperation(AppState& state) : state_(state) {
    state_.CancelRequested = false;
    ++state_.busy;
  }
  ~LongOperation() { --state_.busy; }
  LongOperation(const LongOperation&) = delete;
  LongOperation& operator=(const LongOperation&) = delete;

 private:
  AppState& state_;
};

// Message box and input box shorthands.
MsgAnswer MsgBox(AppState& state, std::u16string_view text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, std::u16string_view title = u"Vorkat");
std::optional<std::u16string> InputBox(AppState& state, std::u16string_view prompt, std::u16string_view title,
                                       std::u16string_view defaultText = {});

// Common precondition checks; each logs its message and returns false.
bool RequireRom(AppState& state);
bool RequireTable(AppState& state);
bool RequireDialogs(AppState& state);

}  // namespace vorkat
