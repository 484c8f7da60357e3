#include "core/app.h"

#include "script/dialogs_file.h"

namespace vorkat {

std::u16string BuildAboutText(std::u16string_view title) {
  std::u16string credits =
      u"|Рабочее место переводчика игр Game Boy, Game Boy Color и Game Boy Advance.|"
      u"|Вынимает текст из ROM'а по таблице перекодировки, показывает его шрифтом игры,|"
      u"возвращает перевод на новые адреса с правкой указателей и делает IPS патчи.|"
      u"|Спасибо всем переводчикам, кто присылал таблицы, шрифты и замечания.";
  return std::u16string(title) + ReplaceAll(credits, u"|", kCrLf);
}

void StartUp(AppState& state, const std::u16string& currentDir) {
  state.insertion.IgnoreRomZones = {RomZone{}};
  state.settings.iniPath = currentDir + u"/vorkat2.ini";
  state.HexEncodeUnknownChars = u"NO";
  state.insertion.DialogsAutoGapBytes = 1;
  state.SkipUnknownTRChars = true;
  LoadSettings(state);
  state.ProgramTitle = std::u16string(kProgramTitle);
  state.AboutText = BuildAboutText(state.ProgramTitle);
  if (state.settings.HelpFileName.empty()) state.settings.HelpFileName = currentDir + u"/vorkathelp2.txt";
  if (state.settings.NumberOfTextChars < 2) state.settings.NumberOfTextChars = 2;
  state.ViewerPlaceholder = u".";
}

void ExitProgram(AppState& state) {
  SaveSettings(state);
  if (state.dialogs.changed &&
      MsgBox(state, u"Будем сохранять изменения в Диалогах ?", MsgButtons::YesNo, MsgIcon::Question) ==
          MsgAnswer::Yes) {
    // A cancelled prompt ends without saving; a failed write would lose the
    // edits, so it asks before ending.
    while (SaveDialogs(state, false) == SaveOutcome::Failed) {
      if (MsgBox(state, u"Диалоги не удалось сохранить. Выйти без сохранения?", MsgButtons::YesNo,
                 MsgIcon::Warning) == MsgAnswer::Yes)
        break;
      AppendLog(state, u"Выход отменён: диалоги не сохранены", kColourDarkRed);
      return;
    }
  }
  state.exitRequested = true;
}

namespace {
void FlipYesNo(std::u16string& flag) { flag = flag == u"YES" ? u"NO" : u"YES"; }
}  // namespace

void ToggleExtendedLogs(AppState& state) { FlipYesNo(state.settings.ExtendedLogs); }
void ToggleWriteTextInUnicode(AppState& state) { FlipYesNo(state.settings.WriteTextInUnicode); }
void ToggleHexEncodeUnknownChars(AppState& state) { FlipYesNo(state.HexEncodeUnknownChars); }
void ToggleSkipUnknownTRChars(AppState& state) { state.SkipUnknownTRChars = !state.SkipUnknownTRChars; }
void ToggleCreateInsertionLogs(AppState& state) { state.CreateInsertionLogs = !state.CreateInsertionLogs; }
void ToggleEcoMode(AppState& state) { state.EcoMode = !state.EcoMode; }
void ToggleOptimizeChangesBlocks(AppState& state) { state.OptimizeChangesBlocks = !state.OptimizeChangesBlocks; }

void YieldPoint(AppState& state) {
  auto now = std::chrono::steady_clock::now();
  if (now - state.lastYield < state.yieldInterval) return;
  state.lastYield = now;
  if (state.progress.visible) state.host.Progress(state.progress);
  state.host.ProcessEvents();
}

void ShowProgress(AppState& state, std::int64_t minimum, std::int64_t maximum, std::int64_t value) {
  state.progress = ProgressState{minimum, maximum, value, true};
  state.host.Progress(state.progress);
}

void HideProgress(AppState& state) {
  state.progress.value = state.progress.maximum;
  state.progress.visible = false;
  state.host.Progress(state.progress);
}

MsgAnswer MsgBox(AppState& state, std::u16string_view text, MsgButtons buttons, MsgIcon icon,
                 std::u16string_view title) {
  return state.host.MessageBox(text, buttons, icon, title);
}

std::optional<std::u16string> InputBox(AppState& state, std::u16string_view prompt, std::u16string_view title,
                                       std::u16string_view defaultText) {
  return state.host.InputBox(prompt, title, defaultText);
}

bool RequireRom(AppState& state) {
  if (state.rom.isLoaded) return true;
  AppendLog(state, u"ROM еще не загружен");
  return false;
}

bool RequireTable(AppState& state) {
  if (state.table.isLoaded) return true;
  AppendLog(state, u"Таблица еще не загружена");
  return false;
}

bool RequireDialogs(AppState& state) {
  if (state.dialogs.isLoaded) return true;
  AppendLog(state, u"Диалоги еще не загружены");
  return false;
}

}  // namespace vorkat
