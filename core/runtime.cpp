#include "core/runtime.h"
#include "core/core_state.h"

namespace vorkat {

namespace {
void FlipYesNo(std::u16string& flag) { flag = flag == u"YES" ? u"NO" : u"YES"; }
}  // namespace

void ToggleExtendedLogs(CoreState& state) { FlipYesNo(state.settings.ExtendedLogs); }
void ToggleWriteTextInUnicode(CoreState& state) { FlipYesNo(state.settings.WriteTextInUnicode); }
void ToggleHexEncodeUnknownChars(CoreState& state) { FlipYesNo(state.HexEncodeUnknownChars); }
void ToggleSkipUnknownTRChars(CoreState& state) { state.SkipUnknownTRChars = !state.SkipUnknownTRChars; }
void ToggleCreateInsertionLogs(CoreState& state) { state.CreateInsertionLogs = !state.CreateInsertionLogs; }
void ToggleEcoMode(CoreState& state) { state.EcoMode = !state.EcoMode; }
void ToggleOptimizeChangesBlocks(CoreState& state) { state.OptimizeChangesBlocks = !state.OptimizeChangesBlocks; }

void YieldPoint(CoreState& state) {
  auto now = std::chrono::steady_clock::now();
  if (now - state.lastYield < state.yieldInterval) return;
  state.lastYield = now;
  if (state.progress.visible) state.host.Progress(state.progress);
  state.host.ProcessEvents();
}

void ShowProgress(CoreState& state, std::int64_t minimum, std::int64_t maximum, std::int64_t value) {
  state.progress = ProgressState{minimum, maximum, value, true};
  state.host.Progress(state.progress);
}

void HideProgress(CoreState& state) {
  state.progress.value = state.progress.maximum;
  state.progress.visible = false;
  state.host.Progress(state.progress);
}

MsgAnswer MsgBox(CoreState& state, std::u16string_view text, MsgButtons buttons, MsgIcon icon,
                 std::u16string_view title) {
  return state.host.MessageBox(text, buttons, icon, title);
}

std::optional<std::u16string> InputBox(CoreState& state, std::u16string_view prompt, std::u16string_view title,
                                       std::u16string_view defaultText) {
  return state.host.InputBox(prompt, title, defaultText);
}

bool RequireRom(CoreState& state) {
  if (state.rom.isLoaded) return true;
  AppendLog(state, u"ROM еще не загружен");
  return false;
}



void ReportOutOfMemory(CoreState& state) {
  if (state.progress.visible) HideProgress(state);
  AppendLog(state, u"Не хватило памяти: команда прервана, загруженные данные остались прежними", kColourBrightRed);
}

}  // namespace vorkat
