#include <gtest/gtest.h>

#include "app/app.h"
#include "app/commands.h"
#include "tests/support/scripted_host.h"
#include "script/dialogs_file.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

constexpr std::u16string_view kZonesFormat =
    u"dlgID,ExtractedFromAddr,OldDlgSize,NewDlgSize,DoPointerChange,NewDlgAddr,OldPtrHEX,NewPtrHEX,"
    u"PtrsAddrListFile,PtrsAddrZones,dlgComments,dlgText";

class DialogsFile : public ::testing::Test {
 protected:
  DialogsFile() {
    state.ctx.settings.TrDialogFileFormat = std::u16string(kDefaultDialogFileFormat);
    state.ctx.yieldInterval = std::chrono::milliseconds(0);
  }

  void LoadFile(const std::string& name) {
    state.dialogs.fileName = dir.File(name);
    LoadDialogs(state, true);
  }
  void SaveFile(const std::string& name) {
    state.dialogs.fileName = dir.File(name);
    SaveDialogs(state, true);
  }
  void SetDialogs(std::vector<DialogRecord> records) {
    state.dialogs.lastIndex = static_cast<std::int32_t>(records.size()) - 1;
    state.dialogs.records = std::move(records);
    state.dialogs.records.emplace_back();
    state.dialogs.isLoaded = true;
  }
  bool Logged(std::u16string_view line) const {
    return std::find(host.logLines.begin(), host.logLines.end(), line) != host.logLines.end();
  }
  int CountLogged(std::u16string_view line) const {
    return static_cast<int>(std::count(host.logLines.begin(), host.logLines.end(), line));
  }

  TempDir dir;
  ScriptedHost host;
  AppState state{host};
};

std::vector<DialogRecord> TrickyRecords() {
  std::vector<DialogRecord> v(6);
  v[0] = {u"100", u"64", u"12", u"14", u"Y", u"1F000", u"64000008", u"00F00108", u"ptrs.txt", u"", u"plain", u"Hello"};
  v[1].dlgID = u"101";
  v[1].dlgComments = u",starts with separator";
  v[1].dlgText = u"two\r\nlines";
  v[2].dlgID = u"102";
  v[2].dlgComments = u"ends with separator,";
  v[2].dlgText = u"text holding the attribute delimiter\r\n\u00B6\r\nand more";
  v[3].dlgComments = u"a,b,,c";  // every attribute before the comment empty
  v[3].dlgText = u"<$0A>end";
  v[4].dlgID = u"104";
  v[4].dlgComments = u",";
  v[5].NewDlgSize = u"3";
  v[5].dlgComments = u",,";
  v[5].dlgText = u"Ёжик";
  return v;
}

void ExpectSameDialogs(const DialogSet& set, const std::vector<DialogRecord>& expected) {
  ASSERT_EQ(set.lastIndex + 1, static_cast<std::int32_t>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(set.records[i], expected[i]) << "dialog " << i;
}

class DialogsFileEncodings : public DialogsFile, public ::testing::WithParamInterface<bool> {};

TEST_P(DialogsFileEncodings, SaveThenLoadGivesIdenticalRecords) {
  const bool unicode = GetParam();
  state.ctx.settings.WriteTextInUnicode = unicode ? u"YES" : u"NO";
  state.ctx.settings.TrDialogFileFormat = std::u16string(kZonesFormat);
  auto records = TrickyRecords();
  records[0].PtrsAddrZones = u"1000-2000;3000-3FFF";
  records[2].PtrsAddrZones = u"0-FF";
  if (unicode) records[5].dlgText += u" 日本語のテキスト";
  SetDialogs(records);
  SaveFile("d.txt");

  Bytes bytes = dir.Read("d.txt");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0] == 0xFF && bytes[1] == 0xFE, unicode);

  state.dialogs = DialogSet{};
  LoadFile("d.txt");
  ExpectSameDialogs(state.dialogs, records);
  // The file ends with the delimiter: one empty slot follows the last dialog.
  EXPECT_EQ(state.dialogs.records.size(), records.size() + 1);
  EXPECT_EQ(state.dialogs.records.back(), DialogRecord{});
  EXPECT_TRUE(state.dialogs.isLoaded);
  EXPECT_FALSE(state.dialogs.changed);
}

