#include "app/recent_files.h"

#include <algorithm>

#include "app/state.h"
#include "codec/table_loader.h"
#include "codec/table_tools.h"
#include "core/file_filters.h"
#include "core/file_io.h"
#include "core/rom.h"
#include "script/dialogs_file.h"

namespace vorkat {

const std::vector<std::u16string>& RecentFiles::List(RecentKind kind) const {
  switch (kind) {
    case RecentKind::Rom: return rom;
    case RecentKind::Table: return table;
    default: return dialogs;
  }
}

bool NoteRecentFile(RecentFiles& recent, RecentKind kind, const std::u16string& name) {
  std::vector<std::u16string>& list = recent.List(kind);
  if (name.empty() || (!list.empty() && list.front() == name)) return false;
  std::erase(list, name);
  list.insert(list.begin(), name);
  if (list.size() > RecentFiles::kKept) list.resize(RecentFiles::kKept);
  return true;
}

bool NoteLoadedFiles(RecentFiles& recent, const AppState& state) {
  bool changed = false;
  if (state.rom.isLoaded) changed |= NoteRecentFile(recent, RecentKind::Rom, state.rom.fileName);
  if (state.table.isLoaded) changed |= NoteRecentFile(recent, RecentKind::Table, state.ctx.settings.TableFileName);
  if (state.dialogs.isLoaded) changed |= NoteRecentFile(recent, RecentKind::Dialogs, state.dialogs.fileName);
  return changed;
}

std::u16string PromptStart(const RecentFiles& recent, const AppState& state, const std::u16string& filters,
                           bool forSave) {
  if (const auto it = recent.lastChosen.find(filters); it != recent.lastChosen.end()) return it->second;
  // The loaded document of that kind, then the folder of the game being worked on.
  if (filters == kRomFilters && state.rom.isLoaded) return state.rom.fileName;
  if (filters == kDialogsFilters && !state.dialogs.fileName.empty()) return state.dialogs.fileName;
  if (!state.rom.isLoaded) return {};
  const std::filesystem::path rom = ToPath(state.rom.fileName);
  // A new file is named after the game, with the extension of the prompt's first pattern ("*.ips").
  const std::vector<FileFilter> parsed = ParseFileFilters(filters);
  if (forSave && !parsed.empty() && !parsed.front().patterns.empty()) {
    const std::u16string& pattern = parsed.front().patterns.front();
    if (pattern.size() > 2 && StartsWith(pattern, u"*.") && pattern.find_first_of(u"*?", 2) == std::u16string::npos)
      return FromPath(rom.parent_path() / rom.stem()) + pattern.substr(1);
  }
  return FromPath(rom.parent_path());
}

void OpenRecentFile(AppState& state, RecentFiles& recent, RecentKind kind, const std::u16string& name) {
  if (!FileExists(name)) {
    AppendLog(state, u"Файл " + name + u" не найден", kColourBrightRed);
    std::erase(recent.List(kind), name);
    return;
  }
  switch (kind) {
    case RecentKind::Rom:
      if (AskToSaveRomChanges(state)) OpenRom(state, name);
      break;
    case RecentKind::Table:
      if (!AskToSaveTableChanges(state)) break;
      state.ctx.settings.TableFileName = name;
      LoadTable(state, true);
      break;
    case RecentKind::Dialogs:
      if (AskToSaveDialogChanges(state)) LoadDialogsFile(state, name);
      break;
  }
  NoteLoadedFiles(recent, state);
}

}  // namespace vorkat
