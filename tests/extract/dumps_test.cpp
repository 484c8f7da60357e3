#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unistd.h>

#include "app/app.h"
#include "core/numbers.h"
#include "tests/support/scripted_host.h"
#include "extract/dump_by_addresses.h"
#include "extract/dump_via_pointers.h"
#include "extract/pointer_report.h"
#include "tests/extract/extract_test_support.h"

using namespace vorkat;
using namespace vorkat::extract_testing;

namespace {

// A ROM whose byte at offset k is the letter 'A' + k % 26, and the letter table.
struct Dumps : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ScratchDir dir;
  std::u16string report = dir.File("ptrs.txt");
  std::u16string temp = dir.File("sorted.txt");
  std::u16string out = dir.File("out.txt");
  std::u16string list = dir.File("list.txt");

  void SetUp() override {
    std::vector<std::uint8_t> rom(1000);
    for (std::size_t k = 0; k < rom.size(); ++k) rom[k] = static_cast<std::uint8_t>(0x41 + k % 26);
    PutRom(state, rom);
    PutLetterTable(state);
  }

  static std::u16string Letters(std::int32_t from, std::int32_t to) {
    std::u16string s;
    for (std::int32_t k = from; k < to; ++k) s.push_back(static_cast<char16_t>(u'A' + k % 26));
    return s;
  }
  static std::u16string Block(std::int32_t from, std::int32_t to) { return Rec(from, Letters(from, to)); }

  // A report as the pointer search writes it, for the given targets.
  void WriteReport(std::initializer_list<std::uint32_t> targets) {
    std::u16string text;
    std::int32_t at = 0x100;
    for (std::uint32_t t : targets) {
      text += PointerReportLine(at, {std::uint8_t(t & 0xFF), std::uint8_t(t >> 8 & 0xFF), std::uint8_t(t >> 16), 8});
      text += u"\r\n";
      at += 4;
    }
    text += u"Всего найдено поинтеров " + NumText(static_cast<long long>(targets.size())) + u"\r\n";
    WriteText(report, text);
  }
};

}  // namespace

TEST(SortOffsets, OrdersByNumberAndRewritesOnlyEntriesMovedUp) {
  ScriptedHost host;
  AppState state(host);
  std::vector<std::u16string> list = {u"300", u"0100"};
  SortOffsets(state, list, 0, 1);
  EXPECT_EQ(list, (std::vector<std::u16string>{u"0100", u"300"}));

  list = {u"0300x", u"100"};
  SortOffsets(state, list, 0, 1);
  EXPECT_EQ(list, (std::vector<std::u16string>{u"100", u"300"}));

  list = {u"100", u"99", u"&H20", u"2.5", u"3.5"};
  SortOffsets(state, list, 0, 4);
  std::vector<std::int32_t> numbers;
  for (auto& e : list) numbers.push_back(ReadInt(e));
  EXPECT_EQ(numbers, (std::vector<std::int32_t>{2, 4, 32, 99, 100}));

  // Only the given stretch is sorted; indices outside the list are cut.
  list = {u"9", u"8", u"7", u"1"};
  SortOffsets(state, list, 1, 2);
  EXPECT_EQ(list, (std::vector<std::u16string>{u"9", u"7", u"8", u"1"}));
  SortOffsets(state, list, -3, 40);
  EXPECT_EQ(list, (std::vector<std::u16string>{u"1", u"7", u"8", u"9"}));
}

TEST(SortOffsets, SortsLargeListsWithManyDuplicates) {
  ScriptedHost host;
  AppState state(host);
  std::mt19937 rng(7);
  std::vector<std::u16string> list;
  std::vector<std::int32_t> expected;
  for (int k = 0; k < 20000; ++k) {
    std::int32_t v = static_cast<std::int32_t>(rng() % 500);
    expected.push_back(v);
    list.push_back(k % 3 ? DecText(v) : u" " + DecText(v) + u" ");
  }
  // Already sorted and reversed halves as well.
  for (int k = 0; k < 5000; ++k) expected.push_back(k), list.push_back(DecText(k));
  for (int k = 5000; k > 0; --k) expected.push_back(k), list.push_back(DecText(k));
  SortOffsets(state, list, 0, static_cast<std::int32_t>(list.size()) - 1);
  std::sort(expected.begin(), expected.end());
  ASSERT_EQ(list.size(), expected.size());
  for (std::size_t k = 0; k < list.size(); ++k) ASSERT_EQ(ReadInt(list[k]), expected[k]) << k;
}

