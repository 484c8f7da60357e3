#include <gtest/gtest.h>

#include "app/app.h"
#include "tests/support/scripted_host.h"
#include "script/dialogs_file.h"
#include "script/translation_file.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

class TranslationFile : public ::testing::Test {
 protected:
  TranslationFile() { state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat); }

  void SetDialogs(std::vector<DialogRecord> records) {
    state.dialogs.lastIndex = static_cast<std::int32_t>(records.size()) - 1;
    state.dialogs.records = std::move(records);
    state.dialogs.records.emplace_back();
    state.dialogs.isLoaded = true;
  }
  void Import(const std::string& name) {
    host.fileNames.push_back(dir.File(name));
    ImportTranslationFile(state);
  }
  void Export(const std::string& name, bool correct) {
    host.answers.push_back(MsgAnswer::Yes);
    host.fileNames.push_back(dir.File(name));
    host.answers.push_back(correct ? MsgAnswer::Yes : MsgAnswer::No);
    ExportTranslationFile(state);
  }
  bool Logged(std::u16string_view line) const {
    return std::find(host.logLines.begin(), host.logLines.end(), line) != host.logLines.end();
  }

  TempDir dir;
  ScriptedHost host;
  AppState state{host};
};

TEST_F(TranslationFile, ImportMapsLinesToRecordsAndSkipsEmptyLines) {
  dir.WriteText("t.txt", u"4661 Hello world\r\n\r\n\r\n17 Второй  диалог\r\n\r\nabc x\r\n");
  state.dialogs.fileName = u"kept.txt";
  Import("t.txt");

  const DialogSet& set = state.dialogs;
  ASSERT_EQ(set.lastIndex, 2);
  EXPECT_EQ(set.records.size(), 3u);
  const DialogRecord& r = set.records[0];
  EXPECT_EQ(r.dlgID, u"4661");
  EXPECT_EQ(r.dlgText, u"Hello world");
  EXPECT_EQ(r.ExtractedFromAddr, u"1234");
  EXPECT_EQ(r.OldDlgSize, u"11");
  EXPECT_EQ(r.DoPointerChange, u"N");
  EXPECT_EQ(r.NewDlgAddr, u"");
  EXPECT_EQ(set.records[1].dlgText, u"Второй  диалог");
  EXPECT_EQ(set.records[1].ExtractedFromAddr, u"10");
  EXPECT_EQ(set.records[2].ExtractedFromAddr, u"FFFFFFFF");  // a non-numeric identifier reads 0
  EXPECT_TRUE(set.isLoaded);
  EXPECT_EQ(set.fileName, u"kept.txt");
  EXPECT_TRUE(Logged(u"Загружаем файл перевода " + dir.File("t.txt")));
  EXPECT_TRUE(Logged(u"Импортировали файл перевода " + dir.File("t.txt")));
  EXPECT_TRUE(Logged(u"Загружено 3 диалогов..."));
  EXPECT_EQ(host.prompts.at(0).title, u"Открыть файл перевода");
  EXPECT_EQ(host.prompts.at(0).text, u"TXT files (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
}

TEST_F(TranslationFile, LineWithoutBlankAsksAndOkLeavesSlotEmpty) {
  dir.WriteText("t.txt", u"1 a\r\nnoblank\r\n3 c", true);
  host.answers.push_back(MsgAnswer::Ok);
  Import("t.txt");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Эй!, а это файл перевода или что !\r\nПродолжим ?");
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::OkCancel);
  ASSERT_EQ(state.dialogs.lastIndex, 2);
  EXPECT_EQ(state.dialogs.records[1], DialogRecord{});
  EXPECT_EQ(state.dialogs.records[2].dlgText, u"c");
  EXPECT_TRUE(state.dialogs.isLoaded);
}

TEST_F(TranslationFile, CancelEndsImportWithSetNotLoaded) {
  SetDialogs({DialogRecord{.dlgID = u"old"}});
  dir.WriteText("t.txt", u"1 a\r\nnoblank\r\n3 c");
  host.answers.push_back(MsgAnswer::Cancel);
  Import("t.txt");
  EXPECT_FALSE(state.dialogs.isLoaded);
  EXPECT_EQ(state.dialogs.lastIndex, 1);
  EXPECT_FALSE(Logged(u"Импортировали файл перевода " + dir.File("t.txt")));
}

