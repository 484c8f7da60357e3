#include <gtest/gtest.h>

#include "app/app.h"
#include "codec/table_loader.h"
#include "editor/dialog_props.h"
#include "editor/editor_search.h"
#include "editor/editor_text.h"
#include "editor/mass_edit.h"
#include "script/dialog_undo.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;

namespace {

class EditorOps : public ::testing::Test {
 protected:
  EditorOps() { state.ctx.yieldInterval = std::chrono::milliseconds(0); }

  // The dialogs as loading leaves them: one empty slot after the last.
  void SetTexts(std::initializer_list<std::u16string_view> texts) {
    std::vector<DialogRecord> records;
    for (auto t : texts) {
      records.emplace_back();
      records.back().dlgText = std::u16string(t);
    }
    state.dialogs.lastIndex = static_cast<std::int32_t>(records.size()) - 1;
    state.dialogs.records = std::move(records);
    state.dialogs.records.emplace_back();
    state.dialogs.isLoaded = true;
    state.dialogs.changed = false;
  }
  DialogRecord& Dlg(std::size_t i) { return state.dialogs.records[i]; }
  void LoadTable() { LoadTableText(state, u"41=A\r\n42=B\r\n20= \r\nFF=<$END>\r\nE0=<$8140>", u"t.tbl"); }
  bool Logged(std::u16string_view line) const {
    return std::find(host.logLines.begin(), host.logLines.end(), line) != host.logLines.end();
  }

  ScriptedHost host;
  AppState state{host};
  std::u16string searchFor;
};

TEST_F(EditorOps, ListSearchIgnoresCaseWhileDialogSearchIsExact) {
  SetTexts({u"first", u"say hello\r\nthere", u"HELLO again"});
  host.inputs = {u"HeLLo"};
  EXPECT_EQ(SearchInDialogs(state, searchFor, -1, false), 1);
  EXPECT_EQ(host.prompts.at(0).text, u"Введите строку для поиска\r\nв тексте диалогов видимых в списке");
  EXPECT_EQ(host.prompts.at(0).title, u"Search for string");
  EXPECT_EQ(searchFor, u"HeLLo");
  EXPECT_EQ(SearchInDialogs(state, searchFor, 1, true), 2);
  EXPECT_EQ(SearchInDialogs(state, searchFor, 2, true), -1);
  EXPECT_EQ(host.beeps, 1);

  const std::u16string text = Dlg(1).dlgText;
  EXPECT_FALSE(SearchInDialog(state, searchFor, text, 0, 0, true));
  EXPECT_EQ(host.beeps, 2);
  host.inputs = {u"hello"};
  auto hit = SearchInDialog(state, searchFor, text, 0, 0, false);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->start, 4u);
  EXPECT_EQ(hit->length, 5u);
  EXPECT_EQ(host.prompts.back().text, u"Введите строку для поиска\r\nв тексте ЭТОГО диалога");
  // Cancelling the question keeps the last search text and searches nothing.
  EXPECT_FALSE(SearchInDialog(state, searchFor, text, 0, 0, false));
  EXPECT_EQ(searchFor, u"hello");
  EXPECT_EQ(host.beeps, 2);
}

TEST_F(EditorOps, SearchAgainMovesPastAOneCharacterHit) {
  std::u16string text = u"a-a";
  searchFor = u"a";
  auto first = SearchInDialog(state, searchFor, text, 0, 0, true);
  ASSERT_TRUE(first);
  auto second = SearchInDialog(state, searchFor, text, first->start, first->length, true);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->start, 2u);
  EXPECT_FALSE(SearchInDialog(state, searchFor, text, second->start, second->length, true));
}

