#include "codec/decoder.h"

#include <gtest/gtest.h>

#include "codec_test_support.h"
#include "tests/support/temp_dir.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

struct Decoder : ::testing::Test {
  ScriptedHost host;
  AppState state{host};

  // The text of one record written by DecodeRange, from an ANSI output.
  std::u16string Decode(std::int32_t start, std::int32_t end) {
    RecordOutput out(true);
    DecodeRange(state, start, end, out);
    std::u16string all = DecodeTextFile(out.bytes());
    std::size_t from = all.find(state.ctx.settings.DialogAttrDelimStr);
    std::size_t to = all.rfind(state.ctx.settings.DialogDelimiterStr);
    if (from == std::u16string::npos || to == std::u16string::npos) return u"<no record>";
    from += state.ctx.settings.DialogAttrDelimStr.size();
    return all.substr(from, to - from);
  }
};

}  // namespace

TEST_F(Decoder, SbcsWritesEscapesForBytesWithoutEntries) {
  LoadLines(state, {u"41=A", u"42=B", u"0A=<$VBCRLF>"});
  state.table.type = u"SBCS";
  PutRom(state, {0x41, 0x00, 0x42, 0x0A, 0xFF});
  EXPECT_EQ(Decode(0, 3), u"A<$00>B");
  EXPECT_EQ(Decode(2, 0), u"B\r\n<$FF>") << "a table text with CR LF is a real line break";
}

TEST_F(Decoder, Sbcs2PrefersSingleBytesAndFallsBackToEscapes) {
  LoadLines(state, {u"TrTableType=SBCS2", u"41=A", u"8140=X", u"4142=never"});
  PutRom(state, {0x81, 0x40, 0x41, 0x81, 0x41, 0x42, 0x81});
  EXPECT_EQ(Decode(0, 3), u"XA");
  EXPECT_EQ(Decode(3, 5), u"<$81>A");
  EXPECT_EQ(Decode(2, 4), u"A<$81>") << "a last byte without entry at the end of the range";
  EXPECT_EQ(Decode(4, 6), u"A<$42>") << "a byte with its own entry never starts a two-byte code";
  EXPECT_EQ(Decode(6, 0), u"<$81>");
}

TEST_F(Decoder, Sbcs2ZeroFirstByteReachesTheOneByteEntry) {
  LoadLines(state, {u"TrTableType=SBCS2", u"41=A"});
  PutRom(state, {0x00, 0x41});
  EXPECT_EQ(Decode(0, 2), u"A");
}

TEST_F(Decoder, DbcsReadsPairsAndSkipsAnOddLastByte) {
  LoadLines(state, {u"TrTableType=DBCS", u"8140=あ"});
  PutRom(state, {0x81, 0x40, 0x12, 0x34, 0x81});
  EXPECT_EQ(Decode(0, 4), u"あ<$12><$34>");
  EXPECT_EQ(Decode(0, 3), u"あ");
  EXPECT_EQ(Decode(2, 0), u"<$12><$34>");
}

TEST_F(Decoder, RangesAreNormalisedInPlace) {
  LoadLines(state, {u"41=A"});
  PutRom(state, {0x41, 0x41, 0x41});
  RecordOutput out(false);
  std::int32_t start = -5, end = 0;
  DecodeRange(state, start, end, out);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 3);
  start = 1;
  end = 1000;
  DecodeRange(state, start, end, out);
  EXPECT_EQ(end, 3);
  start = 2;
  end = 1;
  DecodeRange(state, start, end, out);  // an empty range is still written
  EXPECT_EQ(FromCp1251(std::string(out.bytes().begin(), out.bytes().end())),
            u"0,0\r\n¶\r\nAAA\r\n§\r\n1,1\r\n¶\r\nAA\r\n§\r\n2,2\r\n¶\r\n\r\n§\r\n");
  EXPECT_EQ(out.recordCount(), 3u);
}

TEST_F(Decoder, LongTextsAreTrimmedAfter32000Characters) {
  LoadLines(state, {u"41=A", u"42=<$BB>"});
  PutRom(state, std::vector<std::uint8_t>(40000, 0x41));
  std::u16string text = Decode(0, 40000);
  EXPECT_EQ(text, std::u16string(32001, u'A') + u"Trimmed...!!!...");

  // The cap is checked after whole codes.
  PutRom(state, std::vector<std::uint8_t>(40000, 0x42));
  EXPECT_EQ(Decode(0, 0).size(), 32005u + 16u);
  state.table.type = u"DBCS";
  EXPECT_EQ(Decode(0, 0).size(), 32010u + 16u);
}

