// The font commands of a batch script (LOADFDT, WRAPSETTINGS, WRAPDIALOGS,
// CHECKWRAP) and the font operations of the menus and the editor.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/state.h"
#include "batch/batch.h"
#include "codec/table_loader.h"
#include "core/text.h"
#include "font/font_commands.h"
#include "font/text_wrapper.h"
#include "script/dialog_undo.h"
#include "tests/support/batch_fixture.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

// 6-pixel "A", a 4-pixel blank, "\" a new line, "^" a new page that pauses;
// no picture file exists.
constexpr std::u16string_view kFdt =
    u"8,12=FontWidthFontHeight\r\n3,u.bmp=UnknownMappingChar\r\n6,a.bmp=A\r\n4,s.bmp=<$SPACE>\r\n"
    u"0_NEWLINE,n.bmp=\\\r\n0_SCROLL,p.bmp=^\r\n";

struct FontBatchTest : vorkat::testing::BatchFixture {
  void SetUp() override {
    BatchFixture::SetUp();
    dir.WriteText("font.fdt", kFdt);
    host.logLines.clear();
    host.logColours.clear();
  }
  bool Logged(std::u16string_view line, std::uint32_t colour = kColourDefault) const {
    for (std::size_t i = 0; i < host.logLines.size(); ++i)
      if (host.logLines[i] == line && host.logColours[i] == colour) return true;
    return false;
  }

  void SetDialogs(std::initializer_list<std::pair<std::u16string, std::u16string>> dialogs) {
    state.dialogs.records.clear();
    for (const auto& [id, text] : dialogs) {
      DialogRecord d;
      d.dlgID = id;
      d.dlgText = text;
      state.dialogs.records.push_back(d);
    }
    state.dialogs.lastIndex = static_cast<std::int32_t>(dialogs.size()) - 1;
    state.dialogs.isLoaded = true;
    state.dialogs.changed = false;
  }
};

}  // namespace

