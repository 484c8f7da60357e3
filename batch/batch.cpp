#include "batch/batch.h"

#include "core/file_io.h"
#include "core/log.h"
#include "core/state.h"

namespace vorkat {

bool RunBatch(AppState& state, const std::u16string& fileName) {
  if (!FileExists(fileName)) {
    AppendLog(state, u"Не найден файл пакетного задания " + fileName, kColourBrightRed);
    return false;
  }
  AppendLog(state, u"Пакетная обработка пока недоступна в этой сборке: " + fileName, kColourDarkRed);
  return true;
}

}  // namespace vorkat
