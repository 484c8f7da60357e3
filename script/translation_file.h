// The one-line-per-dialog translation files of Vorkat1, and merging several
// dialogs files into one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/script_state.h"

namespace vorkat {

inline constexpr std::u16string_view kTranslationFilters = u"TXT files (*.txt)|*.txt\r\nAll Files (*.*)|*.*";

// Asks for a translation file and replaces the dialogs with its lines.
void ImportTranslationFile(ScriptState state);
// Asks for a file and writes the dialogs as "ID text" lines.
void ExportTranslationFile(ScriptState state);
// Asks for several dialogs files, appends them in selection order and saves
// the result where the user chooses.
void MergeDialogsFiles(ScriptState state);

// The lines of a translation file: runs of line breaks count as one, one
// leading and one final break are dropped, an empty text has no lines.
std::vector<std::u16string_view> TranslationFileLines(std::u16string_view text);

}  // namespace vorkat