TEST_F(Decoder, MissingRomTableOrKnownTypeWritesNothing) {
  RecordOutput out(false);
  std::int32_t s = 0, e = 0;
  DecodeRange(state, s, e, out);
  EXPECT_EQ(LogLines(state).back(), u"ROM еще не загружен");
  PutRom(state, {0x41});
  DecodeRange(state, s, e, out);
  EXPECT_EQ(LogLines(state).back(), u"Таблица еще не загружена");
  LoadLines(state, {u"41=A"});
  state.table.type = u"sbcs";
  DecodeRange(state, s, e, out);
  EXPECT_EQ(LogLines(state).back(), u"Неизвестный тип таблицы перекодировки...тип таблицы может быть SBCS/SBCS2/DBCS");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Неизвестный тип таблицы перекодировки");
  EXPECT_TRUE(out.bytes().empty());
}

TEST_F(Decoder, RecordStartCorrections) {
  Settings s;
  struct Case {
    std::u16string_view caps, digits, text, result;
    std::int32_t advance;
  };
  for (Case c : {Case{u"YES", u"NO", u"XHello", u"Hello", 1}, Case{u"YES", u"NO", u"ABC", u"C", 2},
                 Case{u"YES", u"NO", u"A", u"A", 0}, Case{u"NO", u"YES", u"12ab", u"ab", 2},
                 Case{u"NO", u"YES", u"123", u"", 3}, Case{u"YES", u"YES", u"AB12c", u"B12c", 1},
                 Case{u"YES", u"YES", u"12AB", u"AB", 2}, Case{u"YES", u"YES", u"A1B", u"A1B", 0},
                 Case{u"NO", u"NO", u"AB12", u"AB12", 0}, Case{u"YES", u"NO", u"ПРивет", u"ПРивет", 0}}) {
    s.CorrectDlgTwoCaps = c.caps;
    s.CorrectDlgNumStart = c.digits;
    std::int32_t offset = 100;
    EXPECT_EQ(CorrectRecordStart(s, offset, c.text), c.result) << ToUtf8(c.text);
    EXPECT_EQ(offset, 100 + c.advance) << ToUtf8(c.text);
  }
}

TEST_F(Decoder, RecordCarriesCorrectedOffsetsAndPostprocessedText) {
  LoadLines(state, {u"<$POSTPROCESSOR>ab,x", u"<$POSTPROCESSOR>x,y", u"<$POSTPROCESSOR>,never", u"FE=z"});
  state.ctx.settings.CorrectDlgNumStart = u"YES";
  state.ctx.settings.DialogAttrSeparator = u";";
  state.ctx.settings.DialogAttrDelimStr = u"|";
  state.ctx.settings.DialogDelimiterStr = u"#";
  RecordOutput out(false);
  WriteExtractedRecord(state, out, u"12abcab", 254);
  WriteExtractedRecord(state, out, u"ignored", -1);
  WriteExtractedRecord(state, out, u"", 0);
  EXPECT_EQ(std::string(out.bytes().begin(), out.bytes().end()), "256;100|ycy#0;0|#");
}

TEST_F(Decoder, OutputEncodings) {
  RecordOutput unicode(true);
  unicode.Append(u"Aあ");
  EXPECT_EQ(unicode.bytes(), (Bytes{0xFF, 0xFE, 0x41, 0x00, 0x42, 0x30}));

  TempDir dir;
  RecordOutput ansi = RecordOutput::ForSettings(state.ctx.settings);
  ansi.Append(u"Яあ");
  EXPECT_EQ(ansi.bytes(), (Bytes{0xDF, '?'}));
  ASSERT_TRUE(ansi.Save(state, dir.File("out.txt")));
  EXPECT_EQ(dir.Read("out.txt"), ansi.bytes());
  EXPECT_EQ(LogColourOf(state, u"Внимание! 1 символов нет в кодировке Windows-1251"), kColourDarkRed);

  state.ctx.writeFaults.failAfterBytes = 1;
  EXPECT_FALSE(unicode.Save(state, dir.File("out.txt")));
  EXPECT_EQ(dir.Read("out.txt"), ansi.bytes()) << "a failed write keeps the old file";
  EXPECT_EQ(LogColourOf(state, u"Не удалось записать файл "), kColourBrightRed);
}

TEST(ByteEscapes, AreUpperCaseTwoDigitMarkup) {
  EXPECT_EQ(ByteEscape(0x0A), u"<$0A>");
  EXPECT_EQ(ByteEscape(0xFF), u"<$FF>");
  EXPECT_EQ(ByteEscape(0x00), u"<$00>");
}

TEST_F(Decoder, StartsBeyondTheRomGiveEmptyRecordsInEveryWalk) {
  for (const char16_t* type : {u"TrTableType=SBCS", u"TrTableType=SBCS2", u"TrTableType=DBCS"}) {
    LoadLines(state, {type, u"4142=AB", u"41=A"});
    PutRom(state, {0x41, 0x42, 0x41});
    EXPECT_EQ(Decode(INT32_MAX, 0), u"");
    EXPECT_EQ(Decode(INT32_MAX - 1, INT32_MAX), u"");
  }
}
