#include "codec/table_loader.h"

#include <gtest/gtest.h>

#include "codec/table_tools.h"
#include "codec_test_support.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct TableLoader : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TranslationTable& table = state.table;
};

}  // namespace

TEST_F(TableLoader, ReadsTheExampleFileLineByLine) {
  LoadLines(state, {u"TrTableType=SBCS2", u"/FF", u"Game X, Russian", u"<$POSTPROCESSOR>ae,æ", u"41=A", u"20=<$SPACE>",
                    u"8140=あ", u"??7F=#"});
  EXPECT_EQ(table.type, u"SBCS2");
  EXPECT_TRUE(table.endCodeSet);
  EXPECT_EQ(table.endCode, u'\u00FF');
  EXPECT_EQ(table.entries[0x41], u"A");
  EXPECT_EQ(table.entries[0x20], u" ");
  EXPECT_EQ(table.entries[0x8140], u"あ");
  for (int k = 0; k < 256; ++k) EXPECT_EQ(table.entries[k * 256 + 0x7F], u"#");
  EXPECT_EQ(table.tokenCount, 3 + 256);
  ASSERT_EQ(table.postprocessorPairs.size(), 1u);
  EXPECT_EQ(table.postprocessorPairs[0].first, u"ae");
  EXPECT_EQ(table.postprocessorPairs[0].second, u"æ");
  EXPECT_EQ(table.comment, u"TrTableType=SBCS2\r\n/FF\r\nGame X, Russian\r\n<$POSTPROCESSOR>ae,æ\r\n");
  EXPECT_TRUE(table.isLoaded);
  EXPECT_EQ(table.codeWidth, 1);

  auto lines = LogLines(state);
  ASSERT_GE(lines.size(), 256u + 9u);
  EXPECT_EQ(lines[0], u"7F=#");
  EXPECT_EQ(lines[0x1F], u"1F7F=#");
  EXPECT_EQ(lines[255], u"FF7F=#");
  std::vector<std::u16string> tail(lines.begin() + 256, lines.end());
  std::vector<std::u16string> expected = {u"Тип таблицы =SBCS2",
                                          u"Загрузили 259 токенов",
                                          u"Загрузили таблицу перекодировки из файла test.tbl",
                                          u"----------Комментарий к таблице----------",
                                          u"TrTableType=SBCS2",
                                          u"/FF",
                                          u"Game X, Russian",
                                          u"<$POSTPROCESSOR>ae,æ",
                                          u"",
                                          u"-----------------------------------------",
                                          u"Пар слов для замены постпроцессором найдено= 1",
                                          u"POSTPROCESSOR найти:ae заменить на:æ"};
  EXPECT_EQ(tail, expected);
}

TEST_F(TableLoader, ValuesAreVerbatimAndCodeTextsTrimmed) {
  LoadLines(state, {u"41=a=b", u"42= ", u" 43 =C", u"0A=<$VBCRLF>", u"44=<$SPACE>x<$SPACE>", u"45="});
  EXPECT_EQ(table.entries[0x41], u"a=b");
  EXPECT_EQ(table.entries[0x42], u" ");
  EXPECT_EQ(table.entries[0x43], u"C");
  EXPECT_EQ(table.entries[0x0A], u"\r\n");
  EXPECT_EQ(table.entries[0x44], u" x ");
  EXPECT_TRUE(table.entries[0x45].empty());
  EXPECT_EQ(table.tokenCount, 6);
  EXPECT_EQ(table.type, u"SBCS");
}

TEST_F(TableLoader, FourDigitCodeSwitchesOnlyTheFirstUntypedTableToDbcs) {
  LoadLines(state, {u"0041=A", u"0400=B"});
  EXPECT_EQ(table.type, u"DBCS");
  EXPECT_EQ(table.codeWidth, 2);
  EXPECT_EQ(table.entries[0x41], u"A");
  EXPECT_EQ(table.entries[0x0400], u"B");

  // The type of the previous table stays when the new file has no type line.
  LoadLines(state, {u"TrTableType=SBCS2", u"41=A"});
  LoadLines(state, {u"8140=X"});
  EXPECT_EQ(table.type, u"SBCS2");
  EXPECT_EQ(table.codeWidth, 1);
  EXPECT_TRUE(table.entries[0x41].empty()) << "a load empties the previous entries";
}

TEST_F(TableLoader, CodesWiderThanFourDigitsAreReportedAndStillStored) {
  LoadLines(state, {u"12345=x", u"ABCDEF=y"});
  EXPECT_EQ(table.entries[0x0123], u"x");
  EXPECT_EQ(table.entries[0xABCD], u"y");
  EXPECT_EQ(LogColourOf(state, u"Ошибка в таблице перекодировки --> 12345 слишком большой код (максимум это FFFF)"),
            kColourBrightRed);
  EXPECT_EQ(table.type, u"DBCS");
}

