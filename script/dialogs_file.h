// Reading and writing dialogs files.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_state.h"

namespace vorkat {

inline constexpr std::u16string_view kDialogsFilters = u"Dialogs files (*.txt)|*.txt\r\nAll Files (*.*)|*.*";

// silent: use dialogs.fileName as it is; otherwise ask for the file first.
void LoadDialogs(ScriptState state, bool silent);
// Loads the named file; only a loaded file becomes dialogs.fileName. False
// (reported) when it cannot be read or holds no dialog: the set stays.
bool LoadDialogsFile(ScriptState state, const std::u16string& name);
void AppendDialogs(ScriptState state, bool silent);
enum class SaveOutcome { Saved, NotSaved, Failed };  // NotSaved: nothing loaded or the prompt cancelled
// silent: write to dialogs.fileName; otherwise ask for the file first. In ANSI
// mode a set with characters Windows-1251 lacks is written as UTF-16 instead.
SaveOutcome SaveDialogs(ScriptState state, bool silent);
// Writes to `name` (nothing for an empty one); only a written file becomes
// dialogs.fileName, so a failed save keeps the name the set had.
SaveOutcome SaveDialogsAs(ScriptState state, const std::u16string& name);
// Before the exit or a load of another dialogs file, when the loaded dialogs
// have changes not saved: "Будем сохранять изменения в Диалогах ?" Yes saves
// (a cancelled or failed save gives false), No gives true, Cancel false.
bool AskToSaveDialogChanges(ScriptState state);

// Reads a script file's whole text (FF FE: UTF-16LE; EF BB BF or UTF-8 that
// holds one of the `markers` only in its UTF-8 form: UTF-8, said in the log;
// else Windows-1251); false, with a log line, when the file cannot be read.
bool ReadScriptFileText(ScriptState state, std::u16string_view name, std::u16string& text,
                        TextEncoding* encoding = nullptr, std::span<const std::u16string_view> markers = {});

// AppendDialogs (silent) that also says whether the file could be read.
bool AppendDialogsFromFileName(ScriptState state);

// The names of a TrDialogFileFormat value, split at "," and trimmed; the
// default list when the value is empty.
std::vector<std::u16string> DialogFormatNames(std::u16string_view format);

// The pieces of a file's text between dialog delimiters (views into `text`).
// An empty delimiter leaves the whole text as one piece.
std::vector<std::u16string_view> SplitDialogPieces(std::u16string_view text, std::u16string_view delimiter);

// Parses pieces into a fresh set (one slot per piece, lastIndex at the last
// dialog made) with the delimiters and attribute list of the settings. Logs
// pieces it cannot read, shows progress and yields once per piece.
DialogSet ParseDialogPieces(ScriptState state, const std::vector<std::u16string_view>& pieces);

// The file's text (without byte-order mark) for slots 0..lastIndex.
std::u16string DialogsFileText(const DialogSet& set, const Settings& settings);

}  // namespace vorkat
