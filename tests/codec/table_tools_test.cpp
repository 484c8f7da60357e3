#include "codec/table_tools.h"

#include <gtest/gtest.h>

#include "codec/encoder.h"
#include "codec/table_edit.h"
#include "codec_test_support.h"
#include "app/commands.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct TableTools : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;
};

struct SaveCase {
  std::u16string_view type;
  std::u16string_view expected;
};

}  // namespace

TEST_F(TableTools, SavedTablesReadBackTheSameForEveryType) {
  for (SaveCase c : {SaveCase{u"SBCS", u"TRTABLETYPE=SBCS\r\n/FF\r\n0A=<$VBCRLF>\r\n20=<$SPACE>\r\n41=A=B\r\n0123=x"},
                     SaveCase{u"SBCS2",
                              u"TRTABLETYPE=SBCS2\r\n/00FF\r\n000A=<$VBCRLF>\r\n0020=<$SPACE>\r\n"
                              u"0041=A=B\r\n0123=x"},
                     SaveCase{u"DBCS",
                              u"TRTABLETYPE=DBCS\r\n/00FF\r\n000A=<$VBCRLF>\r\n0020=<$SPACE>\r\n"
                              u"0041=A=B\r\n0123=x"}}) {
    ScriptedHost h;
    AppState s(h);
    LoadLines(s, {u"TrTableType=" + std::u16string(c.type), u"/FF", u"a comment", u"41=A=B", u"20=<$SPACE>",
                  u"0A=<$VBCRLF>", u"0123=x", u"<$POSTPROCESSOR>a b,<$VBCRLF>c"});
    std::u16string text = TableFileText(s.table);
    std::u16string pair = u"\r\n<$POSTPROCESSOR>a b,<$VBCRLF>c";
    EXPECT_EQ(text, std::u16string(c.expected) + pair);

    std::u16string file = dir.File(ToUtf8(c.type) + ".tbl");
    SaveTableAs(s, file);
    EXPECT_EQ(LogLines(s).back(), u"Сохранили таблицу в файле " + file);
    ScriptedHost h2;
    AppState back(h2);
    back.ctx.settings.TableFileName = file;
    LoadTable(back, true);
    EXPECT_EQ(back.table.type, c.type);
    EXPECT_EQ(back.table.entries, s.table.entries);
    EXPECT_EQ(back.table.endCode, 0xFF);
    EXPECT_EQ(back.table.postprocessorPairs, s.table.postprocessorPairs);
  }
}

TEST_F(TableTools, SaveAsksForTheNameAndKeepsOneBackup) {
  LoadLines(state, {u"41=A"});
  std::u16string file = dir.File("game.tbl");
  dir.WriteText("game.tbl", u"first");
  dir.WriteText("game.tbl.bak", u"older");
  state.ctx.settings.TableFileName = u"default.tbl";
  host.inputs.push_back(file);
  SaveTable(state);
  EXPECT_EQ(host.prompts.back().title, u"Save Table as...");
  EXPECT_EQ(host.prompts.back().text, u"Введите имя файла для сохранения таблицы перекодировки");
  EXPECT_EQ(state.ctx.settings.TableFileName, file);
  EXPECT_EQ(dir.ReadText("game.tbl"), u"TRTABLETYPE=SBCS\r\n41=A");
  EXPECT_EQ(dir.ReadText("game.tbl.bak"), u"first");

  std::size_t lines = state.ctx.log.lineCount;
  SaveTable(state);  // cancelled
  host.inputs.push_back(u"");
  SaveTable(state);
  EXPECT_EQ(state.ctx.log.lineCount, lines);
  EXPECT_EQ(state.ctx.settings.TableFileName, file);
}