TEST_F(FontBatchTest, LoadFdtReadsTheFileAndAMissingOneStopsTheScript) {
  EXPECT_FALSE(Run(u"LOADFDT=" + F("font.fdt") + u"\r\nDOLOG=next").stopped);
  EXPECT_TRUE(state.fdt.isLoaded);
  EXPECT_EQ(state.fdt.fileName, F("font.fdt"));
  EXPECT_TRUE(Logged(u"Загружено описание для  4 символов."));  // the number keeps its leading blank
  EXPECT_TRUE(Logged(u"next"));

  host.logLines.clear();
  EXPECT_TRUE(Run(u"LOADFDT=" + F("none.fdt") + u"\r\nDOLOG=next").stopped);
  EXPECT_FALSE(Logged(u"next"));
  EXPECT_EQ(state.fdt.fileName, F("font.fdt"));  // the loaded FDT stays
  EXPECT_TRUE(state.fdt.isLoaded);

  // A file with a single mapping leaves no FDT loaded: the script stops too.
  dir.WriteText("one.fdt", u"6,a.bmp=A\r\n");
  EXPECT_TRUE(Run(u"LOADFDT=" + F("one.fdt") + u"\r\nDOLOG=next").stopped);
  EXPECT_FALSE(Logged(u"next"));
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(FontBatchTest, WrapSettingsKeepTheValuesOfEmptyFields) {
  Run(u"WRAPSETTINGS=230,\\,<$SPACE>^,3,10,20,1\r\nWRAPSETTINGS=,,,,15");
  const PreviewSettings& ps = state.preview;
  EXPECT_EQ(ps.WrapRightLimitPix, 230);
  EXPECT_EQ(ps.gameLFchar, u"\\");
  EXPECT_EQ(ps.gameScrollChar, u" ^");
  EXPECT_EQ(ps.MkPageBrkEveryNLFs, 3);
  EXPECT_EQ(ps.DefaultMyX, 15);
  EXPECT_EQ(ps.DefaultMyY, 20);
  EXPECT_EQ(ps.InterLetterStep, 1);
}

TEST_F(FontBatchTest, WrapDialogsBreaksAndMarksPagesWithoutPicturesOrPauses) {
  SetDialogs({{u"1", u"AAAA AAAA AAAA"}, {u"2", u"AA^AA"}, {u"3", u"AAAAAAAAAA"}});
  Run(u"LOADFDT=" + F("font.fdt") + u"\r\nWRAPSETTINGS=50,\\,^,2,0,0,0\r\nWRAPDIALOGS");
  ASSERT_FALSE(state.glyphsLoaded);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA\\AAAA^AAAA");
  EXPECT_EQ(state.dialogs.records[1].dlgText, u"AA^AA");
  EXPECT_EQ(state.dialogs.records[2].dlgText, u"AAAAAAAAAA");  // nowhere to break: left as it is
  EXPECT_TRUE(state.dialogs.changed);
  EXPECT_TRUE(Logged(u"Расставили переносы, изменено диалогов: 1"));
  EXPECT_TRUE(Logged(u"Диалог 3: Строка шире правой границы и перенести её негде, оставлена как есть: позиция 9, X= 54",
                     kColourDarkRed));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(host.prompts.empty());

  // Wrapped text wraps to itself: nothing changes the second time.
  state.dialogs.changed = false;
  Run(u"WRAPDIALOGS");
  EXPECT_FALSE(state.dialogs.changed);
  EXPECT_TRUE(Logged(u"Расставили переносы, изменено диалогов: 0"));
}

TEST_F(FontBatchTest, WrapDialogsRefusesWhatItCannotDo) {
  Run(u"WRAPDIALOGS");
  EXPECT_TRUE(Logged(u"Диалоги еще не загружены"));
  SetDialogs({{u"1", u"AAAA AAAA AAAA"}});
  Run(u"WRAPDIALOGS");
  EXPECT_TRUE(Logged(std::u16string(kFdtNotLoadedMessage)));
  Run(u"LOADFDT=" + F("font.fdt") + u"\r\nWRAPSETTINGS=50\r\nWRAPDIALOGS");
  EXPECT_TRUE(Logged(std::u16string(kWrapEmptyLfLog)));
  Run(u"WRAPSETTINGS=50,\\,,0,60\r\nWRAPDIALOGS");
  EXPECT_TRUE(Logged(std::u16string(kWrapBorderLog)));
  Run(u"WRAPSETTINGS=50,\\,,2,0\r\nWRAPDIALOGS");
  EXPECT_TRUE(Logged(std::u16string(kPagesEmptyScrollLog)));
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA AAAA AAAA");
  EXPECT_FALSE(state.dialogs.changed);
}

TEST_F(FontBatchTest, CheckWrapListsTheLinesPastTheBorderAndKeepsTheOldReport) {
  SetDialogs({{u"7", u"AAAAAAAAAA"}, {u"8", u"AA\\AAAAAAAAA\\A"}, {u"9", u"AA AA"}});
  Run(u"LOADFDT=" + F("font.fdt") + u"\r\nWRAPSETTINGS=50,,,,0,0,0\r\nCHECKWRAP=" + F("over.txt"));
  EXPECT_EQ(dir.ReadText("over.txt"), u"7\t1\t60\tAAAAAAAAAA\r\n8\t2\t54\tAAAAAAAAA\r\n");
  EXPECT_TRUE(Logged(u"Строк за правой границей: 2, список в файле " + F("over.txt"), kColourDarkRed));
  EXPECT_FALSE(state.dialogs.changed);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAAAAAAAA");

  SetDialogs({{u"9", u"AA AA"}});
  Run(u"CHECKWRAP=" + F("over.txt"));
  EXPECT_EQ(dir.ReadText("over.txt"), u"");
  EXPECT_EQ(dir.ReadText("over.txt.bak"), u"7\t1\t60\tAAAAAAAAAA\r\n8\t2\t54\tAAAAAAAAA\r\n");
  EXPECT_TRUE(Logged(u"Строк за правой границей: 0, список в файле " + F("over.txt"), kColourGreen));
}

TEST_F(FontBatchTest, MenuLoadAsksForTheFileAndAParseInvalidatesTheGlyphs) {
  host.fileNames.push_back(F("font.fdt"));
  EXPECT_TRUE(LoadFontDescription(state));
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, kFdtOpenTitle);

  state.glyphsLoaded = true;
  state.fdt.lines.push_back(u"5,b.bmp=B");
  EXPECT_TRUE(LoadFontDescription(state, F("font.fdt")));  // an existing name: parsed from memory
  EXPECT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(state.fdt.lastMappingIndex, 4);
  EXPECT_FALSE(state.glyphsLoaded);

  state.glyphsLoaded = true;
  host.fileNames.push_back(u"");
  LoadFontDescription(state);  // cancelled: nothing changes
  EXPECT_TRUE(state.glyphsLoaded);
}

TEST_F(FontBatchTest, PrintNeedsTheFdtAndTheGlyphsAndWritesThePositionBack) {
  EXPECT_FALSE(PrintLayout(state, u"A", true));
  LoadFontDescriptionFile(state, F("font.fdt"));
  EXPECT_FALSE(PrintLayout(state, u"A", true));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, kFdtNotLoadedMessage);
  EXPECT_EQ(host.messages[1].text, kGlyphsNotLoadedMessage);
  EXPECT_EQ(host.messages[1].icon, MsgIcon::Error);

  state.glyphsLoaded = true;
  state.preview.DefaultMyX = 3;
  state.preview.DefaultMyY = 4;
  const auto shown = PrintLayout(state, u"AA", true);
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->penX, 15);
  EXPECT_EQ(state.ctx.settings.VivorurePrnXPrnY, u"3,4");
  const auto hidden = PrintLayout(state, u"AA", false);
  ASSERT_TRUE(hidden);
  EXPECT_TRUE(hidden->steps.empty());
  EXPECT_EQ(hidden->penX, 3);

  host.answers.push_back(MsgAnswer::No);
  EXPECT_FALSE(AskDefaultPrintPosition(state, 30, 40));
  host.answers.push_back(MsgAnswer::Yes);
  EXPECT_TRUE(AskDefaultPrintPosition(state, 30, 40));
  EXPECT_EQ(host.messages.back().title, u"Set default print X/Y ?");
  EXPECT_EQ(host.messages.back().text, u"Установить координаты печати текста\r\nDefaultX= 30\r\nDefaultY= 40");
  EXPECT_EQ(state.preview.DefaultMyX, 30);
  EXPECT_EQ(state.ctx.settings.VivorurePrnXPrnY, u"30,40");
}