INSTANTIATE_TEST_SUITE_P(Encodings, DialogsFileEncodings, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Unicode" : "Ansi"; });

TEST_F(DialogsFile, WritesTheDefaultLayoutExactly) {
  DialogRecord r;
  r.dlgID = u"1";
  r.ExtractedFromAddr = u"A";
  r.dlgComments = u"c";
  r.dlgText = u"text";
  SetDialogs({r, DialogRecord{}});
  SaveFile("d.txt");
  EXPECT_EQ(dir.ReadText("d.txt"),
            u"1,A,,,,,,,,c\r\n\u00B6\r\ntext\r\n\u00A7\r\n"
            u",,,,,,,,,\r\n\u00B6\r\n\r\n\u00A7\r\n");
  EXPECT_TRUE(Logged(u"записали диалоги в файл " + dir.File("d.txt")));
}

TEST_F(DialogsFile, NamesAfterTextAreWrittenAfterIt) {
  state.ctx.settings.TrDialogFileFormat = u" dlgID , dlgComments,dlgText, NewDlgAddr";
  DialogRecord r;
  r.dlgID = u"7";
  r.NewDlgAddr = u"FF";
  r.dlgText = u"t";
  SetDialogs({r});
  SaveFile("d.txt");
  EXPECT_EQ(dir.ReadText("d.txt"), u"7,\r\n\u00B6\r\nt,FF\r\n\u00A7\r\n");
}

TEST_F(DialogsFile, LoadsLastDialogWithoutDelimiterAndExtractionRecords) {
  dir.WriteText("d.txt", u"4660,1234\r\n\u00B6\r\nfirst\r\n\u00A7\r\n4661,1235\r\n\u00B6\r\nlast");
  LoadFile("d.txt");
  const DialogSet& set = state.dialogs;
  ASSERT_EQ(set.lastIndex, 1);
  EXPECT_EQ(set.records.size(), 2u);
  EXPECT_EQ(set.records[0].dlgID, u"4660");
  EXPECT_EQ(set.records[0].ExtractedFromAddr, u"1234");
  EXPECT_EQ(set.records[0].OldDlgSize, u"");
  EXPECT_EQ(set.records[1].dlgText, u"last");
  EXPECT_TRUE(Logged(u"Загружаем диалоги из файла " + dir.File("d.txt")));
  EXPECT_TRUE(Logged(u"разложили диалоги по полочкам :-)\r\nоказалось, что их  2 штук"));
}

TEST_F(DialogsFile, PiecesWithoutAttributesAreReportedAndSkipped) {
  // Piece 1 has no attribute delimiter, piece 2 is one character, piece 3 is empty.
  dir.WriteText("d.txt",
                u"1\r\n\u00B6\r\na\r\n\u00A7\r\nno attributes\r\n\u00A7\r\nx\r\n\u00A7\r\n\r\n\u00A7\r\n"
                u"5\r\n\u00B6\r\nb");
  LoadFile("d.txt");
  const DialogSet& set = state.dialogs;
  ASSERT_EQ(set.lastIndex, 1);
  EXPECT_EQ(set.records.size(), 5u);
  EXPECT_EQ(set.records[1].dlgID, u"5");
  EXPECT_TRUE(Logged(u"не найдено атрибутов для диалога 'строка'= 1"));
  EXPECT_EQ(CountLogged(u"не найдено атрибутов для диалога 'строка'= 1"), 1);
  EXPECT_FALSE(Logged(u"не найдено атрибутов для диалога 'строка'= 2"));
  EXPECT_FALSE(Logged(u"не найдено атрибутов для диалога 'строка'= 3"));
}

TEST_F(DialogsFile, UnknownAttributeKeepsItsPlace) {
  state.ctx.settings.TrDialogFileFormat = u"dlgID,Colour,ExtractedFromAddr,dlgComments,dlgText";
  DialogRecord a{.dlgID = u"1", .ExtractedFromAddr = u"10", .dlgComments = u"x", .dlgText = u"A"};
  DialogRecord b{.dlgID = u"2", .ExtractedFromAddr = u"20", .dlgText = u"B"};
  SetDialogs({a, b});
  SaveFile("d.txt");
  EXPECT_EQ(dir.ReadText("d.txt"), u"1,,10,x\r\n\u00B6\r\nA\r\n\u00A7\r\n2,,20,\r\n\u00B6\r\nB\r\n\u00A7\r\n");
  LoadFile("d.txt");
  ExpectSameDialogs(state.dialogs, {a, b});
  EXPECT_EQ(CountLogged(u"в строке описания формата файла диалога, обнаружен не понятный атрибут :Colour"), 2);
}

TEST_F(DialogsFile, ChangedFormatAssignsByPosition) {
  dir.WriteText("d.txt", u"1,A,c\r\n\u00B6\r\nt");
  state.ctx.settings.TrDialogFileFormat = u"ExtractedFromAddr,dlgID,dlgComments,dlgText";
  LoadFile("d.txt");
  EXPECT_EQ(state.dialogs.records[0].ExtractedFromAddr, u"1");
  EXPECT_EQ(state.dialogs.records[0].dlgID, u"A");
  EXPECT_EQ(state.dialogs.records[0].dlgComments, u"c");
}

TEST_F(DialogsFile, CustomDelimitersAreUsedBothWays) {
  state.ctx.settings.DialogDelimiterStr = u"\r\n=====\r\n";
  state.ctx.settings.DialogAttrSeparator = u"|";
  state.ctx.settings.DialogAttrDelimStr = u"\r\n---\r\n";
  auto records = TrickyRecords();
  records[1].dlgComments = u"|a|b|";
  SetDialogs(records);
  SaveFile("d.txt");
  EXPECT_EQ(dir.ReadText("d.txt").substr(0, 9), u"100|64|12");
  state.dialogs = DialogSet{};
  LoadFile("d.txt");
  ExpectSameDialogs(state.dialogs, records);
}

TEST_F(DialogsFile, AppendNumbersAfterLoadedDialogsAndTakesFileName) {
  dir.WriteText("a.txt", u"1\r\n\u00B6\r\na1\r\n\u00A7\r\n2\r\n\u00B6\r\na2\r\n\u00A7\r\n");
  dir.WriteText("b.txt",
                u"3\r\n\u00B6\r\nb1\r\n\u00A7\r\n4\r\n\u00B6\r\nb2\r\n\u00A7\r\n5\r\n\u00B6\r\nb3\r\n\u00A7\r\n", true);
  LoadFile("a.txt");
  state.dialogs.changed = true;
  host.fileNames.push_back(dir.File("b.txt"));
  AppendDialogs(state, false);

  const DialogSet& set = state.dialogs;
  ASSERT_EQ(set.lastIndex, 4);
  EXPECT_EQ(set.records.size(), 6u);  // two dialogs kept, then one slot per piece of b.txt
  EXPECT_EQ(set.records[1].dlgText, u"a2");
  EXPECT_EQ(set.records[2].dlgText, u"b1");
  EXPECT_EQ(set.records[4].dlgID, u"5");
  EXPECT_EQ(set.records[5], DialogRecord{});
  EXPECT_EQ(set.fileName, dir.File("b.txt"));
  EXPECT_FALSE(set.changed);
  EXPECT_TRUE(Logged(u"Подгружаем диалоги из файла " + dir.File("b.txt")));
  EXPECT_TRUE(Logged(u"Подгружено еще диалогов... теперь их стало 5 штук"));
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Open Dialogs file");
  EXPECT_EQ(host.prompts[0].text, u"Dialogs files (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
}

TEST_F(DialogsFile, AppendWithoutLoadedSetStartsEmpty) {
  state.dialogs.records.resize(3);
  state.dialogs.records[0].dlgText = u"stale";
  state.dialogs.lastIndex = 0;
  dir.WriteText("b.txt", u"3\r\n\u00B6\r\nb1");
  state.dialogs.fileName = dir.File("b.txt");
  AppendDialogs(state, true);
  ASSERT_EQ(state.dialogs.lastIndex, 0);
  EXPECT_EQ(state.dialogs.records.size(), 1u);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"b1");
  EXPECT_TRUE(state.dialogs.isLoaded);
}

TEST_F(DialogsFile, SavingTwiceKeepsPreviousVersionInBak) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"first"}});
  SaveFile("d.txt");
  Bytes first = dir.Read("d.txt");
  state.dialogs.records[0].dlgText = u"second";
  state.dialogs.changed = true;
  SaveFile("d.txt");
  EXPECT_EQ(dir.Read("d.txt.bak"), first);
  EXPECT_NE(dir.Read("d.txt"), first);
  EXPECT_FALSE(state.dialogs.changed);
}