TEST_F(TableLoader, CodesThatAreNotHexadecimalAreReportedAndSkipped) {
  LoadLines(state, {u"41=A", u"4G=B", u"ZZ=C", u"=D", u"?\?=E", u"??7G=F", u"<$SPACE>42=G"});
  EXPECT_EQ(table.tokenCount, 2);
  EXPECT_EQ(table.entries[0x41], u"A");
  EXPECT_EQ(table.entries[0x42], u"G") << "markup around a code is decoded and trimmed first";
  EXPECT_TRUE(table.entries[0x04].empty());
  EXPECT_TRUE(table.entries[0x00].empty());
  EXPECT_TRUE(table.entries[0x07].empty()) << "no wildcard line is used";
  EXPECT_EQ(LogColourOf(state,
                        u"Ошибка в таблице перекодировки --> строка 2: код '4G' не шестнадцатеричный, "
                        u"строка пропущена"),
            kColourDarkRed);
  EXPECT_TRUE(LogHas(state, u"строка 3: код 'ZZ'"));
  EXPECT_TRUE(LogHas(state, u"строка 4: код ''"));
  EXPECT_TRUE(LogHas(state, u"строка 6: код '??7G'"));
  EXPECT_FALSE(LogHas(state, u"уже описан")) << "skipped lines do not count as duplicates";
}

TEST_F(TableLoader, RepeatedWarningsStopAfterAHundredWithACount) {
  std::u16string text;
  for (int i = 0; i < 250; ++i) text += u"41=A\r\nQ=B\r\n";
  LoadTableText(state, text, u"t.tbl");
  EXPECT_EQ(CountIn(state.ctx.log.text, u"уже описан в таблице, такого быть не должно"), 100u);
  EXPECT_EQ(CountIn(state.ctx.log.text, u"не шестнадцатеричный, строка пропущена"), 100u);
  EXPECT_EQ(LogColourOf(state,
                        u"Вероятно код уже описан в таблице: ещё 149 таких сообщений не показано "
                        u"(показаны первые 100)"),
            kColourDarkRed);
  EXPECT_TRUE(LogHas(state, u"код не шестнадцатеричный: ещё 150 таких сообщений не показано"));

  LoadTableText(state, u"41=A\r\n41=B", u"t.tbl");
  EXPECT_EQ(CountIn(state.ctx.log.text, u"Вероятно код=41 уже описан"), 101u) << "the next load has its own limit";
}

TEST_F(TableLoader, DuplicateCodesWarnAndTheLastValueWins) {
  LoadLines(state, {u"41=A", u"0041=B", u"??41=C"});
  EXPECT_EQ(LogColourOf(state, u"Вероятно код=0041 уже описан в таблице, такого быть не должно"), kColourDarkRed);
  EXPECT_FALSE(LogHas(state, u"Вероятно код=??41"));
  EXPECT_EQ(table.entries[0x41], u"C");
  EXPECT_EQ(table.tokenCount, 2 + 256);
}

TEST_F(TableLoader, TypeLineSpellings) {
  struct Case {
    std::u16string_view line;
    std::u16string_view type;
  };
  for (Case c :
       {Case{u"trtabletype=DBCS", u"DBCS"}, Case{u"TRTABLETYPE=DBCS", u"DBCS"}, Case{u"TrTableType=dbcs", u"DBCS"},
        Case{u"TrTableType= DBCS", u" DBCS"}, Case{u"TrTableType=<$SPACE>sbcs2", u" SBCS2"},
        Case{u"TrTableType =DBCS", u"SBCS"}, Case{u"x TrTableType=DBCS", u"SBCS"}}) {
    ScriptedHost h;
    AppState s(h);
    LoadLines(s, {c.line, u"41=A"});
    EXPECT_EQ(s.table.type, c.type) << ToUtf8(c.line);
    EXPECT_EQ(s.table.comment, std::u16string(c.line) + u"\r\n") << "a type line is a comment line too";
    EXPECT_EQ(s.table.tokenCount, 1);
  }
}

TEST_F(TableLoader, EndCodeLines) {
  LoadLines(state, {u"41=A"});
  EXPECT_FALSE(table.endCodeSet) << "no code is the end code before an end-code line";

  LoadLines(state, {u"/FF", u"41=A"});
  EXPECT_TRUE(table.endCodeSet);
  EXPECT_EQ(table.endCode, 0xFF);

  LoadLines(state, {u"41=A"});
  EXPECT_EQ(table.endCode, 0xFF) << "a load without an end-code line keeps the end code";

  LoadLines(state, {u"// made by hand", u"41=A"});
  EXPECT_EQ(table.endCode, 0);

  LoadLines(state, {u"/8140", u"/FF=x", u"41=A"});
  EXPECT_EQ(table.endCode, 0x8140);
  EXPECT_TRUE(LogHas(state, u"код '/FF' не шестнадцатеричный")) << "a line with '=' is a code line";

  LoadLines(state, {u"/12345", u"41=A"});
  EXPECT_EQ(table.endCode, 0x8140) << "an end code wider than 16 bits is refused";
  EXPECT_EQ(LogColourOf(state, u"/12345 слишком большой код"), kColourBrightRed);
}