TEST_F(FontBatchTest, EditorWrapperAsksForMissingValuesAndRefusesABorderLeftOfTheStart) {
  LoadTableText(state, u"41=A\r\n20= \r\n5C=\\\r\n5E=^", u"t.tbl");
  LoadFontDescriptionFile(state, F("font.fdt"));
  host.inputs = {u"\\", u"50"};
  EXPECT_EQ(SetScriptLfs(state, u"AAAA AAAA AAAA"), u"AAAA\\AAAA\\AAAA");
  ASSERT_EQ(host.prompts.size(), 2u);
  EXPECT_EQ(host.prompts[0].title, u"Input string for inGame LF's");
  EXPECT_EQ(host.prompts[1].title, u"Input right border (pixels) for textwrapper");

  state.preview.DefaultMyX = 240;
  state.preview.WrapRightLimitPix = 230;
  EXPECT_FALSE(SetScriptLfs(state, u"AAAA"));
  EXPECT_EQ(host.messages.back().text, kWrapBorderMessage);
  EXPECT_TRUE(Logged(std::u16string(kWrapBorderLog)));

  // The menu item's answer replaces the value.
  host.inputs = {u"n", u"^", u"3"};
  AskGameLFchar(state);
  EXPECT_EQ(state.preview.gameLFchar, u"n");
  state.preview.gameLFchar = u"\\";
  EXPECT_EQ(SetPages(state, u"A\\A\\A\\A\\A\\A\\A\\A"), u"A\\A\\A^A\\A\\A^A\\A");
  EXPECT_EQ(host.prompts[host.prompts.size() - 2].title, u"Input string for inGame NewPage");
}

TEST_F(FontBatchTest, EditorWrapOfAllDialogsAsksTheWrapValuesAndACancelChangesNothing) {
  SetDialogs({{u"1", u"AAAA AAAA AAAA"}, {u"2", u"AA^AA"}});
  LoadFontDescriptionFile(state, F("font.fdt"));
  host.inputs = {u"50", u"\\", u"2", std::nullopt};  // cancelled at the new-page string
  EXPECT_FALSE(AskAndWrapAllDialogs(state));
  EXPECT_EQ(host.prompts.back().title, u"Input string for inGame NewPage");
  EXPECT_EQ(state.preview.WrapRightLimitPix, 0);
  EXPECT_EQ(state.preview.gameLFchar, u"");
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA AAAA AAAA");

  host.inputs = {u"50", u"\\", u"2", u"^"};
  EXPECT_TRUE(AskAndWrapAllDialogs(state));
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA\\AAAA^AAAA");
  EXPECT_TRUE(Logged(u"Расставили переносы, изменено диалогов: 1"));
  ASSERT_TRUE(UndoDialogChange(state.dialogs));
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA AAAA AAAA");
  EXPECT_FALSE(state.dialogs.changed);

  // No lines per page: the new-page string is not asked.
  const std::size_t asked = host.prompts.size();
  host.inputs = {u"50", u"\\", u"0"};
  EXPECT_TRUE(AskAndWrapAllDialogs(state));
  EXPECT_EQ(host.prompts.size(), asked + 3);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA\\AAAA\\AAAA");
}

namespace {

// A line break the table lacks was dropped by the insertion: the game ran the words together.
TEST_F(FontBatchTest, BreaksTheTableCannotEncodeAreRefusedAndStopTheScript) {
  LoadTableText(state, u"41=A\r\n20= \r\n5E=^", u"t.tbl");
  SetDialogs({{u"1", u"AAAA AAAA AAAA"}});
  const BatchResult run = Run(u"LOADFDT=" + F("font.fdt") + u"\r\nWRAPSETTINGS=50,\\,^,2,0,0,0\r\nWRAPDIALOGS");
  EXPECT_TRUE(run.stopped);
  EXPECT_EQ(state.dialogs.records[0].dlgText, u"AAAA AAAA AAAA");
  EXPECT_FALSE(state.dialogs.changed);
  EXPECT_TRUE(
      Logged(u"Таблица не кодирует строку переноса строки '\\': при вставке она пропала бы, и слова в игре "
             u"слились бы; расстановка отменена, тексты не изменены",
             kColourDarkRed));
  EXPECT_EQ(SetScriptLfs(state, u"AAAA AAAA AAAA"), std::nullopt);
  state.preview.gameLFchar = u"A";
  state.preview.gameScrollChar = u"~";
  EXPECT_EQ(SetPages(state, u"AAAA"), std::nullopt);
  EXPECT_TRUE(host.logLines.back().find(u"строку новой страницы '~'") != std::u16string::npos);
}

}  // namespace