TEST_F(DialogsFile, FailedWriteKeepsOldFileAndChangedFlag) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"first"}});
  SaveFile("d.txt");
  Bytes first = dir.Read("d.txt");
  state.dialogs.records[0].dlgText = u"second";
  state.dialogs.changed = true;
  state.ctx.writeFaults.failAfterBytes = 3;
  SaveFile("d.txt");
  EXPECT_EQ(dir.Read("d.txt"), first);
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_EQ(CountLogged(u"записали диалоги в файл " + dir.File("d.txt")), 1);
  ASSERT_FALSE(state.ctx.log.spans.empty());
  EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);
  EXPECT_NE(host.logLines.back().find(u"Не удалось записать диалоги в файл "), std::u16string::npos);
}

TEST_F(DialogsFile, AnsiSaveOfCharactersOutsideAnsiWritesUnicodeAndLosesNothing) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"Привет"}, DialogRecord{.dlgID = u"2", .dlgText = u"日本"},
              DialogRecord{.dlgID = u"3", .dlgComments = u"あ"}});
  state.dialogs.changed = true;
  SaveFile("d.txt");
  EXPECT_FALSE(state.dialogs.changed);
  ASSERT_EQ(state.ctx.log.spans.size(), 1u);
  EXPECT_TRUE(
      Logged(u"В диалогах есть символы, которых нет в кодировке Windows-1251: файл записан в Unicode "
             u"(UTF-16); первый такой диалог - с ID 2"));
  const Bytes written = dir.Read("d.txt");
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written[0], 0xFF);
  EXPECT_EQ(written[1], 0xFE);
  LoadFile("d.txt");
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"Привет");
  EXPECT_EQ(state.dialogs.records[1].dlgText, u"日本");
  EXPECT_EQ(state.dialogs.records[2].dlgComments, u"あ");

  // A set that ANSI holds stays ANSI.
  state.dialogs.records[1].dlgText = u"Ёж";
  state.dialogs.records[2].dlgComments = u"";
  SaveFile("d.txt");
  EXPECT_NE(dir.Read("d.txt")[0], 0xFF);
}

