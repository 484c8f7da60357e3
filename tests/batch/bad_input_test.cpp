// Bad input in unattended runs: loads that find nothing keep the loaded data
// and stop the script, UTF-8 files go back as they came, every replaced file
// keeps a .bak, and refusals that once looked like success are errors.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/state.h"
#include "batch/batch.h"
#include "core/rom.h"
#include "script/dialogs_file.h"
#include "script/translation_file.h"
#include "tests/support/batch_fixture.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using vorkat::testing::TempDir;

namespace {

struct BadInput : vorkat::testing::BatchFixture {
  Bytes Utf8(std::u16string_view text, bool mark = false) const {
    const std::string s = (mark ? "\xEF\xBB\xBF" : "") + ToUtf8(text);
    return Bytes(s.begin(), s.end());
  }
  // The dialogs file text of one dialog, with the delimiters of the settings.
  std::u16string OneDialog(std::u16string_view text) const {
    DialogSet set;
    set.records = {DialogRecord{.dlgID = u"7", .DoPointerChange = u"N", .dlgText = std::u16string(text)}};
    set.lastIndex = 0;
    return DialogsFileText(set, state.ctx.settings);
  }
};

}  // namespace

TEST_F(BadInput, LoadsThatFindNothingStopTheScriptAndKeepTheLoadedData) {
  dir.WriteText("work.txt", OneDialog(u"Hello"));
  dir.Write("game.gba", Bytes(4096, 0x5A));
  dir.Write("empty.txt", {});
  const Bytes work = dir.Read("work.txt");
  // A ROM named as dialogs once loaded "0 штук", and the save emptied the work file.
  BatchResult r =
      Run(u"LOADDIALOGS=" + F("work.txt") + u"\r\nLOADDIALOGS=" + F("game.gba") + u"\r\nSAVEDIALOGS=" + F("work.txt"));
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(state.dialogs.count(), 1u);
  EXPECT_EQ(state.dialogs.fileName, F("work.txt"));
  EXPECT_EQ(dir.Read("work.txt"), work);
  EXPECT_TRUE(Run(u"LOADDIALOGS=" + F("empty.txt")).stopped) << "an empty file is refused in a batch";
  EXPECT_EQ(state.dialogs.count(), 1u);

  dir.WriteText("t.tbl", u"41=A\r\n");
  EXPECT_TRUE(Run(u"LOADTABLE=" + F("t.tbl") + u"\r\nLOADTABLE=" + F("game.gba")).stopped);
  EXPECT_EQ(state.table.entries[0x41], u"A");

  // A refused FDT changes nothing: not the loaded table, not the preview settings.
  dir.WriteText("good.fdt", u"8,a.bmp=a\r\n8,b.bmp=b\r\n");
  dir.WriteText("bad.fdt", u"10,20=VivorurePrnXPrnY\r\n3=interletterspacing\r\nbg.bmp=LastBGFileName\r\n8,a.bmp=a\r\n");
  const std::u16string printAt = state.ctx.settings.VivorurePrnXPrnY;
  EXPECT_TRUE(Run(u"LOADFDT=" + F("good.fdt") + u"\r\nLOADFDT=" + F("bad.fdt")).stopped);
  EXPECT_TRUE(state.fdt.isLoaded);
  EXPECT_EQ(state.fdt.fileName, F("good.fdt"));
  EXPECT_EQ(state.ctx.settings.VivorurePrnXPrnY, printAt);
  EXPECT_NE(state.ctx.log.text.find(u"описано 1 символов, а нужно хотя бы 2"), std::u16string::npos);
}