TEST_F(TableLoader, PostprocessorPairs) {
  std::u16string text = u"41=A\r\n<$POSTPROCESSOR>a<$SPACE>b,<$VBCRLF>,ignored\r\nx<$POSTPROCESSOR>nocomma";
  for (int i = 0; i < 512; ++i) text += u"\r\n<$POSTPROCESSOR>f" + DecText(i) + u",r";
  LoadTableText(state, text, u"t.tbl");
  ASSERT_EQ(table.postprocessorPairs.size(), 512u);
  EXPECT_EQ(table.postprocessorPairs[0], std::make_pair(std::u16string(u"a b"), std::u16string(u"\r\n")));
  EXPECT_EQ(table.postprocessorPairs[511].first, u"f510");
  EXPECT_TRUE(LogHas(state, u"Warning: превышен размер словаря у постпроцессора"));
  EXPECT_EQ(LogColourOf(state, u"x<$POSTPROCESSOR>nocomma у постпроцессора нет текста замены"), kColourDarkRed);
  EXPECT_TRUE(LogHas(state, u"Пар слов для замены постпроцессором найдено= 512"));
  EXPECT_TRUE(LogHas(state, u"\r\nPOSTPROCESSOR найти:a b заменить на:\r\n\r\n"));
}

TEST_F(TableLoader, WildcardWiderThanOneByteIsRejected) {
  LoadLines(state, {u"??123=x", u"41=A"});
  EXPECT_EQ(table.tokenCount, 1);
  EXPECT_EQ(LogColourOf(state, u"??123 слишком большой код"), kColourBrightRed);
  EXPECT_TRUE(table.entries[0x23].empty());
}

TEST_F(TableLoader, LfOnlyFileIsOneLine) {
  LoadTableText(state, u"41=A\n42=B\n", u"lf.tbl");
  EXPECT_EQ(table.entries[0x41], u"A\n42=B\n");
  EXPECT_EQ(table.tokenCount, 1);
  EXPECT_TRUE(LogHas(state, u"строки разделены LF"));
}

TEST_F(TableLoader, ReadsFilesAndKeepsTheTableWhenAFileCannotBeRead) {
  TempDir dir;
  dir.WriteText("u16.tbl", u"TrTableType=DBCS\r\n8140=あ\r\n", true);
  state.ctx.settings.TableFileName = dir.File("u16.tbl");
  LoadTable(state, true);
  EXPECT_EQ(table.entries[0x8140], u"あ");

  state.ctx.settings.TableFileName = dir.File("missing.tbl");
  LoadTable(state, true);
  EXPECT_EQ(table.entries[0x8140], u"あ");
  EXPECT_EQ(LogColourOf(state, u"Не удалось прочитать файл таблицы"), kColourBrightRed);

  host.fileNames.push_back(dir.File("u16.tbl"));
  LoadTable(state, false);
  ASSERT_FALSE(host.prompts.empty());
  EXPECT_EQ(host.prompts.back().title, u"Load Table file");
  EXPECT_EQ(state.ctx.settings.TableFileName, dir.File("u16.tbl"));

  LoadTable(state, false);  // the prompt is cancelled
  EXPECT_EQ(state.ctx.settings.TableFileName, u"");
  EXPECT_EQ(LogLines(state).back(), u"Не задано имя файла таблицы");
  EXPECT_EQ(table.entries[0x8140], u"あ");
}

TEST_F(TableLoader, MalformedFilesLoadWithoutHarm) {
  TempDir dir;
  Bytes garbage(200000);
  std::uint32_t x = 12345;
  for (auto& b : garbage) b = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 16);
  dir.Write("garbage.tbl", garbage);
  state.ctx.settings.TableFileName = dir.File("garbage.tbl");
  LoadTable(state, true);
  EXPECT_FALSE(table.isLoaded) << "random bytes yield no entry: refused";

  // UTF-16 without a mark is read as ANSI: "4\0001\0=\0A\0" is one code
  // line whose code text 4 NUL 1 NUL is not hexadecimal.
  dir.Write("nomark.tbl", Bytes{'4', 0, '1', 0, '=', 0, 'A', 0});
  state.ctx.settings.TableFileName = dir.File("nomark.tbl");
  LoadTable(state, true);
  EXPECT_FALSE(table.isLoaded);
  EXPECT_TRUE(LogHas(state, u"строка 1: код"));

  std::u16string huge = u"41=";
  huge.append(10u << 20, u'x');
  dir.WriteText("huge.tbl", huge);
  state.ctx.settings.TableFileName = dir.File("huge.tbl");
  LoadTable(state, true);
  EXPECT_EQ(table.entries[0x41].size(), 10u << 20);
}