TEST_F(TranslationFile, UnsavedChangesAreOfferedForSavingFirst) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"edited"}});
  state.dialogs.changed = true;
  dir.WriteText("t.txt", u"2 new");

  // Saving wanted but the save prompt cancelled: the import must not throw the edits away.
  host.answers.push_back(MsgAnswer::Ok);
  host.fileNames.push_back(u"");
  ImportTranslationFile(state);
  EXPECT_EQ(host.messages.at(0).text, u"Будем сохранять изменения в загруженном файле диалогов ?");
  EXPECT_EQ(host.prompts.size(), 1u);  // the save prompt only
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"edited");
  EXPECT_TRUE(state.dialogs.changed);

  // Saved: the import goes on; the changed flag was cleared by the save.
  host.answers.push_back(MsgAnswer::Ok);
  host.fileNames.push_back(dir.File("saved.txt"));
  Import("t.txt");
  EXPECT_NE(dir.ReadText("saved.txt").find(u"edited"), std::u16string::npos);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"new");
  EXPECT_FALSE(state.dialogs.changed);

  // Declined: the import goes on and keeps the flag.
  state.dialogs.changed = true;
  host.answers.push_back(MsgAnswer::Cancel);
  dir.WriteText("t.txt", u"3 newer");
  Import("t.txt");
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"newer");
  EXPECT_TRUE(state.dialogs.changed);
}

TEST_F(TranslationFile, ExportWithAndWithoutOffsetCorrection) {
  SetDialogs(
      {DialogRecord{.dlgID = u"4660", .dlgText = u"Hello"}, DialogRecord{.dlgID = u"x", .dlgText = u"two\r\nlines"}});
  Export("plain.txt", false);
  Export("fixed.txt", true);
  EXPECT_EQ(dir.ReadText("plain.txt"), u"4660 Hello\r\nx twolines\r\n");
  EXPECT_EQ(dir.ReadText("fixed.txt"), u"4661 Hello\r\n1 twolines\r\n");
  EXPECT_TRUE(Logged(u"Внимание! Диалог с ID x содержит пернос строки, недопустимый в Vorkat1"));
  EXPECT_TRUE(Logged(u"Экспортировали диалоги в файл перевода " + dir.File("fixed.txt")));
  EXPECT_EQ(state.dialogs.records[1].dlgText, u"two\r\nlines");  // the set is not changed
  EXPECT_EQ(host.prompts.at(0).title, u"Сохранить диалоги как Файл перевода");
  EXPECT_TRUE(host.prompts.at(0).forSave);
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(TranslationFile, ExportStopsWhenNothingLoadedOrDeclined) {
  ExportTranslationFile(state);
  EXPECT_TRUE(Logged(u"Ничего еще не загружено..."));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Диалоги еще не загружены.");

  SetDialogs({DialogRecord{.dlgID = u"1"}});
  host.answers.push_back(MsgAnswer::No);
  ExportTranslationFile(state);
  EXPECT_EQ(host.messages.size(), 2u);
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(TranslationFile, ExportWriteFailureIsReported) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"a"}});
  state.ctx.writeFaults.failAfterBytes = 1;
  Export("t.txt", false);
  EXPECT_FALSE(dir.Exists("t.txt"));
  ASSERT_FALSE(host.logLines.empty());
  EXPECT_TRUE(StartsWith(host.logLines.back(), u"Ошибка однако... "));
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(TranslationFile, ImportThenExportWithoutCorrectionGivesSameLines) {
  const std::u16string text = u"4661 Hello world\r\n10  leading blank\r\n12 Ёлка \r\n";
  dir.WriteText("in.txt", text);
  Import("in.txt");
  Export("out.txt", false);
  EXPECT_EQ(dir.ReadText("out.txt"), text);
}

