// Option toggles, the shorthands for questions, and the helpers long
// operations use to stay responsive (yield, progress, cancel).
#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/core_state.h"

namespace vorkat {

// Option toggles of the main menu.
void ToggleExtendedLogs(CoreState& state);
void ToggleWriteTextInUnicode(CoreState& state);
void ToggleHexEncodeUnknownChars(CoreState& state);
void ToggleSkipUnknownTRChars(CoreState& state);
void ToggleCreateInsertionLogs(CoreState& state);
void ToggleEcoMode(CoreState& state);
void ToggleOptimizeChangesBlocks(CoreState& state);

inline bool IsYes(std::u16string_view flag) { return flag == u"YES"; }
inline bool ExtendedLogsOn(const CoreState& state) { return IsYes(state.settings.ExtendedLogs); }

// Lets the host process events when ~20 ms passed since the last time.
// Costs one clock read; call it once per item (or every few thousand bytes).
void YieldPoint(CoreState& state);

void ShowProgress(CoreState& state, std::int64_t minimum, std::int64_t maximum, std::int64_t value = 0);
// Cheap: the host sees the new value at the next yield.
inline void SetProgress(CoreState& state, std::int64_t value) { state.progress.value = value; }
// Sets the bar to its maximum and hides it.
void HideProgress(CoreState& state);

// Marks a long operation: clears CancelRequested at its start and refuses
// other state-changing commands while it runs.
class LongOperation {
 public:
  explicit LongOperation(CoreState& state) : state_(state) {
    state_.CancelRequested = false;
    ++state_.busy;
  }
  ~LongOperation() { --state_.busy; }
  LongOperation(const LongOperation&) = delete;
  LongOperation& operator=(const LongOperation&) = delete;

 private:
  CoreState& state_;
};

// Marks the state busy while a command started by a menu runs, so that the
// window refuses other commands also during its yields.
class BusyCommand {
 public:
  explicit BusyCommand(CoreState& state) : state_(state) { ++state_.busy; }
  ~BusyCommand() { --state_.busy; }
  BusyCommand(const BusyCommand&) = delete;
  BusyCommand& operator=(const BusyCommand&) = delete;

 private:
  CoreState& state_;
};

// Logs that a command ran out of memory and hides its progress bar.
void ReportOutOfMemory(CoreState& state);

// Runs one command where a menu item, a window button or a batch line starts
// it: running out of memory inside ends that command only (a bright-red line),
// and the program goes on. Operations read and build before they replace
// what is loaded, so a failed command leaves the loaded data as it was.
// Returns false when the command ran out of memory.
template <class Command>
bool RunGuarded(CoreState& state, Command&& command) {
  try {
    command();
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  ReportOutOfMemory(state);
  return false;
}

// Message box and input box shorthands.
MsgAnswer MsgBox(CoreState& state, std::u16string_view text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, std::u16string_view title = u"Vorkat");
std::optional<std::u16string> InputBox(CoreState& state, std::u16string_view prompt, std::u16string_view title,
                                       std::u16string_view defaultText = {});

// Common precondition checks; each logs its message and returns false.
bool RequireRom(CoreState& state);

}  // namespace vorkat
