#include "core/log.h"

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/core_state.h"

namespace vorkat {

void AppendLog(CoreState& state, std::u16string_view text, std::uint32_t colour) {
  LogWindow& log = state.log;
  const bool first = log.text.empty();
  if (!first) log.text.append(kCrLf);
  if (colour != kColourDefault && !text.empty())
    log.spans.push_back(LogSpan{log.text.size(), text.size(), colour});
  log.text.append(text);
  ++log.lineCount;
  if (colour == kColourBrightRed) ++state.errorLinesLogged;
  state.host.LogAppended(text, colour, first);
  YieldPoint(state);
}

void ClearLog(CoreState& state) {
  state.log = LogWindow{};
  state.host.LogCleared();
}

void SaveLog(CoreState& state, const std::u16string& fileName) {
  if (fileName.empty()) {
    AppendLog(state, u"Не указано имя куда записать лог");
    return;
  }
  std::u16string text = state.log.text + std::u16string(kCrLf);
  Bytes data = EncodeTextFile(text, false);
  IoError err;
  if (!WriteFileAtomic(fileName, data, Backup::None, &err, state.writeFaults)) {
    AppendLog(state, IoErrorText(u"Ошибка - не удалось записать лог в файл ", fileName, err), kColourBrightRed);
    return;
  }
  AppendLog(state, u"Записали лог в файл " + fileName);
}

void WarnIfBareLf(CoreState& state, std::u16string_view text, std::u16string_view fileName) {
  if (HasBareLfOnly(text))
    AppendLog(state,
              u"Внимание! В файле " + std::u16string(fileName) +
                  u" строки разделены LF, а не CR LF: файл будет прочитан как одна строка",
              kColourDarkRed);
}

}  // namespace vorkat