TEST_F(EditorOps, ListSearchWithoutDialogsRefusesWithABeep) {
  EXPECT_EQ(SearchInDialogs(state, searchFor, -1, false), -1);
  EXPECT_TRUE(Logged(u"Диалоги еще не загружены"));
  EXPECT_EQ(host.beeps, 1);
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(EditorOps, ReplaceInDialogFromTheCaretOrEverywhere) {
  const std::u16string text = u"cat Cat cat";
  EXPECT_EQ(*ReplaceInDialog(text, 4, {u"cat", u"dog", false, false}), u"cat Cat dog");
  EXPECT_EQ(*ReplaceInDialog(text, 4, {u"cat", u"dog", true, false}), u"cat dog dog");
  EXPECT_EQ(*ReplaceInDialog(text, 4, {u"CAT", u"<$VBCRLF>", true, true}), u"\r\n \r\n \r\n");
  EXPECT_FALSE(ReplaceInDialog(text, 0, {u"", u"x", false, true}));
}

TEST_F(EditorOps, ReplaceInAllIsExactAndStopsOnEmptySearchOrCancel) {
  SetTexts({u"one ONE", u"none", u"two"});
  host.inputs = {u""};
  EXPECT_FALSE(ReplaceInAllDialogs(state));
  host.inputs = {u"one"};  // the second question cancelled
  EXPECT_FALSE(ReplaceInAllDialogs(state));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(state.ctx.log.text.empty());
  EXPECT_EQ(Dlg(0).dlgText, u"one ONE");
  EXPECT_FALSE(state.dialogs.changed);

  host.inputs = {u"one", u"1<$SPACE>"};
  EXPECT_TRUE(ReplaceInAllDialogs(state));
  EXPECT_EQ(Dlg(0).dlgText, u"1  ONE");
  EXPECT_EQ(Dlg(1).dlgText, u"n1 ");
  EXPECT_EQ(Dlg(2).dlgText, u"two");
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_EQ(host.prompts.at(3).title, u"Find what");
  EXPECT_EQ(host.prompts.at(4).title, u"Change to what");
  EXPECT_TRUE(Logged(u"Массовая замена произведена, искали=one меняли на=1 "));
  EXPECT_EQ(host.messages.at(0).text, u"Массовая замена произведена\r\nЗамен: 2, в диалогах: 2")
      << "\"one ONE\" holds one exact hit, \"none\" another";
}

TEST_F(EditorOps, UndoTakesBackTheChangesNewestFirstEachWithItsOwnRecords) {
  SetTexts({u"one", u"two", u"x"});
  for (std::size_t i = 0; i < 3; ++i) Dlg(i).dlgID = DecText(static_cast<long long>(i + 1));
  Dlg(1).NewDlgAddr = u"9000";
  host.inputs = {u"o", u"0"};
  ASSERT_TRUE(ReplaceInAllDialogs(state));
  AcceptDialogText(state, 2, u"y");
  host.answers = {MsgAnswer::Yes};
  ASSERT_TRUE(ClearInsertionAddresses(state));

  EXPECT_TRUE(UndoDialogsChange(state));
  EXPECT_EQ(Dlg(1).NewDlgAddr, u"9000");
  EXPECT_EQ(Dlg(0).dlgText, u"0ne") << "the older changes stay";
  EXPECT_TRUE(Logged(u"Отменено: чистка адресов вставки"));
  EXPECT_TRUE(UndoDialogsChange(state));
  EXPECT_EQ(Dlg(2).dlgText, u"x");
  EXPECT_TRUE(UndoDialogsChange(state));
  EXPECT_EQ(Dlg(0).dlgText, u"one");
  EXPECT_EQ(Dlg(1).dlgText, u"two");
  EXPECT_FALSE(state.dialogs.changed) << "back as loaded";
  EXPECT_FALSE(UndoDialogsChange(state));
  EXPECT_TRUE(Logged(u"Отменять нечего"));

  // Undone after a save, the dialogs differ from their file again.
  vorkat::testing::TempDir dir;
  host.inputs = {u"x", u"z"};
  ASSERT_TRUE(ReplaceInAllDialogs(state));
  ASSERT_EQ(SaveDialogsAs(state, dir.File("d.txt")), SaveOutcome::Saved);
  EXPECT_TRUE(UndoDialogsChange(state));
  EXPECT_EQ(Dlg(2).dlgText, u"x");
  EXPECT_TRUE(state.dialogs.changed);
  // Loading a file starts without undo.
  ASSERT_TRUE(LoadDialogsFile(state, dir.File("d.txt")));
  EXPECT_FALSE(CanUndoDialogs(state.dialogs));
}

TEST_F(EditorOps, AppendingTheLineBreakMarkupAddsCrLfToEveryDialogButNotTheEmptySlot) {
  SetTexts({u"a", u""});
  host.inputs = {u"<$VBCRLF>"};
  EXPECT_TRUE(AppendToEveryDialog(state));
  EXPECT_EQ(Dlg(0).dlgText, u"a\r\n");
  EXPECT_EQ(Dlg(1).dlgText, u"\r\n");
  EXPECT_EQ(Dlg(2).dlgText, u"");
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_EQ(host.messages.at(0).text, u"Закончили подклейку");
  EXPECT_TRUE(Logged(u"Завершен процесс добавления строки\r\n в конец каждого диалога"));
}

TEST_F(EditorOps, StartCorrectionRemovesEveryLeadingCopyAndMovesTheAddress) {
  SetTexts({u"@@Hi", u"Hi@", u"@x"});
  Dlg(0).ExtractedFromAddr = u"1F0";
  Dlg(0).dlgID = u"496";
  Dlg(1).ExtractedFromAddr = u"300";
  host.inputs = {u"@"};
  EXPECT_TRUE(CorrectDialogStarts(state));
  EXPECT_EQ(Dlg(0).dlgText, u"Hi");
  EXPECT_EQ(Dlg(0).ExtractedFromAddr, u"1F2");
  EXPECT_EQ(Dlg(0).dlgID, u"498");
  EXPECT_EQ(Dlg(1).dlgText, u"Hi@");
  EXPECT_EQ(Dlg(1).ExtractedFromAddr, u"300");
  // No extraction address to move: the text is trimmed, the empty fields stay.
  EXPECT_EQ(Dlg(2).dlgText, u"x");
  EXPECT_EQ(Dlg(2).ExtractedFromAddr, u"");
  EXPECT_EQ(Dlg(2).dlgID, u"");
  EXPECT_EQ(host.messages.at(0).text, u"закончили подвижки");
  EXPECT_TRUE(Logged(u"Завершен процесс коррекции начальных адресов диалогов"));
}

TEST_F(EditorOps, AddressAndPointerListOperations) {
  SetTexts({u"a", u"b", u"c"});
  Dlg(0).ExtractedFromAddr = u"100";
  Dlg(1).ExtractedFromAddr = u"200";
  Dlg(1).NewDlgAddr = u"9000";
  EXPECT_TRUE(InsertionAddrFromExtractionAddr(state));
  EXPECT_EQ(Dlg(0).NewDlgAddr, u"100");
  EXPECT_EQ(Dlg(1).NewDlgAddr, u"9000");
  EXPECT_EQ(host.messages.at(0).text, u"done!");

  host.answers = {MsgAnswer::No};
  EXPECT_FALSE(ClearInsertionAddresses(state));
  EXPECT_EQ(Dlg(1).NewDlgAddr, u"9000");
  EXPECT_EQ(host.messages.back().title, u"Думаешь, стоит ?");
  host.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(ClearInsertionAddresses(state));
  EXPECT_EQ(Dlg(0).NewDlgAddr, u"");
  EXPECT_EQ(Dlg(1).NewDlgAddr, u"");
  EXPECT_TRUE(Logged(u"Массовая чистка адресов вставки у диалогов закончена"));

  vorkat::testing::TempDir dir;
  host.fileNames = {dir.File("missing.txt")};
  EXPECT_FALSE(SetPointerListFileForAll(state));
  const std::u16string list = dir.File("ptrs.txt");
  dir.Write("ptrs.txt", Bytes{'1'});
  host.fileNames = {list};
  state.dialogs.changed = false;
  EXPECT_TRUE(SetPointerListFileForAll(state));
  EXPECT_EQ(Dlg(2).PtrsAddrListFile, list);
  EXPECT_EQ(Dlg(3).PtrsAddrListFile, u"");
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_EQ(host.prompts.back().title, kPointerListPromptTitle);
  EXPECT_TRUE(ClearPointerListFiles(state));
  EXPECT_EQ(Dlg(0).PtrsAddrListFile, u"");
}

TEST_F(EditorOps, SizesGoThroughTheEncoderAndNeedATable) {
  SetTexts({u"AB<$END>", u"A\r\nB", u"<$8140><$0D>"});
  EXPECT_FALSE(CalcOldDialogSizes(state));
  EXPECT_EQ(ShowTotalDialogsSize(state), -1);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, u"Таблица еще не загружена");
  EXPECT_EQ(host.messages[0].icon, MsgIcon::Error);

  LoadTable();
  host.messages.clear();
  EXPECT_TRUE(CalcOldDialogSizes(state));
  EXPECT_EQ(Dlg(0).OldDlgSize, u"3");
  EXPECT_EQ(Dlg(1).OldDlgSize, u"2");  // the unmatched line break is dropped
  EXPECT_EQ(Dlg(2).OldDlgSize, u"2");
  EXPECT_EQ(Dlg(3).OldDlgSize, u"");
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_EQ(ShowTotalDialogsSize(state), 7);
  EXPECT_EQ(host.messages.back().text, u"Суммарная длинна диалогов равна 7 байт");
}