TEST_F(TableLoader, SetTableTypeStoresTheAnswerAsTyped) {
  LoadLines(state, {u"0041=A"});
  host.inputs.push_back(u"sbcs2");
  SetTableType(state);
  EXPECT_EQ(table.type, u"sbcs2");
  EXPECT_EQ(table.codeWidth, 2) << "the code width follows the next load or layout only";
  EXPECT_EQ(LogLines(state).back(), u"Тип таблицы =sbcs2");
  EXPECT_EQ(host.prompts.back().text, u"Введите тип таблицы (SBCS/SBCS2/DBCS)");

  host.inputs.push_back(u"");
  SetTableType(state);
  SetTableType(state);  // cancelled
  EXPECT_EQ(table.type, u"sbcs2");
}

// A file that yields no entry is not a table: the loaded one stays (the
// insertion after such a load once dropped every character).
TEST_F(TableLoader, AFileWithoutEntriesIsRefusedAndTheTableKept) {
  LoadLines(state, {u"TrTableType=SBCS", u"41=A"});
  const auto revision = table.revision;
  EXPECT_FALSE(LoadTableText(state, u"just text\r\nTrTableType=DBCS\r\n/FF\r\n41=", u"junk.tbl"));
  EXPECT_EQ(table.entries[0x41], u"A");
  EXPECT_FALSE(table.endCodeSet);
  EXPECT_EQ(table.revision, revision);
  EXPECT_EQ(LogColourOf(state, u"Таблица из файла junk.tbl не загружена"), kColourBrightRed);
}

// A table without a type line keeps the type loaded before it; when its
// codes do not fit that type, the log says which type is in effect.
TEST_F(TableLoader, ACarriedTypeThatDoesNotFitTheCodesIsWarned) {
  LoadLines(state, {u"TrTableType=DBCS", u"8140=あ"});
  LoadLines(state, {u"41=A"});
  EXPECT_EQ(table.type, u"DBCS");
  EXPECT_EQ(LogColourOf(state, u"действует тип прежней таблицы DBCS, а коды в файле двузначные"), kColourDarkRed);

  LoadLines(state, {u"TrTableType=SBCS", u"41=A"});
  ClearLog(state);
  LoadLines(state, {u"8140=あ"});
  EXPECT_EQ(LogColourOf(state, u"действует тип прежней таблицы SBCS, а коды в файле четырёхзначные"), kColourDarkRed);

  ClearLog(state);
  LoadLines(state, {u"41=A"});                       // fits the carried SBCS
  LoadLines(state, {u"TrTableType=DBCS", u"41=A"});  // sets its own type
  EXPECT_FALSE(LogHas(state, u"действует тип прежней таблицы"));
}

// Tables written by Linux editors are UTF-8: read as such (one log line) and
// saved back as UTF-8, with the mark when the file had one.
TEST_F(TableLoader, Utf8TablesAreReadAndSavedBackAsUtf8) {
  TempDir dir;
  const std::string body = "TRTABLETYPE=SBCS\r\n41=Ж\r\n42=é";
  for (const std::string& mark : {std::string(), std::string("\xEF\xBB\xBF")}) {
    const std::string file = mark + body;
    dir.Write("u8.tbl", Bytes(file.begin(), file.end()));
    state.ctx.settings.TableFileName = dir.File("u8.tbl");
    LoadTable(state, true);
    EXPECT_EQ(table.entries[0x41], u"Ж");
    EXPECT_EQ(table.entries[0x42], u"é");
    EXPECT_EQ(LogColourOf(state, u"прочитан в кодировке UTF-8"), kColourGreen);
    ASSERT_TRUE(SaveTableAs(state, dir.File("out.tbl")));
    EXPECT_EQ(dir.Read("out.tbl"), Bytes(file.begin(), file.end()));
  }
  // Windows-1251 stays Windows-1251: its letters are no valid UTF-8.
  dir.Write("ansi.tbl", Bytes{'4', '1', '=', 0xC6, 0xC6});
  state.ctx.settings.TableFileName = dir.File("ansi.tbl");
  LoadTable(state, true);
  EXPECT_EQ(table.entries[0x41], u"ЖЖ");
  EXPECT_EQ(table.fileEncoding, TextEncoding::Ansi);
}