TEST_F(TranslationFile, MergeAppendsFilesInSelectionOrderAndAsksWhereToSave) {
  dir.WriteText("a.txt", u"1\r\n\u00B6\r\na\r\n\u00A7\r\n");
  dir.WriteText("b.txt", u"2\r\n\u00B6\r\nb1\r\n\u00A7\r\n3\r\n\u00B6\r\nb2\r\n\u00A7\r\n", true);
  dir.WriteText("c.txt", u"4\r\n\u00B6\r\nc\r\n\u00A7\r\n");
  host.fileLists.push_back({dir.File("c.txt"), dir.File("a.txt"), dir.File("b.txt")});
  host.fileNames.push_back(dir.File("merged.txt"));
  MergeDialogsFiles(state);

  ASSERT_EQ(host.prompts.size(), 2u);
  EXPECT_EQ(host.prompts[0].kind, u"files");
  EXPECT_EQ(host.prompts[0].title, u"Select dialogs files");
  EXPECT_EQ(host.prompts[0].text, u"Dialog files (*.txt)|*.txt\r\nAll files (*.*)|*.*");
  EXPECT_EQ(host.prompts[1].title, u"Save Dialogs file");
  EXPECT_EQ(dir.ReadText("merged.txt"),
            u"4,,,,,,,,,\r\n\u00B6\r\nc\r\n\u00A7\r\n1,,,,,,,,,\r\n\u00B6\r\na\r\n\u00A7\r\n"
            u"2,,,,,,,,,\r\n\u00B6\r\nb1\r\n\u00A7\r\n3,,,,,,,,,\r\n\u00B6\r\nb2\r\n\u00A7\r\n");
  EXPECT_EQ(state.dialogs.lastIndex, 3);
  EXPECT_FALSE(state.dialogs.isLoaded);
  EXPECT_TRUE(Logged(u"Подгружено еще диалогов... теперь их стало 4 штук"));
}

TEST_F(TranslationFile, MergeNeedsSeveralReadableFiles) {
  MergeDialogsFiles(state);  // cancelled
  EXPECT_TRUE(host.logLines.empty());

  host.fileLists.push_back({dir.File("a.txt")});
  MergeDialogsFiles(state);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Нужно выбрать НЕСКОЛЬКО файлов диалогов");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Information);
  EXPECT_TRUE(Logged(u"Нужно выбрать НЕСКОЛЬКО файлов диалогов, операция объединения диалогов не выполнена"));

  dir.WriteText("a.txt", u"1\r\n\u00B6\r\na");
  host.fileLists.push_back({dir.File("a.txt"), dir.File("gone.txt")});
  MergeDialogsFiles(state);
  EXPECT_TRUE(Logged(u"Файл " + dir.File("gone.txt") + u" не прочитан, операция объединения диалогов не выполнена"));
  EXPECT_EQ(host.prompts.size(), 3u);  // no save prompt
  EXPECT_FALSE(state.dialogs.isLoaded);
}

TEST_F(TranslationFile, MergeStoppedByAnUnreadableFileLeavesTheLoadedSetAsItWas) {
  SetDialogs({DialogRecord{.dlgID = u"9", .dlgText = u"edited"}});
  state.dialogs.changed = true;
  state.dialogs.fileName = u"current.txt";
  const DialogSet before = state.dialogs;
  dir.WriteText("a.txt", u"1\r\n\u00B6\r\na\r\n\u00A7\r\n");
  host.fileLists.push_back({dir.File("a.txt"), dir.File("gone.txt")});
  host.answers.push_back(MsgAnswer::Cancel);  // the edits are not saved first
  MergeDialogsFiles(state);

  EXPECT_TRUE(Logged(u"Файл " + dir.File("gone.txt") + u" не прочитан, операция объединения диалогов не выполнена"));
  const DialogSet& set = state.dialogs;
  EXPECT_EQ(set.records, before.records);
  EXPECT_EQ(set.lastIndex, 0);
  EXPECT_EQ(set.fileName, u"current.txt");
  EXPECT_TRUE(set.isLoaded);
  EXPECT_TRUE(set.changed);
}

TEST(TranslationFileLines, RunsOfBreaksCountAsOne) {
  auto lines = TranslationFileLines(u"\r\na\r\n\r\n\r\nb\r\r\n\nc\r\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], u"a");
  EXPECT_EQ(lines[1], u"b\r");
  EXPECT_EQ(lines[2], u"\nc");
  EXPECT_TRUE(TranslationFileLines(u"").empty());
}

}  // namespace
