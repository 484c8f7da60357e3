#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

#include "app/app.h"
#include "tests/support/scripted_host.h"
#include "extract/scan_extract.h"
#include "tests/extract/extract_test_support.h"

using namespace vorkat;
using namespace vorkat::extract_testing;

namespace {

struct ScanExtraction : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ScratchDir dir;
  std::u16string out = dir.File("out.txt");

  // Scans the range and returns the output file's text.
  std::u16string Scan(std::int32_t start = 0, std::int32_t end = 0) {
    ScanExtract(state, start, end, out);
    return ReadText(out);
  }

  void HelloRom() {
    PutRom(state, {0x00, 0x48, 0x45, 0x4C, 0x4C, 0x4F, 0x00, 0x41, 0x42, 0xFF});
    PutLetterTable(state);
    SetEndCode(state, 0xFF);
    state.ctx.settings.NumberOfTextChars = 4;
  }
};

}  // namespace

TEST_F(ScanExtraction, HelloExampleDropsShortRuns) {
  HelloRom();
  EXPECT_EQ(Scan(), Rec(1, u"HELLO"));
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Начали процесс вынимания текста из ROM "));
  EXPECT_TRUE(HasLine(host.logLines, u"сохранили вынутый текст в файл:" + out));
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(ScanExtraction, ExtractingOverAnEditedTranslationKeepsItAsBak) {
  HelloRom();
  WriteText(out, u"edited translation");
  EXPECT_EQ(Scan(), Rec(1, u"HELLO"));
  EXPECT_EQ(ReadText(out + u".bak"), u"edited translation");
}

TEST_F(ScanExtraction, HelloExampleInHexModeSplitsAtTheEndCode) {
  HelloRom();
  state.codecOptions.HexEncodeUnknownChars = u"YES";
  EXPECT_EQ(Scan(), Rec(0, u"<$00>HELLO<$00>AB") + Rec(9, u"<$FF>"));
}

TEST_F(ScanExtraction, HexModeRecordAfterAnEndCodeCarriesTheEndCodeOffset) {
  PutRom(state, {0x48, 0x49, 0xFF, 0x00, 0x41, 0x42, 0xFF});
  PutLetterTable(state);
  SetEndCode(state, 0xFF);
  state.codecOptions.HexEncodeUnknownChars = u"YES";
  // An end code before any run writes nothing; the record that starts with
  // an end code's escape starts at that end code.
  EXPECT_EQ(Scan(), Rec(0, u"HI") + Rec(2, u"<$FF><$00>AB") + Rec(6, u"<$FF>"));

  PutRom(state, {0xFF, 0x41, 0x42});
  EXPECT_EQ(Scan(), Rec(0, u"<$FF>AB"));
}

TEST_F(ScanExtraction, RunsNeedTwoCodesWhateverTheSetting) {
  PutRom(state, {0x41, 0x00, 0x42, 0x00, 0x43, 0x44, 0x00, 0x45, 0x00});
  PutLetterTable(state);
  for (int n : {0, 1, 2}) {
    state.ctx.settings.NumberOfTextChars = n;
    EXPECT_EQ(Scan(), Rec(4, u"CD")) << n;
  }
}

TEST_F(ScanExtraction, ThresholdCountsOffsetsInsideAndCharactersAtTheEnd) {
  PutLetterTable(state);
  state.table.entries[0x30] = u"XYZ";
  state.ctx.settings.NumberOfTextChars = 4;  // T = 3
  // Inside the range a run of one code is too short whatever its text ...
  PutRom(state, {0x00, 0x30, 0x00, 0x41, 0x42, 0x43, 0x44, 0x00, 0x30});
  // ... but a run that reaches the end is written by its length in characters.
  EXPECT_EQ(Scan(), Rec(3, u"ABCD") + Rec(8, u"XYZ"));
  PutRom(state, {0x00, 0x41, 0x42});
  EXPECT_EQ(Scan(), u"");
}

TEST_F(ScanExtraction, EndCodeWithAnEntryStillEndsARun) {
  PutRom(state, {0x41, 0x42, 0xFF, 0x43, 0x44});
  PutLetterTable(state);
  state.table.entries[0xFF] = u"<$END>";
  SetEndCode(state, 0xFF);
  EXPECT_EQ(Scan(), Rec(0, u"AB") + Rec(3, u"CD"));
}

TEST_F(ScanExtraction, DbcsWalksPairsAndSkipsAnOddLastByte) {
  PutLetterTable(state, u"DBCS");
  state.table.entries[0x8141] = u"a";
  state.table.entries[0x8142] = u"b";
  state.table.entries[0x8143] = u"c";
  state.ctx.settings.NumberOfTextChars = 2;  // T = 1: two pairs
  PutRom(state, {0x81, 0x41, 0x81, 0x42, 0x00, 0x00, 0x81, 0x43, 0x81});
  EXPECT_EQ(Scan(), Rec(0, u"ab") + Rec(6, u"c"));

  state.codecOptions.HexEncodeUnknownChars = u"YES";
  SetEndCode(state, 0xFFFF);
  PutRom(state, {0x81, 0x41, 0x12, 0x34, 0xFF, 0xFF, 0x81, 0x42, 0x81});
  EXPECT_EQ(Scan(), Rec(0, u"a<$12><$34>") + Rec(4, u"<$FF><$FF>b"));
}

TEST_F(ScanExtraction, Sbcs2ReadsTwoByteCodesAndALoneLastByte) {
  PutLetterTable(state, u"SBCS2");
  state.table.entries[0x8140] = u"X";
  state.table.entries[0x81FF] = u"<$END>";
  SetEndCode(state, 0x81FF);
  state.ctx.settings.NumberOfTextChars = 2;
  PutRom(state, {0x81, 0x40, 0x41, 0x00, 0x81, 0x40, 0x81, 0xFF, 0x42, 0x43});
  // The span is measured in bytes: "X" + "A" spans 2, "X" alone spans 0.
  EXPECT_EQ(Scan(), Rec(0, u"XA") + Rec(8, u"BC"));

  state.codecOptions.HexEncodeUnknownChars = u"YES";
  PutRom(state, {0x41, 0x81, 0xFF, 0x42, 0x81});
  EXPECT_EQ(Scan(), Rec(0, u"A") + Rec(1, u"<$81FF>B<$81>"));
}

TEST_F(ScanExtraction, UnicodeOutputHasOneMark) {
  HelloRom();
  state.ctx.settings.WriteTextInUnicode = u"YES";
  state.table.entries[0x41] = u"あ";
  state.codecOptions.HexEncodeUnknownChars = u"YES";
  std::u16string text = Scan();
  std::string bytes = ReadBytes(out);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(bytes.find("\xFF\xFE", 2), std::string::npos);
  EXPECT_EQ(text, Rec(0, u"<$00>HELLO<$00>あB") + Rec(9, u"<$FF>"));
}

TEST_F(ScanExtraction, RangeIsNormalisedInPlace) {
  HelloRom();
  std::int32_t start = -5, end = 0;
  ScanExtract(state, start, end, out);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 10);
  state.ctx.settings.NumberOfTextChars = 2;
  start = 2, end = 1000;
  ScanExtract(state, start, end, out);
  EXPECT_EQ(end, 10);
  EXPECT_EQ(ReadText(out), Rec(2, u"ELLO") + Rec(7, u"AB"));
}