TEST_F(TableTools, EditsNotSavedAreAskedAboutBeforeAnotherTableLoads) {
  dir.WriteText("other.tbl", u"42=B");
  LoadLines(state, {u"41=A"});
  SetTableEntry(state, u"43", u"C");
  ASSERT_TRUE(state.table.changed);

  // Cancel, or Yes with the name prompt cancelled: the edited table stays.
  for (MsgAnswer answer : {MsgAnswer::Cancel, MsgAnswer::Yes}) {
    host.answers = {answer};
    host.fileNames = {dir.File("other.tbl")};
    FindCoreCommand("menuOpenTable")->run(state);
    EXPECT_EQ(host.messages.back().text, u"Будем сохранять изменения в Таблице ?");
    EXPECT_EQ(state.table.entries[0x43], u"C");
  }
  // Yes and a name: saved, then the other table loads.
  host.answers = {MsgAnswer::Yes};
  host.inputs = {dir.File("edited.tbl")};
  FindCoreCommand("menuOpenTable")->run(state);
  EXPECT_NE(dir.ReadText("edited.tbl").find(u"43=C"), std::u16string::npos);
  EXPECT_EQ(state.table.entries[0x42], u"B");
  EXPECT_FALSE(state.table.changed);
  // A table as loaded is not asked about.
  const std::size_t asked = host.messages.size();
  host.fileNames = {dir.File("other.tbl")};
  FindCoreCommand("menuOpenTable")->run(state);
  EXPECT_EQ(host.messages.size(), asked);
}

TEST_F(TableTools, SaveNeedsATableAndKeepsCharactersOutsideTheCodePage) {
  SaveTableAs(state, dir.File("none.tbl"));
  EXPECT_EQ(LogLines(state).back(), u"Таблица еще не загружена");
  EXPECT_FALSE(dir.Exists("none.tbl"));

  LoadLines(state, {u"8140=あ", u"41=Я"});
  SaveTableAs(state, dir.File("jp.tbl"));
  Bytes bytes = dir.Read("jp.tbl");
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xFE);
  EXPECT_EQ(dir.ReadText("jp.tbl"), u"TRTABLETYPE=DBCS\r\n0041=Я\r\n8140=あ");

  state.ctx.writeFaults.failAfterBytes = 3;
  EXPECT_FALSE(SaveTableAs(state, dir.File("other.tbl")));
  EXPECT_FALSE(dir.Exists("other.tbl"));
  EXPECT_EQ(state.ctx.settings.TableFileName, dir.File("jp.tbl")) << "a failed save keeps the remembered name";
  EXPECT_EQ(LogColourOf(state, u"Не удалось записать файл "), kColourBrightRed);
}

TEST_F(TableTools, XmlExportEscapesTextsAndNamesTheType) {
  dir.WriteText("old.tbl", u"made by hand & co\r\n41=<b>\r\n8140=x&y\r\n20= ");
  ExportTableXml(state, dir.File("old.tbl"), dir.File("new.xml"));
  EXPECT_EQ(dir.ReadText("new.xml"),
            u"<?xml version=\"1.0\" encoding=\"windows-1251\" ?>\r\n<table encodingtype=\"DBCS\"> \r\n"
            u"<comment>made by hand &amp; co\r\n</comment>\r\n"
            u"<char><code>41</code><string>&lt;b&gt;</string></char>\r\n"
            u"<char><code>8140</code><string>x&amp;y</string></char>\r\n"
            u"<char><code>20</code><string> </string></char></table>\r\n");
  EXPECT_TRUE(LogHas(state, u"Комментарий: made by hand & co"));
  EXPECT_EQ(LogLines(state).back(), u"Перекодированная таблица была сохранена в файл:" + dir.File("new.xml"));
  EXPECT_FALSE(state.table.isLoaded) << "the loaded table is not touched";
}

