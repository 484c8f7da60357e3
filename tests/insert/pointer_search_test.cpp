#include <gtest/gtest.h>

#include <unistd.h>

#include "app/app.h"
#include "extract/pointer_report.h"
#include "tests/support/scripted_host.h"
#include "insert/pointer_search.h"
#include "tests/extract/extract_test_support.h"

using namespace vorkat;
using namespace vorkat::extract_testing;

namespace {

struct PointerSearch : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  ScratchDir dir;
  std::u16string report = dir.File("ptrs.txt");

  std::vector<std::u16string> ReportLines() {
    auto lines = SplitCrLf(ReadText(report));
    EXPECT_TRUE(!lines.empty() && lines.back().empty()) << "every line ends with CR LF";
    if (!lines.empty()) lines.pop_back();
    return lines;
  }
};

}  // namespace

TEST(PointerSearchReport, LineFormatAndItsTarget) {
  std::u16string line = PointerReportLine(0x1A2B, {0xD2, 0x04, 0x00, 0x08});
  EXPECT_EQ(line, u"адрес байтов в роме=hex(1A2B), указывают на  1234 (4D2)-->D2,04,00,08");
  EXPECT_EQ(PointerReportTarget(line), u"1234");
  EXPECT_EQ(PointerReportTarget(u"Всего найдено поинтеров  3"), std::nullopt);
  // Without a blank after the target the rest of the line is the target.
  EXPECT_EQ(PointerReportTarget(u"x), указывают на  77"), u"77");
}

TEST_F(PointerSearch, FindsThePointerOfTheExample) {
  std::vector<std::uint8_t> rom(0x3000, 0);
  rom[0x2000] = 0x30, rom[0x2001] = 0x1C, rom[0x2002] = 0x7A, rom[0x2003] = 0x08;
  PutRom(state, rom);
  FindPointers(state, 0x7A0000, 0x7AFFFF, 0, 0, report);

  auto lines = ReportLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"адрес байтов в роме=hex(2000), указывают на  8002608 (7A1C30)-->30,1C,7A,08");
  EXPECT_EQ(lines[1], u"Всего найдено поинтеров  1");
  // Written in Windows-1251, one byte per character.
  EXPECT_EQ(ReadBytes(report).substr(0, 5), std::string("\xE0\xe4\xf0\xe5\xf1"));
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Начали поиск поинтеров... "));
  EXPECT_TRUE(HasLine(host.logLines, u"Всего найдено поинтеров  1"));
  EXPECT_TRUE(HasLine(host.logLines, u"Протокол смотри в файле " + report));
  EXPECT_TRUE(HasLineStartingWith(host.logLines, u"Поиск окончен. "));
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(PointerSearch, RangeBoundsAreInclusiveAndHighestZeroMeansRomLength) {
  std::vector<std::uint8_t> rom(0x100, 0xFF);
  auto put = [&](std::size_t at, std::uint32_t target) {
    rom[at] = target & 0xFF, rom[at + 1] = target >> 8 & 0xFF, rom[at + 2] = target >> 16 & 0xFF, rom[at + 3] = 8;
  };
  put(0x10, 0x0F);   // below
  put(0x20, 0x10);   // lowest
  put(0x30, 0x100);  // the ROM length
  put(0x40, 0x101);  // beyond
  PutRom(state, rom);
  FindPointers(state, 0x10, 0, 0, 0, report);
  auto lines = ReportLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(StartsWith(lines[0], u"адрес байтов в роме=hex(20),"));
  EXPECT_TRUE(StartsWith(lines[1], u"адрес байтов в роме=hex(30),"));
  EXPECT_EQ(lines[2], u"Всего найдено поинтеров  2");

  FindPointers(state, 0x10, 0x100, 0, 0, report);
  EXPECT_EQ(ReportLines().size(), 3u);
  FindPointers(state, 0x11, 0xFF, 0, 0, report);
  EXPECT_EQ(ReportLines().back(), u"Всего найдено поинтеров  0");
}

TEST_F(PointerSearch, PointerAtTheFirstOffsetIsPassedOver) {
  std::vector<std::uint8_t> rom(0x20, 0xFF);
  rom[0] = 0x10, rom[1] = 0, rom[2] = 0, rom[3] = 8;  // 08 at offset 3
  rom[1 + 0x10] = 0x11, rom[2 + 0x10] = 0, rom[3 + 0x10] = 0, rom[4 + 0x10] = 8;
  PutRom(state, rom);
  FindPointers(state, 0, 0, 0, 0, report);
  auto lines = ReportLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"адрес байтов в роме=hex(11), указывают на  17 (11)-->11,00,00,08");
}

