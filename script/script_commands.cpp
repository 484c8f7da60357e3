#include <array>

#include "core/commands.h"
#include "script/dialogs_file.h"
#include "script/translation_file.h"

namespace vorkat {
namespace {

// One row per menu item; keep them in menu order.
constexpr std::array kCommands = {
    Command{"menuOpenDialog", [](AppState& s) { LoadDialogs(s, false); }},
    Command{"menuAppendDlgs", [](AppState& s) { AppendDialogs(s, false); }},
    Command{"menuOpenVorkat1Script", [](AppState& s) { ImportTranslationFile(s); }},
    Command{"menuSaveDialogsFile", [](AppState& s) { SaveDialogs(s, false); }},
    Command{"menuSaveVorkat1scriptAs", [](AppState& s) { ExportTranslationFile(s); }},
    Command{"menuCombineDlgs", [](AppState& s) { MergeDialogsFiles(s); }},
};

}  // namespace

std::span<const Command> ScriptCommands() { return kCommands; }

}  // namespace vorkat