TEST_F(DialogsFile, FailedSaveKeepsTheSetsFileName) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"a"}});
  state.dialogs.fileName = dir.File("mine.txt");
  state.ctx.writeFaults.failAfterBytes = 1;
  EXPECT_EQ(SaveDialogsAs(state, dir.File("other.txt")), SaveOutcome::Failed);
  host.fileNames.push_back(dir.File("asked.txt"));
  EXPECT_EQ(SaveDialogs(state, false), SaveOutcome::Failed);
  EXPECT_EQ(state.dialogs.fileName, dir.File("mine.txt"));

  state.ctx.writeFaults = {};
  EXPECT_EQ(SaveDialogsAs(state, dir.File("other.txt")), SaveOutcome::Saved);
  EXPECT_EQ(state.dialogs.fileName, dir.File("other.txt"));
}

TEST_F(DialogsFile, UnreadableFileLeavesSetAsItWas) {
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"kept"}});
  state.dialogs.fileName = dir.File("current.txt");
  state.dialogs.changed = true;
  host.fileNames.push_back(dir.File("missing.txt"));
  LoadDialogs(state, false);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"kept");
  EXPECT_EQ(state.dialogs.fileName, dir.File("current.txt"));
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_TRUE(Logged(u"Файл " + dir.File("missing.txt") + u" не найден"));
  EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);

  std::filesystem::create_directory(dir.path() / "folder.txt");
  state.dialogs.fileName = dir.File("folder.txt");
  AppendDialogs(state, true);
  EXPECT_EQ(state.dialogs.lastIndex, 0);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"kept");

  // Chosen in the prompt but unreadable: the set keeps its own file name.
  state.dialogs.fileName = dir.File("current.txt");
  host.fileNames.push_back(dir.File("missing.txt"));
  AppendDialogs(state, false);
  EXPECT_EQ(state.dialogs.lastIndex, 0);
  EXPECT_EQ(state.dialogs.fileName, dir.File("current.txt"));
  EXPECT_TRUE(state.dialogs.changed);
}

// An empty file gives an empty set in the window; a file that holds text
// but no dialog (a ROM, a text of other delimiters) is refused, naming the
// delimiters the settings expect, and the loaded dialogs stay.
TEST_F(DialogsFile, EmptyFilesLoadEmptyButTextWithoutDialogsIsRefused) {
  for (const Bytes& content : {Bytes{}, Bytes{0xFF, 0xFE}, Bytes{0xFF, 0xFE, 0x41}}) {
    SetDialogs({DialogRecord{.dlgID = u"1"}});
    dir.Write("t.txt", content);
    LoadFile("t.txt");
    EXPECT_EQ(state.dialogs.lastIndex, -1);
    EXPECT_TRUE(state.dialogs.isLoaded);
  }
  EXPECT_TRUE(Logged(u"разложили диалоги по полочкам :-)\r\nоказалось, что их  0 штук"));
  for (const Bytes& content : {Bytes{'x'}, Bytes(300, 0x1F)}) {
    SetDialogs({DialogRecord{.dlgID = u"1"}});
    state.dialogs.fileName = dir.File("work.txt");
    dir.Write("t.txt", content);
    EXPECT_FALSE(LoadDialogsFile(state, dir.File("t.txt")));
    EXPECT_EQ(state.dialogs.count(), 1u);
    EXPECT_EQ(state.dialogs.records[0].dlgID, u"1");
    EXPECT_EQ(state.dialogs.fileName, dir.File("work.txt"));
    EXPECT_EQ(state.ctx.log.spans.back().colour, kColourBrightRed);
    EXPECT_NE(state.ctx.log.text.find(u"В файле " + dir.File("t.txt") +
                                      u" не найдено ни одного диалога: диалоги в нём должны разделяться строкой "
                                      u"<$VBCRLF>§<$VBCRLF>"),
              std::u16string::npos);
  }
}