TEST_F(PointerSearch, OverlappingCandidatesAreAllExamined) {
  std::vector<std::uint8_t> rom(0x40, 0);
  for (int i = 0; i < 5; ++i) rom[0x10 + i] = 0x08;
  PutRom(state, rom);
  FindPointers(state, 0, 0xFFFFFF, 0, 0, report);
  auto lines = ReportLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], u"адрес байтов в роме=hex(D), указывают на  0 (0)-->00,00,00,08");
  EXPECT_EQ(lines[1], u"адрес байтов в роме=hex(E), указывают на  524288 (80000)-->00,00,08,08");
  EXPECT_EQ(lines[2], u"адрес байтов в роме=hex(F), указывают на  526336 (80800)-->00,08,08,08");
  EXPECT_EQ(lines[3], u"адрес байтов в роме=hex(10), указывают на  526344 (80808)-->08,08,08,08");
  EXPECT_EQ(lines[4], u"адрес байтов в роме=hex(11), указывают на  526344 (80808)-->08,08,08,08");
  EXPECT_EQ(lines[5], u"Всего найдено поинтеров  5");
}

TEST_F(PointerSearch, ScanStartBeginsOneByteEarlyAndScanEndStops) {
  std::vector<std::uint8_t> rom(0x2000, 0);
  rom[0xFFE] = 8;  // pointer at 0xFFB: before the scan
  rom[0xFFF] = 8;  // pointer at 0xFFC: the first one seen from scan start 0x1000
  rom[0x1100] = 8;
  rom[0x1200] = 8;  // at the scan end: stops the scan
  rom[0x1300] = 8;
  PutRom(state, rom);
  FindPointers(state, 0, 0xFFFFFF, 0x1000, 0x1200, report);
  auto lines = ReportLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(StartsWith(lines[0], u"адрес байтов в роме=hex(FFC),"));
  EXPECT_TRUE(StartsWith(lines[1], u"адрес байтов в роме=hex(10FD),"));
  EXPECT_EQ(lines[2], u"Всего найдено поинтеров  2");
}

TEST_F(PointerSearch, StopKeepsTheLinesFoundWithoutTheCount) {
  std::vector<std::uint8_t> rom(0x100, 0);
  for (int at = 0x10; at < 0x100; at += 0x10) rom[at] = 8;
  PutRom(state, rom);
  state.ctx.yieldInterval = std::chrono::milliseconds(0);
  // Press stop once the third 08 byte (offset 0x30) has been reported.
  host.onProcessEvents = [&] {
    if (state.ctx.progress.value >= 0x30) state.ctx.CancelRequested = true;
  };
  FindPointers(state, 0, 0, 0, 0, report);
  auto lines = ReportLines();
  EXPECT_EQ(lines.size(), 3u);
  for (const auto& l : lines) EXPECT_TRUE(StartsWith(l, u"адрес байтов в роме=hex("));
  EXPECT_TRUE(HasLine(host.logLines, u"Процесс поиска прерван пользователем"));
  EXPECT_TRUE(HasLine(host.logLines, u"Всего найдено поинтеров  3"));
  EXPECT_FALSE(HasLineStartingWith(host.logLines, u"Поиск окончен."));
  EXPECT_FALSE(state.ctx.progress.visible);
}

TEST_F(PointerSearch, WithoutRomItSaysSoTwice) {
  FindPointers(state, 0, 0, 0, 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"ROM еще не загружен");
  EXPECT_EQ(host.messages[0].title, u"Ошибочка");
  EXPECT_EQ(host.logLines, std::vector<std::u16string>{u"ROM еще не загружен"});
  EXPECT_TRUE(host.prompts.empty());
}

TEST_F(PointerSearch, MenuCommandAsksFourQuestionsThenTheFile) {
  std::vector<std::uint8_t> rom(0x3000, 0);
  rom[0x2000] = 0x30, rom[0x2001] = 0x1C, rom[0x2002] = 0x7A, rom[0x2003] = 0x08;
  PutRom(state, rom);
  host.inputs = {u"&h7A0000", u"&h7AFFFF", u"0", u"0"};
  host.fileNames = {report};
  RunPointerSearch(state);
  ASSERT_EQ(host.prompts.size(), 5u);
  EXPECT_EQ(host.prompts[0].text, u"Значение поинтера должно быть больше чем");
  EXPECT_EQ(host.prompts[3].text, u"Искать поинтеры в ROM'e заканчивая адресом");
  EXPECT_EQ(host.prompts[4].title, u"Save pointers to file");
  EXPECT_TRUE(host.prompts[4].forSave);
  EXPECT_EQ(ReportLines().size(), 2u);

  // Cancelling a question ends the command; nothing else is asked.
  host.prompts.clear();
  host.inputs = {u"1"};
  RunPointerSearch(state);
  EXPECT_EQ(host.prompts.size(), 2u);
}