TEST_F(EditorOps, NewAddressesAskThreeQuestionsAndACancelChangesNothing) {
  LoadTable();
  SetTexts({u"AB", u"A"});
  Dlg(0).ExtractedFromAddr = u"10";
  Dlg(1).ExtractedFromAddr = u"20";
  state.insertion.FreeSpaceStartAddr = 0x50;
  state.insertion.FreeSpaceEndAddr = 0x60;
  host.inputs = {u"&h100", u"&h200"};  // the alignment question cancelled
  EXPECT_FALSE(RunNewAddresses(state));
  EXPECT_EQ(state.insertion.FreeSpaceStartAddr, 0x50);
  EXPECT_EQ(Dlg(0).NewDlgAddr, u"");
  EXPECT_EQ(host.prompts.at(0).text, u"введите адрес НАЧАЛА свободного места в РОМ");

  host.inputs = {u"&h100", u"&h200", u"4"};
  EXPECT_TRUE(RunNewAddresses(state));
  EXPECT_EQ(Dlg(0).NewDlgAddr, u"100");
  EXPECT_EQ(Dlg(1).NewDlgAddr, u"104");
  EXPECT_EQ(state.insertion.AddressAlignBy, 4);
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_EQ(host.messages.back().text, u"Закончили расчет новых адресов для диалогов");
  EXPECT_TRUE(Logged(u"Завершен процесс расчета новых адресов (для вставки) для диалогов"));
}