TEST_F(Dumps, ViaPointersSortsDeduplicatesAndDumpsToTheNextTarget) {
  WriteReport({500, 300, 500, 100});
  DumpViaPointers(state, report, temp, out, false);
  EXPECT_EQ(ReadText(temp), u"100\r\n300\r\n500\r\n");
  const std::u16string expected = Block(100, 300) + Block(300, 500) + Block(500, 1000);
  EXPECT_EQ(ReadText(out), expected);
  for (auto line : {u"Читаем указатели...", u"Сортируем указатели...", u"Чистим дубли...",
                    u"Начнем, собственно дампить текст...", u"Закончили dump по указателям."})
    EXPECT_TRUE(HasLine(host.logLines, line)) << ToUtf8(line);
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Начали процесс дампа текста из ROM'а по указателям."));

  // A second run takes the list from the temporary file; the report must
  // exist but is not read.
  WriteText(report, u"");
  WriteText(out, u"old");
  DumpViaPointers(state, report, temp, out, true);
  EXPECT_EQ(ReadText(out), expected);

  // An edited temporary file with commas is split at the commas.
  WriteText(temp, u"100, 300 ,500");
  DumpViaPointers(state, report, temp, out, true);
  EXPECT_EQ(ReadText(out), expected);
  WriteText(temp, u"100,300,500,");
  DumpViaPointers(state, report, temp, out, true);
  EXPECT_EQ(ReadText(out), expected);

  // A temporary file with bare LF line ends is one entry: the log says why.
  WriteText(temp, u"100\n300\n500\n");
  DumpViaPointers(state, report, temp, out, true);
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Внимание! В файле " + temp)) << ToUtf8(host.logLines.back());
}

TEST_F(Dumps, ViaPointersDeduplicatesByNumber) {
  WriteText(report, u"x), указывают на  0300 (12C)\r\nx), указывают на  300 (12C)\r\nx), указывают на  100\r\n");
  DumpViaPointers(state, report, temp, out, false);
  std::u16string sorted = ReadText(temp);
  auto lines = SplitCrLf(sorted);
  ASSERT_EQ(lines.size(), 3u) << ToUtf8(sorted);
  EXPECT_EQ(lines[0], u"100");
  EXPECT_EQ(ReadInt(lines[1]), 300);
  EXPECT_EQ(ReadText(out), Block(100, 300) + Block(300, 1000));
}

TEST_F(Dumps, ViaPointersInUnicodeStartsWithTheMark) {
  state.ctx.settings.WriteTextInUnicode = u"YES";
  WriteReport({10});
  DumpViaPointers(state, report, temp, out, false);
  std::string bytes = ReadBytes(out);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(ReadText(out), Block(10, 1000));
  // The temporary file stays Windows-1251.
  EXPECT_EQ(ReadBytes(temp), "10\r\n");
}

TEST_F(Dumps, ViaPointersWithoutUsableLinesWritesEmptyFiles) {
  WriteText(report, u"Всего найдено поинтеров  0\r\n");
  WriteText(out, u"old");
  state.ctx.settings.WriteTextInUnicode = u"YES";
  DumpViaPointers(state, report, temp, out, false);
  EXPECT_EQ(ReadBytes(temp), "");
  EXPECT_EQ(ReadBytes(out), "\xFF\xFE");
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + report + u" не нашлось ни одной строки с указателями"));
}

TEST_F(Dumps, ViaPointersWithAMissingReportTouchesNothing) {
  WriteText(out, u"old");
  state.ctx.settings.WriteTextInUnicode = u"YES";
  DumpViaPointers(state, dir.File("nope.txt"), temp, out, true);
  EXPECT_EQ(host.logLines.back(), u"Не найден файл " + dir.File("nope.txt"));
  EXPECT_EQ(ReadText(out), u"old");
}