// Dialogs files from Linux editors: UTF-8 with or without the mark, the
// delimiters only in their UTF-8 form. Read as UTF-8 (one log line) and
// saved back byte for byte; the old-format translation files alike.
TEST_F(BadInput, Utf8DialogsAndTranslationFilesAreReadAndSavedBackAsUtf8) {
  for (bool mark : {false, true}) {
    dir.Write("u8.txt", Utf8(OneDialog(u"Привет, мир"), mark));
    host.logLines.clear();
    ASSERT_FALSE(Run(u"LOADDIALOGS=" + F("u8.txt") + u"\r\nSAVEDIALOGS=" + F("out.txt")).stopped);
    ASSERT_EQ(state.dialogs.count(), 1u);
    EXPECT_EQ(state.dialogs.records[0].dlgText, u"Привет, мир");
    EXPECT_EQ(dir.Read("out.txt"), dir.Read("u8.txt"));
    EXPECT_EQ(std::count_if(host.logLines.begin(), host.logLines.end(),
                            [](const std::u16string& l) { return l.find(u"UTF-8") != std::u16string::npos; }),
              1);
  }
  dir.Write("old.txt", Utf8(u"4661 Привет\r\n4662 Ёлка\r\n"));
  host.fileNames = {F("old.txt"), F("old-out.txt")};
  ImportTranslationFile(state);
  ASSERT_EQ(state.dialogs.count(), 2u);
  EXPECT_EQ(state.dialogs.records[1].dlgText, u"Ёлка");
  host.answers = {MsgAnswer::Yes, MsgAnswer::No};
  ExportTranslationFile(state);
  EXPECT_EQ(dir.Read("old-out.txt"), dir.Read("old.txt"));
}

// SAVELOG over the patch just written once destroyed it: every replaced
// file keeps its one-generation .bak.
TEST_F(BadInput, PatchesAndLogsKeepABackupOfTheFileTheyReplace) {
  Bytes original(0x100, 1), working = original;
  working[0x10] = 2;
  dir.Write("orig.gba", original);
  dir.Write("work.gba", working);
  dir.Write("p.bps", Bytes{9, 9});
  ASSERT_FALSE(Run(u"LOADROM=" + F("work.gba") + u"\r\nLOADORIGINALROM=" + F("orig.gba") +
                   u"\r\nCOMPAREROMS\r\nSAVEIPS=" + F("m.ips") + u"\r\nSAVELOG=" + F("m.ips") + u"\r\nSAVEBPS=" +
                   F("p.bps"))
                   .stopped);
  const Bytes patch = dir.Read("m.ips.bak");
  EXPECT_EQ(Bytes(patch.begin(), patch.begin() + 5), (Bytes{'P', 'A', 'T', 'C', 'H'}));
  EXPECT_EQ(dir.Read("p.bps.bak"), (Bytes{9, 9}));
}

// Refusals that logged a plain line and let the run exit 0 are errors in a
// batch; the same call from the window keeps its plain line.
TEST_F(BadInput, RefusalsAreErrorsInABatchOnly) {
  dir.Write("game.gba", Bytes(64, 0));
  dir.WriteText("tpl.txt", u"a\r\nb\r\nc\r\n");
  const std::u16string scripts[] = {
      u"SAVEBPS=" + F("p.bps"),
      u"SAVEROM=" + F("x.gba"),
      u"SAVEDIALOGS=" + F("x.txt"),
      u"SAVETABLE=" + F("x.tbl"),
      u"SAVEIPS=" + F("x.ips"),
      u"APPLYBPSTOROM",
      u"APPLYIPSTOROM",
      u"LOADROM=" + F("game.gba") + u"\r\nRELATIVESEARCH=abc,3",
      u"LOADROM=" + F("game.gba") + u"\r\nRELATIVESEARCH=a1,1",
      u"GENERATETABLE=" + F("tpl.txt") + u"," + F("gen.tbl") + u",&hFFFF",
  };
  for (const std::u16string& script : scripts) {
    ScriptedHost h;
    AppState fresh(h);
    StartUp(fresh, FromPath(dir.path()));
    dir.WriteText("script.txt", script);
    RunBatch(fresh, dir.File("script.txt"));
    EXPECT_GT(fresh.ctx.errorLinesLogged, 0u) << ToUtf8(script);
  }
  EXPECT_FALSE(dir.Exists("gen.tbl")) << "a table its own loader would refuse is not written";

  SaveRom(state, F("x.gba"));
  EXPECT_EQ(host.logLines.back(), u"ROM еще не загружен");
  EXPECT_EQ(host.logColours.back(), kColourDefault);
  EXPECT_EQ(state.ctx.errorLinesLogged, 0u);
}