TEST_F(EditorOps, DialogPropsUpdateEnablesOnlyWhileAFieldDiffers) {
  SetTexts({u"AB<$END>ABABABAB<$END>"});
  Dlg(0).NewDlgAddr = u"1F000";
  Dlg(0).NewDlgSize = u"5";
  Dlg(0).DoPointerChange = u"y";
  DialogPropsFields fields = *ShowDlg(state, 0);
  EXPECT_FALSE(UpdateCheck(state, 0, fields));
  EXPECT_TRUE(IsPointerChangeYes(fields.DoPointerChange));
  fields.NewDlgAddr = u"1F004";
  EXPECT_TRUE(UpdateCheck(state, 0, fields));
  fields.NewDlgAddr = u"1F000";
  EXPECT_FALSE(UpdateCheck(state, 0, fields));
  fields.dlgID = u"typed";  // shown only
  EXPECT_FALSE(UpdateCheck(state, 0, fields));

  LoadTable();
  fields.NewDlgSize = *RecalcDialogLength(state, 0);
  EXPECT_EQ(fields.NewDlgSize, u"12");
  EXPECT_EQ(Dlg(0).NewDlgSize, u"5");
  EXPECT_TRUE(UpdateCheck(state, 0, fields));

  // No on the close question leaves the dialog as it was.
  host.answers = {MsgAnswer::No};
  EXPECT_FALSE(AskToKeepPendingProps(state, 0, fields));
  EXPECT_EQ(host.messages.back().text, u"Будем сохранять изменения в Диалогах ?");
  EXPECT_EQ(Dlg(0).NewDlgSize, u"5");
  EXPECT_FALSE(state.dialogs.changed);

  const DialogRecord before = Dlg(0);
  fields.PtrsAddrZones = u"100 : 200 ; 300";
  fields.DoPointerChange = PointerChangeText(false);
  auto shown = UpdateDlgProps(state, 0, fields);
  ASSERT_TRUE(shown);
  EXPECT_EQ(Dlg(0).PtrsAddrZones, u"100:200;300");
  EXPECT_EQ(Dlg(0).NewDlgSize, u"12");
  EXPECT_EQ(Dlg(0).DoPointerChange, u"");
  EXPECT_FALSE(UpdateCheck(state, 0, *shown));
  EXPECT_TRUE(state.dialogs.changed);

  // The update is one undo step; fields differing only in the zones' blanks change nothing.
  EXPECT_EQ(state.dialogs.undoSteps.size(), 1u);
  fields.PtrsAddrZones = u"100:200 ;300";
  UpdateDlgProps(state, 0, fields);
  EXPECT_EQ(state.dialogs.undoSteps.size(), 1u);
  EXPECT_TRUE(UndoDialogsChange(state));
  EXPECT_TRUE(Dlg(0) == before);
  EXPECT_FALSE(state.dialogs.changed);

  // Nothing happens for a slot that is no dialog.
  EXPECT_FALSE(ShowDlg(state, 1));
  EXPECT_FALSE(UpdateDlgProps(state, 1, fields));
}

TEST(EditorText, ListLinesDropCrLfPairsAndOffsetsMapBothWays) {
  const std::u16string text = u"ab\r\ncd\ne\r\n";
  EXPECT_EQ(DialogListLine(text), u"abcd\ne");
  // Box form "ab|cd\ne|": the break after "ab" is one character there.
  EXPECT_EQ(DialogOffsetFromBox(text, 3), 4u);
  EXPECT_EQ(DialogOffsetFromBox(text, 6), 7u);
  EXPECT_EQ(DialogOffsetFromBox(text, 99), text.size());
  for (std::size_t box = 0; box <= 8; ++box) EXPECT_EQ(BoxOffsetFromDialog(text, DialogOffsetFromBox(text, box)), box);
  EXPECT_EQ(BoxOffsetFromDialog(text, 3), 2u);  // inside a pair: before it
}

}  // namespace