TEST_F(ScanExtraction, StartsBeyondTheRomGiveAnEmptyFile) {
  HelloRom();
  for (const char16_t* type : {u"SBCS", u"SBCS2", u"DBCS"}) {
    state.table.type = type;
    for (std::int32_t from : {10, 11, 1000, INT32_MAX}) {
      std::int32_t start = from, end = 0;
      WriteText(out, u"old");
      ScanExtract(state, start, end, out);
      EXPECT_EQ(ReadText(out), u"") << ToUtf8(type) << " " << from;
      EXPECT_EQ(end, 10);
    }
  }
}

TEST_F(ScanExtraction, RefusedRunsLeaveTheFileAlone) {
  WriteText(out, u"old");
  ScanExtract(state, state.ctx.settings.StartExtrFromAddr, state.ctx.settings.EndExtrFromAddr);
  EXPECT_EQ(host.logLines, std::vector<std::u16string>{u"ROM еще не загружен"});
  HelloRom();
  state.table.isLoaded = false;
  ScanExtract(state, state.ctx.settings.StartExtrFromAddr, state.ctx.settings.EndExtrFromAddr);
  EXPECT_EQ(host.logLines.back(), u"Таблица еще не загружена");
  EXPECT_TRUE(host.prompts.empty());

  state.table.isLoaded = true;
  state.table.type = u"sbcs";
  state.ctx.settings.WriteTextInUnicode = u"YES";
  host.fileNames = {out};
  ScanExtract(state, state.ctx.settings.StartExtrFromAddr, state.ctx.settings.EndExtrFromAddr);
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Save text to file");
  EXPECT_EQ(host.prompts[0].text, u"Вынутый текст (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Неизвестный тип таблицы перекодировки");
  EXPECT_EQ(host.logLines.back(), u"Неизвестный тип таблицы перекодировки...тип таблицы может быть SBCS/SBCS2/DBCS");
  EXPECT_EQ(ReadText(out), u"old");

  // A cancelled prompt ends silently.
  state.table.type = u"SBCS";
  std::size_t lines = host.logLines.size();
  ScanExtract(state, state.ctx.settings.StartExtrFromAddr, state.ctx.settings.EndExtrFromAddr);
  EXPECT_EQ(host.logLines.size(), lines);
  EXPECT_EQ(ReadText(out), u"old");
}

TEST_F(ScanExtraction, StopKeepsTheRecordsWrittenSoFar) {
  std::vector<std::uint8_t> rom(40000, 0);
  for (std::size_t at = 0; at + 4 < rom.size(); at += 100) rom[at + 1] = 0x41, rom[at + 2] = 0x42;
  PutRom(state, rom);
  PutLetterTable(state);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] {
    if (state.ctx.progress.value >= 10000) state.ctx.CancelRequested = true;
  };
  std::u16string text = Scan();
  EXPECT_TRUE(HasLine(host.logLines, u"Процесс вынимания текста прерван пользователем"));
  EXPECT_FALSE(HasLineStartingWith(host.logLines, u"сохранили вынутый текст"));
  EXPECT_FALSE(state.ctx.progress.visible);
  EXPECT_TRUE(StartsWith(text, Rec(1, u"AB") + Rec(101, u"AB")));
  std::size_t records = 0;
  for (std::size_t p = text.find(u'\u00A7'); p != std::u16string::npos; p = text.find(u'\u00A7', p + 1)) ++records;
  EXPECT_GE(records, 100u);
  EXPECT_LT(records, 400u);
}

TEST_F(ScanExtraction, RecordsGoThroughTheStartCorrections) {
  PutRom(state, {0x00, 0x58, 0x48, 0x41, 0x00});
  PutLetterTable(state);
  state.table.entries[0x48] = u"h";
  state.table.entries[0x41] = u"i";
  state.ctx.settings.CorrectDlgTwoCaps = u"YES";
  EXPECT_EQ(Scan(), Rec(1, u"Xhi"));
  PutRom(state, {0x00, 0x58, 0x59, 0x48, 0x41, 0x00});
  EXPECT_EQ(Scan(), Rec(2, u"Yhi"));
}
