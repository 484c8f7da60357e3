// The shorthands for questions, the program-wide option toggles, and the
// helpers long operations use to stay responsive (yield, progress, cancel).
#pragma once

#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/core_state.h"

namespace vorkat {

// Toggles of the settings every module reads (the main menu's options).
void ToggleExtendedLogs(Context& ctx);
void ToggleWriteTextInUnicode(Context& ctx);
// Flips a "YES"/"NO" option.
void FlipYesNo(std::u16string& flag);

inline bool IsYes(std::u16string_view flag) { return flag == u"YES"; }
inline bool ExtendedLogsOn(const Context& ctx) { return IsYes(ctx.settings.ExtendedLogs); }

// Lets the host process events when ~20 ms passed since the last time.
// Costs one clock read; call it once per item (or every few thousand bytes).
void YieldPoint(Context& ctx);

void ShowProgress(Context& ctx, std::int64_t minimum, std::int64_t maximum, std::int64_t value = 0);
// Cheap: the host sees the new value at the next yield.
inline void SetProgress(Context& ctx, std::int64_t value) { ctx.progress.value = value; }
// Sets the bar to its maximum and hides it.
void HideProgress(Context& ctx);

// Marks a long operation: clears CancelRequested at its start and refuses
// other state-changing commands while it runs.
class LongOperation {
 public:
  explicit LongOperation(Context& ctx) : ctx_(ctx) {
    ctx_.CancelRequested = false;
    ++ctx_.busy;
  }
  ~LongOperation() { --ctx_.busy; }
  LongOperation(const LongOperation&) = delete;
  LongOperation& operator=(const LongOperation&) = delete;

 private:
  Context& ctx_;
};

// Marks the state busy while a command started by a menu runs, so that the
// window refuses other commands also during its yields.
class BusyCommand {
 public:
  explicit BusyCommand(Context& ctx) : ctx_(ctx) { ++ctx_.busy; }
  ~BusyCommand() { --ctx_.busy; }
  BusyCommand(const BusyCommand&) = delete;
  BusyCommand& operator=(const BusyCommand&) = delete;

 private:
  Context& ctx_;
};

// Marks a batch run (Context::batchDepth) while it lives.
class BatchScope {
 public:
  explicit BatchScope(Context& ctx) : ctx_(ctx) { ++ctx_.batchDepth; }
  ~BatchScope() { --ctx_.batchDepth; }
  BatchScope(const BatchScope&) = delete;
  BatchScope& operator=(const BatchScope&) = delete;

 private:
  Context& ctx_;
};

// Logs that a command ran out of memory and hides its progress bar.
void ReportOutOfMemory(Context& ctx);

// Runs one command where a menu item, a window button or a batch line starts
// it: running out of memory inside ends that command only (a bright-red line),
// and the program goes on. Operations read and build before they replace
// what is loaded, so a failed command leaves the loaded data as it was.
// Returns false when the command ran out of memory.
template <class Command>
bool RunGuarded(Context& ctx, Command&& command) {
  try {
    command();
    return true;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  ReportOutOfMemory(ctx);
  return false;
}

// Message box and input box shorthands.
MsgAnswer MsgBox(Context& ctx, std::u16string_view text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, std::u16string_view title = u"Vorkat");
std::optional<std::u16string> InputBox(Context& ctx, std::u16string_view prompt, std::u16string_view title,
                                       std::u16string_view defaultText = {});
// Asks for a number as a person types it (ParseTypedInt). A cancelled or
// empty answer gives none silently; any other text that is no number is
// refused aloud (a bright-red line and a message naming the question) and
// gives none. With `typed`, the answer as it was typed is put there.
std::optional<std::int32_t> AskTypedNumber(Context& ctx, std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText = {}, std::u16string* typed = nullptr);

// Common precondition checks; each logs its message and returns false.
bool RequireRom(CoreState state);

}  // namespace vorkat
