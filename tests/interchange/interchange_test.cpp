// The script through PO, XLIFF and CSV and back: every format carries the
// same awkward texts unchanged, an import reports exactly what it skipped
// and changes only the dialogs it names, and a malformed file changes nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app.h"
#include "batch/batch.h"
#include "interchange/csv_format.h"
#include "interchange/interchange.h"
#include "script/dialog_undo.h"
#include "interchange/po_format.h"
#include "interchange/xliff_format.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

// gettext keeps a few bytes per file read for the whole run (the names it
// has seen); under the leak checker of the sanitizer run that is not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgettextpo\n"; }

namespace vorkat {
// Readable failures: the fields of an entry as UTF-8.
void PrintTo(const InterchangeEntry& e, std::ostream* os) {
  *os << "{" << ToUtf8(e.id) << " | " << ToUtf8(e.address) << " | " << ToUtf8(e.source) << " | " << ToUtf8(e.target)
      << " | " << ToUtf8(e.comment) << " | " << static_cast<int>(e.state) << "}";
}
}  // namespace vorkat

namespace {

DialogRecord Dialog(std::u16string id, std::u16string text, std::u16string comment = u"") {
  DialogRecord r;
  r.ExtractedFromAddr = HexText(static_cast<unsigned>(std::stoul(ToUtf8(id))));
  r.dlgID = std::move(id);
  r.dlgText = std::move(text);
  r.dlgComments = std::move(comment);
  return r;
}

DialogSet Set(std::vector<DialogRecord> records) {
  DialogSet set;
  set.lastIndex = static_cast<std::int32_t>(records.size()) - 1;
  set.records = std::move(records);
  set.records.emplace_back();
  set.isLoaded = true;
  return set;
}

// The original texts and their translation, matched by ID.
DialogSet Original() {
  return Set({Dialog(u"100", u"Hello, \"friend\"!\r\nHow are you?<$END>"),
              Dialog(u"200", u"Line one\r\n\r\nLine three<$0A><$END>"),
              Dialog(u"300", u"\tTab, comma; semicolon<$END>"), Dialog(u"400", u""), Dialog(u"500", u"Same<$END>"),
              Dialog(u"600", u"ends with a break\r\n"), Dialog(u"700", u"a\\b & <c> \r lone CR")});
}
DialogSet Translated() {
  return Set({Dialog(u"100", u"Привет, \"друг\"!\r\nКак дела?<$END>", u"перевод, проверить\r\nвторая строка"),
              Dialog(u"200", u"こんにちは\r\n\r\n世界<$0A><$END>", u" leading space"),
              Dialog(u"300", u"\tТаб, запятая; точка с запятой<$END>"), Dialog(u"400", u""),
              Dialog(u"500", u"Same<$END>"), Dialog(u"600", u"кончается переводом строки\r\n"),
              Dialog(u"700", u"а\\б & <в> \r одинокий CR")});
}

std::vector<std::u16string> Texts(const DialogSet& set) {
  std::vector<std::u16string> texts;
  for (std::size_t i = 0; i < set.count(); ++i) texts.push_back(set.records[i].dlgText);
  return texts;
}

class Interchange : public ::testing::TestWithParam<InterchangeFormat> {
 protected:
  Interchange() { state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat); }

  // Writes entries in the format under test, as a tool would hand them back.
  std::u16string WriteEntries(const std::vector<InterchangeEntry>& entries) {
    std::string text;
    switch (GetParam()) {
      case InterchangeFormat::Po: text = PoFileText(entries, "ru", u"2024-03-05 14:07+0300"); break;
      case InterchangeFormat::Xliff: text = *XliffFileText(entries, u"d.txt", {}); break;
      case InterchangeFormat::Csv: text = CsvFileText(entries); break;
    }
    return WriteRaw(text);
  }
  std::u16string WriteRaw(const std::string& text) {
    dir.Write("file", Bytes(text.begin(), text.end()));
    return dir.File("file");
  }
  bool LoggedPart(std::u16string_view part) const {
    return std::any_of(host.logLines.begin(), host.logLines.end(),
                       [&](const std::u16string& l) { return l.find(part) != std::u16string::npos; });
  }

  TempDir dir;
  ScriptedHost host;
  AppState state{host};
};

TEST_P(Interchange, ScriptGoesThroughTheFormatAndBackUnchanged) {
  state.dialogs = Original();
  ASSERT_EQ(SaveDialogsAs(state, dir.File("original.txt")), SaveOutcome::Saved);
  state.dialogs = Translated();
  ASSERT_TRUE(ExportInterchange(state, GetParam(), dir.File("out"), dir.File("original.txt")));

  // The reader gives back every field the writer was given.
  const DialogSet original = Original();
  const ExportPlan plan = PlanExport(Translated(), &original);
  const InterchangeRead read = ReadInterchangeFile(GetParam(), dir.File("out"));
  ASSERT_FALSE(read.fault) << ToUtf8(read.fault->text);
  EXPECT_EQ(read.entries, plan.entries);

  // Imported into the original, the translation comes back exactly.
  state.dialogs = Original();
  ASSERT_TRUE(ImportInterchange(state, GetParam(), dir.File("out")));
  EXPECT_EQ(Texts(state.dialogs), Texts(Translated()));
  EXPECT_TRUE(state.dialogs.changed);
}

