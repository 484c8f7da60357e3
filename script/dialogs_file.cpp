#include "script/dialogs_file.h"

namespace vorkat {

// Replaced by the dialogs-file reader and writer.
void LoadDialogs(AppState& state, bool) { AppendLog(state, u"Чтение файлов диалогов пока недоступно", kColourDarkRed); }
void AppendDialogs(AppState& state, bool) { AppendLog(state, u"Чтение файлов диалогов пока недоступно", kColourDarkRed); }
void SaveDialogs(AppState& state, bool) { AppendLog(state, u"Запись файлов диалогов пока недоступна", kColourDarkRed); }

}  // namespace vorkat
