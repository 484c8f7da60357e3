#include "patch/patch_file.h"

#include "core/context.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/rom.h"

namespace vorkat {

PatchFileRead ReadPatchFile(Context& ctx, std::u16string& fileName, const PatchFileKind& kind) {
  PatchFileRead read;
  const std::u16string kindName(kind.name);
  if (!fileName.empty() && FileExists(fileName)) {
    read.name = fileName;
    fileName.clear();
  } else {
    read.name = AskFileName(ctx, false, u"Открыть " + kindName + u" файл", kind.filters);
    if (read.name.empty()) return read;
  }
  IoError err;
  auto bytes = ReadFileBytes(read.name, &err, kind.maxSize);
  if (!bytes) {
    AppendLog(ctx, IoErrorText(u"Не удалось прочитать файл ", read.name, err), kColourBrightRed);
    read.outcome = PatchFileRead::Outcome::Unreadable;
    return read;
  }
  if (!kind.accepts(*bytes)) {
    AppendLog(ctx, u"Это не " + kindName + u", или файл испорчен");
    read.outcome = PatchFileRead::Outcome::NotThisKind;
    return read;
  }
  read.bytes = std::move(*bytes);
  read.outcome = PatchFileRead::Outcome::Read;
  AppendLog(ctx, u"Загрузили " + kindName + u" из файла " + read.name);
  return read;
}

}  // namespace vorkat