TEST_P(Interchange, ImportReportsWhatItSkippedAndChangesOnlyTheRightDialogs) {
  const bool hasFuzzy = GetParam() != InterchangeFormat::Csv;
  auto entry = [](std::u16string id, std::u16string source, std::u16string target, EntryState st) {
    return InterchangeEntry{std::move(id), u"", std::move(source), std::move(target), u"", st};
  };
  const std::u16string file = WriteEntries({
      entry(u"100", u"Hi<$END>", u"Привет<$END>", EntryState::Translated),
      entry(u"200", u"Bye<$END>", u"Пока<$0A>", EntryState::Translated),  // <$END> lost, <$0A> added
      entry(u"300", u"Yes<$END>", u"", EntryState::Untranslated),
      entry(u"400", u"No<$END>", hasFuzzy ? u"Нет<$END>" : u"",
            hasFuzzy ? EntryState::Fuzzy : EntryState::Untranslated),
      entry(u"999", u"Extra<$END>", u"Лишний<$END>", EntryState::Translated),
  });
  state.dialogs = Set({Dialog(u"100", u"Hi<$END>"), Dialog(u"200", u"Bye<$END>"), Dialog(u"300", u"Yes<$END>"),
                       Dialog(u"400", u"No<$END>"), Dialog(u"500", u"Not in the file<$END>")});

  const ImportPlan plan = PlanImport(state.dialogs, ReadInterchangeFile(GetParam(), file).entries);
  EXPECT_EQ(plan.applied, 2u);
  EXPECT_EQ(plan.untranslated, hasFuzzy ? 1u : 2u);
  EXPECT_EQ(plan.fuzzy, hasFuzzy ? 1u : 0u);
  EXPECT_EQ(plan.unknownIds, std::vector<std::u16string>{u"999"});
  ASSERT_EQ(plan.codeChanges.size(), 2u);
  EXPECT_EQ(plan.entriesWithCodeChanges, 1u);
  EXPECT_EQ(plan.codeChanges[0].id, u"200");
  EXPECT_EQ(plan.codeChanges[0].difference.code, u"<$END>");
  EXPECT_TRUE(plan.codeChanges[0].difference.lost);
  EXPECT_EQ(plan.codeChanges[1].difference.code, u"<$0A>");
  EXPECT_FALSE(plan.codeChanges[1].difference.lost);

  ASSERT_TRUE(ImportInterchange(state, GetParam(), file));
  EXPECT_EQ(Texts(state.dialogs), (std::vector<std::u16string>{u"Привет<$END>", u"Пока<$0A>", u"Yes<$END>", u"No<$END>",
                                                               u"Not in the file<$END>"}));
  EXPECT_TRUE(LoggedPart(u"ID 999 нет среди загруженных диалогов"));
  EXPECT_TRUE(LoggedPart(u"ID 200: в переводе потерян код <$END>"));
  EXPECT_TRUE(LoggedPart(u"ID 200: в переводе лишний код <$0A>"));
  EXPECT_TRUE(state.dialogs.changed);

  // The import is one undo step: every dialog it set is back, the rest untouched.
  ASSERT_TRUE(UndoDialogChange(state.dialogs));
  EXPECT_EQ(Texts(state.dialogs), (std::vector<std::u16string>{u"Hi<$END>", u"Bye<$END>", u"Yes<$END>", u"No<$END>",
                                                               u"Not in the file<$END>"}));
}

TEST_P(Interchange, MalformedFileIsRefusedNamingTheLineAndChangesNothing) {
  std::string bad;
  std::u16string line;
  switch (GetParam()) {
    case InterchangeFormat::Po:
      bad = "msgctxt \"100\"\nmsgid \"Hi\"\nmsgstr \"Привет\"\n\nmsgctxt \"200\"\nmsgid \"unterminated\nmsgstr \"x\"\n";
      line = u"(строка 7)";  // gettext names the line where the broken string ends, as msgfmt does
      break;
    case InterchangeFormat::Xliff:
      bad =
          "<xliff version=\"1.2\"><file><body>\n<trans-unit id=\"100\"><source>Hi</source>"
          "<target>Привет</target></trans-unit>\n<trans-unit id=\"200\"><source>a</target>\n</body></file></xliff>";
      line = u"(строка 3)";
      break;
    case InterchangeFormat::Csv:
      bad = "id,target\r\n100,Привет\r\n200,\"unterminated\r\n300,x\r\n";
      line = u"(строка 3)";
      break;
  }
  state.dialogs = Set({Dialog(u"100", u"Hi"), Dialog(u"200", u"a")});
  EXPECT_FALSE(ImportInterchange(state, GetParam(), WriteRaw(bad)));
  EXPECT_EQ(Texts(state.dialogs), (std::vector<std::u16string>{u"Hi", u"a"}));
  EXPECT_FALSE(state.dialogs.changed);
  EXPECT_TRUE(LoggedPart(line)) << ToUtf8(host.logLines.back());
}