TEST_F(TableTools, XmlExportReadsNoLineAfterTheLastLineBreak) {
  dir.WriteText("crlf.tbl", u"hand made\r\n41=A\r\n");
  ExportTableXml(state, dir.File("crlf.tbl"), dir.File("crlf.xml"));
  EXPECT_EQ(dir.ReadText("crlf.xml"),
            u"<?xml version=\"1.0\" encoding=\"windows-1251\" ?>\r\n<table encodingtype=\"SBCS\"> \r\n"
            u"<comment>hand made\r\n</comment>\r\n<char><code>41</code><string>A</string></char></table>\r\n");
  EXPECT_FALSE(LogHas(state, u"Комментарий: \r\n")) << "no comment line for the end of the file";

  dir.WriteText("empty.tbl", u"");
  ExportTableXml(state, dir.File("empty.tbl"), dir.File("empty.xml"));
  EXPECT_EQ(dir.ReadText("empty.xml"),
            u"<?xml version=\"1.0\" encoding=\"windows-1251\" ?>\r\n<table encodingtype=\"SBCS\"> \r\n"
            u"<comment></comment>\r\n</table>\r\n");

  dir.WriteText("blank.tbl", u"41=A\r\n\r\n");
  ExportTableXml(state, dir.File("blank.tbl"), dir.File("blank.xml"));
  EXPECT_TRUE(LogHas(state, u"Комментарий: \r\n")) << "an empty line before the end is a comment line";
  EXPECT_NE(dir.ReadText("blank.xml").find(u"<comment>\r\n</comment>"), std::u16string::npos);
}

TEST_F(TableTools, XmlExportKeepsCharactersOutsideTheCodePageAndReportsMissingFiles) {
  dir.WriteText("jp.tbl", u"41=あ", true);
  ExportTableXml(state, dir.File("jp.tbl"), dir.File("jp.xml"));
  EXPECT_EQ(dir.ReadText("jp.xml"),
            u"<?xml version=\"1.0\" encoding=\"windows-1251\" ?>\r\n<table encodingtype=\"SBCS\"> \r\n"
            u"<comment></comment>\r\n<char><code>41</code><string>&#12354;</string></char></table>\r\n");

  ExportTableXml(state, dir.File("nope.tbl"), dir.File("x.xml"));
  EXPECT_EQ(LogLines(state).back(), u"Входной файл:" + dir.File("nope.tbl") + u"не существует");
  ExportTableXml(state, dir.File("jp.tbl"), u"");
  EXPECT_EQ(LogLines(state).back(), u"Не указано имя файла для сохранения перекодированной таблицы");

  host.fileNames = {dir.File("jp.tbl"), dir.File("menu.xml")};
  const Command* c = FindCoreCommand("menuTableToXml");
  ASSERT_NE(c, nullptr);
  c->run(state);
  EXPECT_EQ(host.prompts[0].title, u"Load OLD Table file");
  EXPECT_TRUE(host.prompts[1].forSave);
  EXPECT_EQ(host.prompts[1].title, u"Save XML Table file");
  EXPECT_TRUE(dir.Exists("menu.xml"));
}

TEST_F(TableTools, ReversibilityReportsTheFirstProblem) {
  struct Case {
    std::vector<std::u16string_view> lines;
    std::u16string_view message;
  };
  const std::u16string ok = u"Похоже, что таблица обратима...";
  for (const Case& c : std::vector<Case>{
           Case{{u"41=A", u"61=A", u"80=th"},
                u"Таблица не обратима, это значит при вставке будут глюки... ищи символ=A он дублируется..."},
           Case{{u"41=A", u"80=th", u"81=B"},
                u"В правой части таблицы есть не укодированные в <$..> последовательности...см. код=80 при вставке "
                u"текста будут глюки..."},
           Case{{u"41=A", u"FF=<$END>", u"8140=<$x", u"8141=x>"}, u"см. код=8140"},
           Case{{u"41=A", u"FF=<$END>", u"FE=<$END2>"}, ok}}) {
    ScriptedHost h;
    AppState s(h);
    std::u16string text;
    for (auto l : c.lines) text += std::u16string(l) + u"\r\n";
    LoadTableText(s, text, u"t.tbl");
    CheckTableReversibility(s);
    auto lines = LogLines(s);
    EXPECT_TRUE(LogHas(s, u"Начинаю проверку таблицы на обратимость...Это займет какое-то время..."));
    EXPECT_TRUE(LogHas(s, c.message)) << ToUtf8(c.message);
    if (c.message != ok) {
      EXPECT_EQ(LogColourOf(s, c.message), kColourDarkRed);
      EXPECT_FALSE(LogHas(s, ok));
    } else {
      EXPECT_EQ(lines.back(), u"Пока НЕТ проверки замен производимых постпроцессором...");
    }
    ASSERT_FALSE(h.progressCalls.empty());
    EXPECT_FALSE(h.progressCalls.back().visible);
    EXPECT_EQ(h.progressCalls.back().maximum, 1);
  }
}