TEST_F(Dumps, ViaPointersAsksItsQuestionsInOrder) {
  WriteReport({500, 300});
  WriteText(out, u"old");
  state.ctx.settings.WriteTextInUnicode = u"YES";
  // Cancelled at the temporary file: the old output stays.
  host.fileNames = {u"  " + report + u" ", out};
  host.answers = {MsgAnswer::No};
  DumpViaPointers(state);
  ASSERT_EQ(host.prompts.size(), 3u);
  EXPECT_EQ(host.prompts[0].title, u"Pointers file");
  EXPECT_FALSE(host.prompts[0].forSave);
  EXPECT_EQ(host.prompts[0].text, u"Файл с указателями (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  EXPECT_EQ(host.prompts[1].title, u"Save dialogs to file");
  EXPECT_TRUE(host.prompts[1].forSave);
  EXPECT_EQ(host.prompts[2].title, u"Временный файл с сортированными указателями ");
  EXPECT_TRUE(host.prompts[2].forSave);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"Хочешь будем читать указатели сразу из временного файла ?");
  EXPECT_EQ(host.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(ReadText(out), u"old");

  host.prompts.clear();
  host.fileNames = {report, out, temp};
  host.answers = {MsgAnswer::No};
  DumpViaPointers(state);
  EXPECT_EQ(ReadText(out), Block(300, 500) + Block(500, 1000));
  host.fileNames = {report, out, temp};
  host.answers = {MsgAnswer::Yes};
  DumpViaPointers(state);
  EXPECT_FALSE(host.prompts.back().forSave);  // the temporary file is opened after Yes
  EXPECT_EQ(ReadText(out), Block(300, 500) + Block(500, 1000));
}

TEST_F(Dumps, StopKeepsTheRecordsDumpedSoFar) {
  WriteReport({100, 200, 300, 400});
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  host.onProcessEvents = [&] {
    if (HasLine(host.logLines, u"Начнем, собственно дампить текст...") && state.ctx.progress.value >= 1)
      state.ctx.CancelRequested = true;
  };
  DumpViaPointers(state, report, temp, out, false);
  EXPECT_TRUE(HasLine(host.logLines, u"Процесс дампа текста прерван пользователем"));
  EXPECT_FALSE(HasLine(host.logLines, u"Закончили dump по указателям."));
  EXPECT_EQ(ReadText(out), Block(100, 200) + Block(200, 300));
}

TEST_F(Dumps, WithoutRomOrTableNothingIsAsked) {
  state.rom.isLoaded = false;
  DumpViaPointers(state);
  DumpByAddressList(state, list, out, 0);
  EXPECT_EQ(host.logLines, (std::vector<std::u16string>{u"ROM еще не загружен", u"ROM еще не загружен"}));
  state.rom.isLoaded = true;
  state.table.isLoaded = false;
  DumpViaPointers(state);
  EXPECT_EQ(host.logLines.back(), u"Таблица еще не загружена");
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(Dumps, AddressListInListOrder) {
  WriteText(list, u"100,300,200");
  DumpByAddressList(state, list, out, 0);
  // 300 is followed by a smaller offset: an empty record.
  EXPECT_EQ(ReadText(out), Block(100, 300) + Rec(300, u"") + Block(200, 1000));
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Начали процесс дампа текста из ROM'а по адресам."));
  EXPECT_EQ(host.logLines.back(), u"Закончили dump по указателям.");

  DumpByAddressList(state, u" " + list + u" ", out, 16);
  EXPECT_EQ(ReadText(out), Block(100, 116) + Block(300, 316) + Block(200, 216));
}

TEST_F(Dumps, AddressListOnLinesWithHexEntries) {
  // A final line break adds an empty entry: skipped, and it makes the entry
  // before it run to the end of the ROM.
  WriteText(list, u"&H64\r\n  &h12c \r\n\r\n950\r\n");
  DumpByAddressList(state, list, out, 0);
  EXPECT_EQ(ReadText(out), Block(100, 300) + Block(300, 1000) + Block(950, 1000));
}

TEST_F(Dumps, CommaListsMayBreakLinesAfterTheCommas) {
  // Entries after a comma and a line break begin with CR LF; a final ",\r\n"
  // is an empty entry, not offset 0.
  WriteText(list, u"100,\r\n300,\r\n200,\r\n");
  DumpByAddressList(state, list, out, 16);
  EXPECT_EQ(ReadText(out), Block(100, 116) + Block(300, 316) + Block(200, 216));

  WriteReport({300, 100});
  DumpViaPointers(state, report, temp, out, false);
  const std::u16string expected = Block(100, 300) + Block(300, 1000);
  ASSERT_EQ(ReadText(out), expected);
  WriteText(temp, u"100,\r\n300,\r\n");
  DumpViaPointers(state, report, temp, out, true);
  EXPECT_EQ(ReadText(out), expected);
}

TEST_F(Dumps, ListEntriesThatAreNoRomOffsetsAreReportedAndSkipped) {
  // The entry after 100 is a word: 100 runs to the next offset, 300.
  WriteText(list, u"100\r\nabc\r\n300\r\n-5\r\n1000\r\n2.5\r\n&h3E8");
  DumpByAddressList(state, list, out, 0);
  EXPECT_EQ(ReadText(out), Block(100, 300) + Block(300, 1000));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + list + u" строка 2 'abc' пропущена: это не число"));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + list + u" строка 4 '-5' пропущена: отрицательный адрес"));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + list + u" строка 5 '1000' пропущена: адрес за концом ROM'а"));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + list + u" строка 6 '2.5' пропущена: это не число"));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + list + u" строка 7 '&h3E8' пропущена: адрес за концом ROM'а"));
  EXPECT_EQ(state.ctx.log.spans.size(), 5u) << "each report is one dark-red line";
  for (const LogSpan& span : state.ctx.log.spans) EXPECT_EQ(span.colour, kColourDarkRed);

  // A comma list names the line an entry stands on.
  WriteText(list, u"100,\r\n200,\r\nx1,300");
  DumpByAddressList(state, list, out, 16);
  EXPECT_EQ(ReadText(out), Block(100, 116) + Block(200, 216) + Block(300, 316));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + list + u" строка 3 'x1' пропущена: это не число"));

  // Report targets are checked the same way, with the report's line.
  WriteText(report, u"\r\nадрес байтов в роме=hex(10), указывают на  5000 (1388)-->88,13,00,08\r\n" +
                        PointerReportLine(0x20, {200, 0, 0, 8}));
  DumpViaPointers(state, report, temp, out, false);
  EXPECT_EQ(ReadText(out), Block(200, 1000));
  EXPECT_TRUE(HasLine(host.logLines, u"В файле " + report + u" строка 2 '5000' пропущена: адрес за концом ROM'а"));
}