INSTANTIATE_TEST_SUITE_P(Formats, Interchange,
                         ::testing::Values(InterchangeFormat::Po, InterchangeFormat::Xliff, InterchangeFormat::Csv),
                         [](const auto& info) {
                           return std::string(info.param == InterchangeFormat::Po      ? "Po"
                                              : info.param == InterchangeFormat::Xliff ? "Xliff"
                                                                                       : "Csv");
                         });

TEST(InterchangeExport, RepeatedIdRefusesTheExport) {
  const ExportPlan plan = PlanExport(Set({Dialog(u"1", u"a"), Dialog(u"2", u"b"), Dialog(u"1", u"c")}), nullptr);
  EXPECT_TRUE(plan.refused);
  EXPECT_EQ(plan.repeatedId, u"1");
}

TEST(InterchangeCsv, SpreadsheetSavesWithSemicolonsAndWindows1251Read) {
  // A Russian spreadsheet program saves "CSV" with ';' in the ANSI code page
  // and may move the columns.
  const std::string file = "target;ID;comment\r\n\xcf\xf0\xe8\xe2\xe5\xf2;100;\"a;b\"\r\n";
  const InterchangeRead read = ParseCsv(file);
  ASSERT_FALSE(read.fault);
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].id, u"100");
  EXPECT_EQ(read.entries[0].target, u"Привет");
  EXPECT_EQ(read.entries[0].comment, u"a;b");
}

TEST(InterchangeXliff, CodesAToolRewroteComeBackFromTheSource) {
  // Tools may answer a <ph> with an empty <x/> of the same id and wrap text in <mrk>.
  const std::string file =
      "<?xml version=\"1.0\"?><xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><file><body>"
      "<trans-unit id=\"7\"><source>Hi<ph id=\"1\">&lt;$END&gt;</ph></source>"
      "<target state=\"final\"><mrk mtype=\"seg\">Привет</mrk><x id=\"1\"/></target></trans-unit>"
      "<group><trans-unit id=\"8&amp;9\"><source>a</source><target state=\"needs-review-translation\">б</target>"
      "<note>one</note><note>two</note><alt-trans><target>not this</target></alt-trans>"
      "</trans-unit></group></body></file></xliff>";
  const InterchangeRead read = ParseXliff(file);
  ASSERT_FALSE(read.fault);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[0].target, u"Привет<$END>");
  EXPECT_EQ(read.entries[0].state, EntryState::Translated);
  EXPECT_EQ(read.entries[1].id, u"8&9");
  EXPECT_EQ(read.entries[1].target, u"б");
  EXPECT_EQ(read.entries[1].comment, u"one\r\ntwo");
  EXPECT_EQ(read.entries[1].state, EntryState::Fuzzy);
}

TEST(InterchangePo, WindowsLineEndsReadAndOtherCharsetsAreRefused) {
  const std::string header = "msgid \"\"\r\nmsgstr \"\"\r\n\"Content-Type: text/plain; charset=";
  const std::string entry = "\\n\"\r\n\r\nmsgctxt \"1\"\r\nmsgid \"a\"\r\nmsgstr \"\xd0\xb1\"\r\n";
  const InterchangeRead utf8 = ParsePo(header + "utf-8" + entry);
  ASSERT_FALSE(utf8.fault) << ToUtf8(utf8.fault->text);
  ASSERT_EQ(utf8.entries.size(), 1u);
  EXPECT_EQ(utf8.entries[0].target, u"б");
  const InterchangeRead koi8 = ParsePo(header + "KOI8-R" + entry);
  ASSERT_TRUE(koi8.fault);
  EXPECT_EQ(koi8.fault->line, 3u);
}

TEST(InterchangeBatch, RefusedImportStopsTheScriptBeforeAnythingIsSaved) {
  TempDir dir;
  ScriptedHost host;
  AppState state(host);
  state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat);
  state.dialogs = Set({Dialog(u"1", u"a")});
  SaveDialogsAs(state, dir.File("d.txt"));
  dir.Write("bad.csv", Bytes{'i', 'd', ',', 't', 'a', 'r', 'g', 'e', 't', '\n', '1', ',', '"', 'x'});
  dir.WriteText("run.txt", u"LOADDIALOGS=" + dir.File("d.txt") + u"\r\nIMPORTCSV=" + dir.File("bad.csv") +
                               u"\r\nSAVEDIALOGS=" + dir.File("out.txt") + u"\r\n");
  EXPECT_TRUE(RunBatch(state, dir.File("run.txt")).stopped);
  EXPECT_FALSE(dir.Exists("out.txt"));
}

}  // namespace
