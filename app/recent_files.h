// The files the window program opened lately, newest first by kind (ROM,
// table, dialogs), and the last file chosen in each kind of file prompt. The
// window program keeps them in its own settings file, not in vorkat2.ini.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace vorkat {

struct AppState;

enum class RecentKind { Rom, Table, Dialogs };

struct RecentFiles {
  static constexpr std::size_t kKept = 6;
  std::vector<std::u16string> rom, table, dialogs;
  // File prompt filters -> the file last chosen through a prompt with them.
  std::map<std::u16string, std::u16string> lastChosen;

  const std::vector<std::u16string>& List(RecentKind kind) const;
  std::vector<std::u16string>& List(RecentKind kind) {
    return const_cast<std::vector<std::u16string>&>(static_cast<const RecentFiles&>(*this).List(kind));
  }
};

// Puts `name` first in its list (once, at most kKept); false when nothing changed.
bool NoteRecentFile(RecentFiles& recent, RecentKind kind, const std::u16string& name);
// Notes the ROM, table and dialogs loaded now; true when a list changed.
bool NoteLoadedFiles(RecentFiles& recent, const AppState& state);
// Where a file prompt with these filters starts: the file last chosen with
// them (its folder, and its name as the suggestion), else the loaded ROM or
// dialogs file for their prompts, else, to save, the game's name with the
// first pattern's extension in the ROM's folder, else that folder.
std::u16string PromptStart(const RecentFiles& recent, const AppState& state, const std::u16string& filters,
                           bool forSave);
// Opens a recent file as the menu command of its kind does, asking about
// changes not saved first. A file that is gone is logged and left out.
void OpenRecentFile(AppState& state, RecentFiles& recent, RecentKind kind, const std::u16string& name);

}  // namespace vorkat
