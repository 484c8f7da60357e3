#include "app/commands.h"

#include <array>

#include "app/app.h"
#include "batch/batch.h"
#include "codec/table_loader.h"
#include "codec/table_tools.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "extract/char_widths.h"
#include "extract/dump_via_pointers.h"
#include "font/font_commands.h"
#include "insert/insert_dialogs.h"
#include "insert/pointer_search.h"
#include "patch/bps.h"
#include "insert/verify_insertion.h"
#include "interchange/interchange.h"
#include "patch/ips_apply.h"
#include "patch/ips_writer.h"
#include "patch/rom_compare.h"
#include "script/dialogs_file.h"
#include "script/translation_file.h"

namespace vorkat {
namespace {

// "IPS as" before a comparison: offers to compare the ROM with the original
// (asked for when not loaded). True when the comparison is there to write.
bool OfferComparison(AppState& s) {
  if (s.ips.changes.comparisonDone || !s.rom.isLoaded) return true;  // the writer says what is missing
  if (MsgBox(s, u"Для IPS нужно сначала сравнить ROM с оригиналом. Сравнить сейчас?", MsgButtons::YesNo,
             MsgIcon::Question) != MsgAnswer::Yes)
    return false;
  if (!s.originalRom.isLoaded) OpenOriginalRom(s);
  if (!s.originalRom.isLoaded) return false;
  CompareRoms(s, s.patchOptions.EcoMode, s.patchOptions.OptimizeChangesBlocks);
  return s.ips.changes.comparisonDone;
}

// One row per menu item that runs an operation without a window of its own,
// grouped by menu, in menu order. "menuTableToXml" converts a table file to
// XML, asking for both files.
constexpr std::array kCommands = {
    // ROM images and the log.
    Command{"menuOpenRom",
            [](AppState& s) {
              if (AskToSaveRomChanges(s)) OpenRom(s, u"");
            }},
    Command{"menuOpOrigRom", [](AppState& s) { OpenOriginalRom(s); }},
    Command{"menuSaveRom", [](AppState& s) { SaveRom(s, s.rom.fileName); }},
    Command{"menuSaveROMas", [](AppState& s) { SaveRom(s, u""); }},
    Command{"menuClearLogs", [](AppState& s) { ClearLog(s); }},
    // Tables.
    Command{"menuOpenTable",
            [](AppState& s) {
              if (AskToSaveTableChanges(s)) LoadTable(s, false);
            }},
    Command{"menuSaveTable", [](AppState& s) { SaveTable(s); }},
    Command{"menuTableToXml", [](AppState& s) { ExportTableXmlCommand(s); }},
    Command{"menuMakeTable", [](AppState& s) { GenerateTable(s); }},
    Command{"menuChTrTable", [](AppState& s) { CheckTableReversibility(s); }},
    Command{"menuSetTableType", [](AppState& s) { SetTableType(s); }},
    // Dialogs files.
    Command{"menuOpenDialog",
            [](AppState& s) {
              if (AskToSaveDialogChanges(s)) LoadDialogs(s, false);
            }},
    Command{"menuAppendDlgs", [](AppState& s) { AppendDialogs(s, false); }},
    Command{"menuOpenVorkat1Script", [](AppState& s) { ImportTranslationFile(s); }},
    Command{"menuSaveDialogsFile", [](AppState& s) { SaveDialogs(s, false); }},
    Command{"menuSaveVorkat1scriptAs", [](AppState& s) { ExportTranslationFile(s); }},
    Command{"menuCombineDlgs", [](AppState& s) { MergeDialogsFiles(s); }},
    // Exchange with translation tools.
    Command{"menuExportPO", [](AppState& s) { ExportInterchangeCommand(s, InterchangeFormat::Po); }},
    Command{"menuExportXLIFF", [](AppState& s) { ExportInterchangeCommand(s, InterchangeFormat::Xliff); }},
    Command{"menuExportCSV", [](AppState& s) { ExportInterchangeCommand(s, InterchangeFormat::Csv); }},
    Command{"menuImportPO", [](AppState& s) { ImportInterchangeCommand(s, InterchangeFormat::Po); }},
    Command{"menuImportXLIFF", [](AppState& s) { ImportInterchangeCommand(s, InterchangeFormat::Xliff); }},
    Command{"menuImportCSV", [](AppState& s) { ImportInterchangeCommand(s, InterchangeFormat::Csv); }},
    // Fonts.
    Command{"menuLoadFDT", [](AppState& s) { LoadFontDescription(s); }},
    Command{"menuSaveFDTas", [](AppState& s) { SaveFontDescription(s); }},
    // Extraction.
    Command{"menuFindPointersInROM", [](AppState& s) { RunPointerSearch(s); }},
    Command{"menuCharLenExtractor", [](AppState& s) { RunCharWidthExtractor(s); }},
    Command{"menuViaPointersExtractor", [](AppState& s) { DumpViaPointers(s); }},
    // Insertion.
    Command{"menuReturnDialgs2ROM",
            [](AppState& s) {
              if (ConfirmPointerFormat(s)) InsertDialogs(s);
            }},
    Command{"menuVerifyInsertion", [](AppState& s) { VerifyInsertion(s); }},
    // Patches.
    Command{"menuReadIPS",
            [](AppState& s) {
              std::u16string name;
              LoadIps(s, name);
            }},
    Command{"menuSaveChangesAsIPS",
            [](AppState& s) {
              if (OfferComparison(s)) WriteIps(s);
            }},
    Command{"menuApplyIPStoROM",
            [](AppState& s) {
              std::u16string name;
              if (RequireRom(s) && (s.ips.isLoaded || LoadIps(s, name))) ApplyIps(s);
            }},
    Command{"menuReadBPS",
            [](AppState& s) {
              std::u16string name;
              LoadBps(s, name);
            }},
    Command{"menuSaveChangesAsBPS",
            [](AppState& s) {
              if (s.rom.isLoaded && !s.originalRom.isLoaded) OpenOriginalRom(s);
              WriteBps(s);
            }},
    Command{"menuApplyBPStoROM",
            [](AppState& s) {
              std::u16string name;
              if (RequireRom(s) && (s.bps.isLoaded || LoadBps(s, name))) ApplyBps(s);
            }},
    Command{"menuMakePatch",
            [](AppState& s) { CompareRoms(s, s.patchOptions.EcoMode, s.patchOptions.OptimizeChangesBlocks); }},
    // Batch: a script ending with FIN ends the program.
    Command{"menuRunBatch",
            [](AppState& s) {
              if (RunBatchCommand(s).finRequested) ExitProgram(s);
            }},
};

}  // namespace

const Command* FindCoreCommand(std::string_view objectName) {
  for (const Command& c : kCommands)
    if (c.objectName == objectName) return &c;
  return nullptr;
}

}  // namespace vorkat