TEST_F(Dumps, ViaPointersWarnsOfAReportWithBareLineFeeds) {
  WriteText(report, PointerReportLine(0x20, {200, 0, 0, 8}) + u"\n" + PointerReportLine(0x24, {100, 0, 0, 8}));
  DumpViaPointers(state, report, temp, out, false);
  EXPECT_TRUE(HasLine(host.logLines, u"Внимание! В файле " + report +
                                         u" строки разделены LF, а не CR LF: файл будет прочитан как одна строка"));
}

TEST_F(Dumps, AddressListFailuresTouchNothing) {
  WriteText(out, u"old");
  DumpByAddressList(state, dir.File("nope.txt"), out, 0);
  EXPECT_TRUE(StartsWith(host.logLines.back(), u"Не удалось прочитать файл " + dir.File("nope.txt")));
  EXPECT_EQ(ReadText(out), u"old");
  std::size_t lines = host.logLines.size();
  DumpByAddressList(state, u"  ", out, 0);
  DumpByAddressList(state, list, u"", 0);
  EXPECT_EQ(host.logLines.size(), lines);
}

TEST_F(Dumps, AddressStepsDumpCountBlocks) {
  DumpByAddressSteps(state, 0x10, 0x20, 3, out, 0);
  EXPECT_EQ(ReadText(out), Block(0x10, 0x30) + Block(0x30, 0x50) + Block(0x50, 0x70));
  DumpByAddressSteps(state, 0x10, 0x20, 3, out, 4);
  EXPECT_EQ(ReadText(out), Block(0x10, 0x14) + Block(0x30, 0x34) + Block(0x50, 0x54));
  // Blocks past the ROM are left out; the last one is cut at its end.
  DumpByAddressSteps(state, 900, 60, 5, out, 0);
  EXPECT_EQ(ReadText(out), Block(900, 960) + Block(960, 1000));
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Остальные блоки начинаются за концом ROM'а"));

  WriteText(out, u"old");
  DumpByAddressSteps(state, 0x10, 0, 3, out, 0);
  DumpByAddressSteps(state, 0x10, 16, 0, out, 0);
  EXPECT_EQ(ReadText(out), u"old");
}
