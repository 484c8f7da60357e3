#include "core/log.h"

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/context.h"

namespace vorkat {

LogMute::LogMute(Context& ctx) : ctx_(ctx) { ++ctx_.logMuted; }
LogMute::~LogMute() { --ctx_.logMuted; }

void AppendLog(Context& ctx, std::u16string_view text, std::uint32_t colour) {
  if (ctx.logMuted > 0) {
    YieldPoint(ctx);
    return;
  }
  LogWindow& log = ctx.log;
  const bool first = log.text.empty();
  if (!first) log.text.append(kCrLf);
  if (colour != kColourDefault && !text.empty()) log.spans.push_back(LogSpan{log.text.size(), text.size(), colour});
  log.text.append(text);
  ++log.lineCount;
  if (colour == kColourBrightRed) {
    ++ctx.errorLinesLogged;
    ctx.lastErrorLine = text;
  }
  ctx.host.LogAppended(text, colour, first);
  YieldPoint(ctx);
}

void AppendRefusal(Context& ctx, std::u16string_view text, std::uint32_t windowColour) {
  AppendLog(ctx, text, ctx.batchDepth > 0 ? kColourBrightRed : windowColour);
}

void ClearLog(Context& ctx) {
  ctx.log = LogWindow{};
  ctx.host.LogCleared();
}

void SaveLog(Context& ctx, const std::u16string& fileName) {
  if (fileName.empty()) {
    AppendLog(ctx, u"Не указано имя куда записать лог");
    return;
  }
  std::u16string text = ctx.log.text + std::u16string(kCrLf);
  Bytes data = EncodeTextFile(text, false);
  IoError err;
  if (!WriteFileAtomic(fileName, data, Backup::RotateBak, &err, ctx.writeFaults)) {
    AppendLog(ctx, IoErrorText(u"Ошибка - не удалось записать лог в файл ", fileName, err), kColourBrightRed);
    return;
  }
  AppendLog(ctx, u"Записали лог в файл " + fileName);
}

void NoteTextEncoding(Context& ctx, std::u16string_view fileName, TextEncoding encoding) {
  if (IsUtf8(encoding))
    AppendLog(ctx, u"Файл " + std::u16string(fileName) + u" прочитан в кодировке UTF-8 и будет записан так же",
              kColourGreen);
}

void WarnIfBareLf(Context& ctx, std::u16string_view text, std::u16string_view fileName) {
  if (HasBareLfOnly(text))
    AppendLog(ctx,
              u"Внимание! В файле " + std::u16string(fileName) +
                  u" строки разделены LF, а не CR LF: файл будет прочитан как одна строка",
              kColourDarkRed);
}

}  // namespace vorkat
