#include "app/app.h"

#include "app/version.h"
#include "codec/table_tools.h"
#include "core/runtime.h"
#include "script/dialogs_file.h"

namespace vorkat {

std::u16string BuildAboutText(std::u16string_view title) {
  std::u16string credits =
      u"|Рабочее место переводчика игр Game Boy, Game Boy Color и Game Boy Advance.|"
      u"|Вынимает текст из ROM'а по таблице перекодировки, показывает его шрифтом игры,|"
      u"возвращает перевод на новые адреса с правкой указателей и делает IPS патчи.|"
      u"|Спасибо всем переводчикам, кто присылал таблицы, шрифты и замечания.";
  const std::u16string version = u"|Версия " + FromUtf8(ProgramVersion());
  return std::u16string(title) + ReplaceAll(version + credits, u"|", kCrLf);
}

void StartUp(AppState& state, const std::u16string& currentDir, const std::u16string& iniPath) {
  state.insertion.IgnoreRomZones = {RomZone{}};
  state.ctx.settings.iniPath = iniPath.empty() ? currentDir + u"/vorkat2.ini" : iniPath;
  AppendLog(state, u"Файл настроек: " + state.ctx.settings.iniPath);
  state.codecOptions.HexEncodeUnknownChars = u"NO";
  state.insertion.DialogsAutoGapBytes = 1;
  state.codecOptions.SkipUnknownTRChars = true;
  LoadSettings(state.ctx);
  state.ProgramTitle = std::u16string(kProgramTitle);
  state.AboutText = BuildAboutText(state.ProgramTitle);
  if (state.ctx.settings.HelpFileName.empty()) state.ctx.settings.HelpFileName = currentDir + u"/vorkathelp2.txt";
  if (state.ctx.settings.NumberOfTextChars < 2) state.ctx.settings.NumberOfTextChars = 2;
}

void ExitProgram(AppState& state) {
  SaveSettings(state);
  // Each question's Cancel, and a save cancelled or failed, keeps the program running.
  if (!AskToSaveRomChanges(state)) {
    AppendLog(state, u"Выход отменён: изменения в ROM'е не сохранены", kColourDarkRed);
    return;
  }
  if (!AskToSaveDialogChanges(state)) {
    AppendLog(state, u"Выход отменён: диалоги не сохранены", kColourDarkRed);
    return;
  }
  if (!AskToSaveTableChanges(state)) {
    AppendLog(state, u"Выход отменён: таблица не сохранена", kColourDarkRed);
    return;
  }
  state.ctx.exitRequested = true;
}

}  // namespace vorkat