TEST_F(DialogsFile, CancelledPromptsAndUnloadedSaveDoNothing) {
  SaveDialogs(state, false);
  EXPECT_TRUE(Logged(u"файл диалогов еще не загружен"));
  EXPECT_TRUE(host.prompts.empty());

  SetDialogs({DialogRecord{.dlgID = u"1"}});
  state.dialogs.fileName = dir.File("current.txt");
  state.dialogs.changed = true;
  const std::size_t logBefore = host.logLines.size();
  SaveDialogs(state, false);
  LoadDialogs(state, false);
  AppendDialogs(state, false);
  EXPECT_EQ(host.logLines.size(), logBefore);
  EXPECT_EQ(state.dialogs.fileName, dir.File("current.txt"));
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_FALSE(dir.Exists("current.txt"));
  ASSERT_EQ(host.prompts.size(), 3u);
  EXPECT_EQ(host.prompts[0].title, u"Save Dialogs file");
  EXPECT_TRUE(host.prompts[0].forSave);
  EXPECT_EQ(host.prompts[1].title, u"Open Dialogs file");
}

TEST_F(DialogsFile, LoadShowsProgressAndYieldsPerPiece) {
  std::u16string text;
  for (int i = 0; i < 50; ++i) text += u"1\r\n\u00B6\r\nx\r\n\u00A7\r\n";
  dir.WriteText("d.txt", text);
  LoadFile("d.txt");
  EXPECT_EQ(state.dialogs.lastIndex, 49);
  ASSERT_FALSE(host.progressCalls.empty());
  EXPECT_EQ(host.progressCalls.front().maximum, 50);  // pieces 0..50, the last one empty
  EXPECT_FALSE(host.progressCalls.back().visible);
  EXPECT_GE(host.processEventsCalls, 51);
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(DialogsFile, BareLfFileIsReportedWhenDelimitersNeedCrLf) {
  dir.WriteText("d.txt", u"1\n\u00B6\nx\n\u00A7\n");
  LoadFile("d.txt");
  EXPECT_EQ(state.dialogs.lastIndex, -1);
  EXPECT_TRUE(Logged(u"не найдено атрибутов для диалога 'строка'= 0"));
  EXPECT_EQ(state.ctx.log.spans.front().colour, kColourDarkRed);
}

TEST_F(DialogsFile, ExitQuestionSavesChangedDialogs) {
  state.ctx.settings.iniPath = dir.File("vorkat2.ini");
  SetDialogs({DialogRecord{.dlgID = u"1", .dlgText = u"edited"}});
  state.dialogs.changed = true;
  host.answers.push_back(MsgAnswer::Yes);
  host.fileNames.push_back(dir.File("out.txt"));
  ExitProgram(state);
  EXPECT_EQ(host.messages.at(0).text, u"Будем сохранять изменения в Диалогах ?");
  EXPECT_EQ(dir.ReadText("out.txt"), u"1,,,,,,,,,\r\n\u00B6\r\nedited\r\n\u00A7\r\n");
  EXPECT_FALSE(state.dialogs.changed);
}

TEST_F(DialogsFile, MenuCommandsAreWired) {
  for (auto name : {"menuOpenDialog", "menuAppendDlgs", "menuSaveDialogsFile", "menuOpenVorkat1Script",
                    "menuSaveVorkat1scriptAs", "menuCombineDlgs"})
    EXPECT_NE(FindCoreCommand(name), nullptr) << name;
  host.fileNames.push_back(dir.File("none.txt"));
  FindCoreCommand("menuOpenDialog")->run(state);
  EXPECT_EQ(host.prompts.at(0).title, u"Open Dialogs file");
}

}  // namespace
