// Table tools: save, XML export, reversibility check, generation from a
// template. Each menu form asks its inputs; the batch forms take arguments.
#pragma once

#include <string>
#include <string_view>

namespace vorkat {

struct CodecState;
struct TranslationTable;

// Menu "Table" under Save: asks the name (default TableFileName), which
// becomes TableFileName, then SaveTableAs. True when written.
bool SaveTable(CodecState state);
// Before the exit or a load of another table, when the loaded table has edits
// not saved: "Будем сохранять изменения в Таблице ?" Yes saves (a cancelled
// or failed save gives false), No gives true, Cancel false.
bool AskToSaveTableChanges(CodecState state);
// Batch SAVETABLE=file: writes the loaded table to `fileName` (an existing
// file becomes file + ".bak"). True when written; only then does
// TableFileName become the name.
bool SaveTableAs(CodecState state, const std::u16string& fileName);
// The saved file's text: type line, end code, entries, postprocessor pairs.
std::u16string TableFileText(TranslationTable& table);
// Writes a table in the saved file's layout (an existing file becomes
// file + ".bak"): Windows-1251, or UTF-16 when a character is missing from
// it. False, with the log line, when the file could not be written.
bool WriteTableFile(CodecState state, const std::u16string& fileName, TranslationTable& table);

// Converts a table file (not the loaded table) to XML, keeping a replaced
// output as name + ".bak". Empty output name: logged, nothing written.
void ExportTableXml(CodecState state, const std::u16string& inputFile, const std::u16string& outputFile);
// The main window's form: asks "Load OLD Table file" and "Save XML Table file".
void ExportTableXmlCommand(CodecState state);

// Menu "Проверить таблицу на обратимость" and batch CHECKTABLE: reports the
// first entry that the encoder cannot produce back, or that all passed.
void CheckTableReversibility(CodecState state);

// Menu "Make Table": asks template file, output file and first code.
void GenerateTable(CodecState state);
// Batch GENERATETABLE=template,outfile,firstcode (firstcode as ReadNumber reads it).
void GenerateTableFrom(CodecState state, const std::u16string& templateFile, const std::u16string& outputFile,
                       std::u16string_view firstCode);

}  // namespace vorkat
