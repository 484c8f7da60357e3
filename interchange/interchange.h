// Exchanging the loaded dialogs with translation tools and platforms: export
// to gettext PO, XLIFF 1.2 or CSV, import translations back by ID.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "interchange/interchange_entry.h"
#include "interchange/text_forms.h"
#include "script/script_state.h"

namespace vorkat {

enum class InterchangeFormat { Po, Xliff, Csv };

struct ExportPlan {
  std::vector<InterchangeEntry> entries;
  std::u16string repeatedId;  // set with `refused`: an ID two dialogs share
  bool refused = false;
  std::vector<std::u16string> withoutSource;  // IDs the source dialogs lack
};

// The entries of the dialogs 0..lastIndex, in order. Without `source` each is
// a template: the dialog's text as the source, no translation. With it, the
// source is the text of the source dialog of the same ID and the translation
// the loaded text, unless that still equals the source (not translated yet);
// a dialog the source lacks is written as a template. IDs must be unique.
ExportPlan PlanExport(const DialogSet& dialogs, const DialogSet* source);

struct CodeChange {
  std::u16string id;
  CodeDifference difference;
};

struct ImportPlan {
  std::vector<std::pair<std::size_t, std::u16string>> changes;  // dialog index, its new text
  std::size_t applied = 0;                                      // entries whose translation is taken
  std::size_t untranslated = 0;
  std::size_t fuzzy = 0;
  std::vector<std::u16string> unknownIds;
  std::vector<CodeChange> codeChanges;  // of the entries taken
  std::size_t entriesWithCodeChanges = 0;
};

// What an import does: each translated entry (not fuzzy, not empty) sets the
// text of every loaded dialog with its ID; its codes are compared with the
// entry's source. Changes only the dialogs whose text differs.
ImportPlan PlanImport(const DialogSet& dialogs, const std::vector<InterchangeEntry>& entries);

// Reads a file of the format; a file that cannot be read is a fault too.
InterchangeRead ReadInterchangeFile(InterchangeFormat format, std::u16string_view fileName);

// Writes the loaded dialogs to `fileName`; `sourceDialogsFile` (may be empty)
// is a dialogs file with the source texts. False when nothing was written.
bool ExportInterchange(ScriptState state, InterchangeFormat format, const std::u16string& fileName,
                       const std::u16string& sourceDialogsFile);
// Reads `fileName` and sets the translated texts, reporting what it skipped;
// a file refused changes nothing. False when refused or nothing is loaded.
bool ImportInterchange(ScriptState state, InterchangeFormat format, const std::u16string& fileName);

// The menu commands: ask for the files, then export or import.
void ExportInterchangeCommand(ScriptState state, InterchangeFormat format);
void ImportInterchangeCommand(ScriptState state, InterchangeFormat format);

}  // namespace vorkat