TEST_F(TableTools, ReversibilityCheckCanBeStopped) {
  std::u16string text;
  for (int c = 0; c < 2000; ++c) text += HexText(0x4E00 + c) + u"=" + std::u16string(1, char16_t(0x4E00 + c)) + u"\r\n";
  LoadTableText(state, text, u"big.tbl");
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  int calls = 0;
  host.onProcessEvents = [&] {
    if (++calls == 50) state.ctx.CancelRequested = true;
  };
  CheckTableReversibility(state);
  EXPECT_EQ(LogLines(state).back(), u"Операция прервана пользователем...");
  EXPECT_TRUE(state.ctx.CancelRequested) << "the request stays, so that a script running the check ends too";
  EXPECT_LT(state.ctx.progress.value, 2000);

  host.onProcessEvents = nullptr;
  state.ctx.CancelRequested = true;
  CheckTableReversibility(state);  // a new run clears an old request
  EXPECT_EQ(LogLines(state).back(), u"Пока НЕТ проверки замен производимых постпроцессором...");
}

TEST_F(TableTools, GeneratorCutsAShortTemplateIntoCharacters) {
  dir.WriteText("tpl.txt", u"АБВ");
  host.inputs = {dir.File("tpl.txt"), dir.File("out.tbl"), u"&H80"};
  GenerateTable(state);
  Bytes out = dir.Read("out.tbl");
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(dir.ReadText("out.tbl"), u"80=А\r\n81=Б\r\n82=В\r\n83=");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Done generating table!");
  EXPECT_EQ(host.prompts[2].text, u"какой код первого символа (DEC или '&H'+hex)");

  dir.WriteText("two.txt", u"ab\r\nc𝄞", true);
  GenerateTableFrom(state, dir.File("two.txt"), dir.File("two.tbl"), u"5");
  EXPECT_EQ(dir.ReadText("two.tbl"), u"05=a\r\n06=b\r\n07=\r\r\n08=\n\r\n09=c\r\n0A=𝄞\r\n0B=");
}

TEST_F(TableTools, GeneratorKeepsLinesOfALongTemplate) {
  dir.WriteText("tpl.txt", u"А\r\nБ\r\n<$END>\r\n");
  GenerateTableFrom(state, dir.File("tpl.txt"), dir.File("out.tbl"), u"254");
  EXPECT_EQ(dir.ReadText("out.tbl"), u"FE=А\r\nFF=Б\r\n100=<$END>\r\n101=");

  host.messages.clear();
  host.inputs = {dir.File("tpl.txt"), u""};
  GenerateTable(state);
  GenerateTableFrom(state, dir.File("missing.txt"), dir.File("out2.tbl"), u"0");
  EXPECT_EQ(LogColourOf(state, u"Не удалось прочитать файл "), kColourBrightRed);
  EXPECT_FALSE(dir.Exists("out2.tbl"));
  EXPECT_TRUE(host.messages.empty());

  // A first code that is no number is refused, not read as its leading digits.
  GenerateTableFrom(state, dir.File("tpl.txt"), dir.File("out3.tbl"), u"12abc");
  EXPECT_EQ(LogColourOf(state, u"Код первого символа"), kColourBrightRed);
  EXPECT_FALSE(dir.Exists("out3.tbl"));
}

TEST_F(TableTools, MenuCommandsReachTheTableOperations) {
  for (auto name : {"menuOpenTable", "menuSaveTable", "menuMakeTable", "menuChTrTable", "menuSetTableType"})
    EXPECT_NE(FindCoreCommand(name), nullptr) << name;
  dir.WriteText("t.tbl", u"41=A");
  host.fileNames.push_back(dir.File("t.tbl"));
  FindCoreCommand("menuOpenTable")->run(state);
  EXPECT_EQ(state.table.entries[0x41], u"A");
}
