#include "core/rom.h"

#include "core/runtime.h"
#include "core/file_io.h"
#include "core/core_state.h"

#include <algorithm>

namespace vorkat {

std::u16string AskFileName(Context& ctx, bool forSave, std::u16string_view title, std::u16string_view filters) {
  return ctx.host.AskFileName(forSave, title, filters);
}

bool ReadRomFile(CoreState state, std::u16string_view name, RomBytes& out) {
  IoError err;
  RomBytes fresh;
  bool ok = ReadWholeFile(
      name, kMaxRomFileSize,
      [&](std::size_t n) {
        fresh.resize(n);
        return fresh.data();
      },
      &err);
  if (!ok) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", name, err), kColourBrightRed);
    return false;
  }
  out = std::move(fresh);
  return true;
}

void OpenRom(CoreState state, const std::u16string& name) {
  RomImage& rom = state.rom;
  std::u16string chosen = name;
  if (name.empty() || !FileExists(name)) chosen = AskFileName(state, false, u"Open ROM file", kRomFilters);
  if (chosen.empty()) return;
  // The names follow the bytes: a file that cannot be read leaves the loaded
  // ROM and the name it came from as they were.
  if (!ReadRomFile(state, chosen, rom.bytes)) return;
  rom.fileName = chosen;
  rom.modified = false;
  rom.undoSteps.clear();
  ++rom.generation;
  state.ctx.settings.InputRomFileName = chosen;
  rom.isLoaded = true;
  AppendLog(state, u"Открыли ROM файл:" + rom.fileName);
}

bool SaveRom(CoreState state, const std::u16string& name) {
  RomImage& rom = state.rom;
  const std::u16string fileName = name.empty() ? AskFileName(state, true, u"Save ROM file", kRomFilters) : name;
  if (fileName.empty()) return false;
  if (!rom.isLoaded) {
    AppendRefusal(state, u"ROM еще не загружен");
    return false;
  }
  IoError err;
  if (!WriteFileAtomic(fileName, rom.view(), Backup::RotateBak, &err, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Не удалось записать РОМ в файл ", fileName, err), kColourBrightRed);
    return false;
  }
  // Only a written file becomes the remembered name (and so the settings' one).
  rom.fileName = fileName;
  rom.modified = false;
  state.ctx.settings.InputRomFileName = fileName;
  AppendLog(state, u"сохранили РОМ в файл " + fileName);
  return true;
}

void WriteRomBytesUndoable(CoreState state, std::int32_t offset, std::span<const std::uint8_t> data) {
  RomImage& rom = state.rom;
  if (offset < 0 || offset >= rom.size() || data.empty()) return;
  data = data.first(std::min(data.size(), static_cast<std::size_t>(rom.size() - offset)));
  const auto at = rom.bytes.begin() + offset;
  RomEditStep step{offset, {at, at + static_cast<std::ptrdiff_t>(data.size())}, {data.begin(), data.end()}};
  std::copy(data.begin(), data.end(), at);
  rom.modified = true;
  constexpr std::size_t kLevels = 20;
  if (rom.undoSteps.size() >= kLevels) rom.undoSteps.erase(rom.undoSteps.begin());
  rom.undoSteps.push_back(std::move(step));
}

bool UndoRomEdit(CoreState state) {
  RomImage& rom = state.rom;
  if (!rom.isLoaded || rom.undoSteps.empty()) {
    AppendLog(state, u"Отменять нечего");
    return false;
  }
  RomEditStep step = std::move(rom.undoSteps.back());
  rom.undoSteps.pop_back();
  const auto at = rom.bytes.begin() + step.offset;
  const auto size = static_cast<std::int64_t>(step.after.size());
  if (step.offset + size > rom.size() || !std::equal(step.after.begin(), step.after.end(), at)) {
    // Something else wrote there since: putting the old bytes back would undo that too.
    rom.undoSteps.clear();
    ++rom.generation;
    AppendLog(state, u"Запись по адресу" + NumText(step.offset) + u" не отменена: эти байты с тех пор изменились",
              kColourDarkRed);
    return false;
  }
  // The ROM stays modified: other changes, or a save since, are not known here.
  std::copy(step.before.begin(), step.before.end(), at);
  rom.modified = true;
  AppendLog(state, u"Отменена запись" + NumText(size) + u" байт по адресу" + NumText(step.offset));
  return true;
}

bool AskToSaveRomChanges(CoreState state) {
  if (!state.rom.isLoaded || !state.rom.modified) return true;
  switch (MsgBox(state, u"В ROM'е есть несохранённые изменения. Сохранить их?", MsgButtons::YesNoCancel,
                 MsgIcon::Question)) {
    case MsgAnswer::Yes: return SaveRom(state, state.rom.fileName);
    case MsgAnswer::No: return true;
    default: return false;
  }
}

void OpenOriginalRom(CoreState state, const std::u16string& name) {
  if (!state.rom.isLoaded) {
    AppendLog(state, u"сначала загрузите исправленный rom");
    return;
  }
  OriginalRomImage& orig = state.originalRom;
  orig.fileName = FileExists(name) ? name : AskFileName(state, false, u"Open Original ROM file", kRomFilters);
  if (orig.fileName.empty()) return;
  if (!FileExists(orig.fileName)) {
    AppendLog(state, u"Файл " + orig.fileName + u" не найден", kColourBrightRed);
    return;
  }
  orig.isLoaded = false;
  constexpr std::u16string_view kSizeMismatch =
      u"Размеры файлов не совпадают, просили ведь ОРИГИНАЛ того-же самого ROM'a, извините";
  auto len = FileLength(orig.fileName);
  if (len && *len != static_cast<std::uint64_t>(state.rom.size())) {
    AppendLog(state, kSizeMismatch);
    return;
  }
  RomBytes bytes;
  if (!ReadRomFile(state, orig.fileName, bytes)) return;
  if (bytes.size() != static_cast<std::size_t>(state.rom.size())) {
    AppendLog(state, kSizeMismatch);
    return;
  }
  orig.bytes = std::move(bytes);
  orig.isLoaded = true;
  AppendLog(state, u"Прочитали оригинальный ROM файл:" + orig.fileName);
}

}  // namespace vorkat
