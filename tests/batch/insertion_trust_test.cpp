// The ways an insertion used to end in a broken game reported as fine, each
// run headless on a copy of the demo: the run now refuses, names what it
// uses, or its verification reports the problem, and it ends with status 1.
#include <gtest/gtest.h>

#include "tests/batch/example_run.h"

using namespace vorkat;
using namespace vorkat::testing;

namespace {

bool Has(const std::string& out, const std::string& part) { return out.find(part) != std::string::npos; }

struct InsertionTrust : ::testing::Test {
  TempDir dir;

  void SetUp() override {
    std::filesystem::create_directories(dir.path() / "examples");
    std::filesystem::copy(ExampleDir("demo"), dir.path() / "examples" / "demo",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(dir.path() / "examples" / "demo" / "out");
  }

  // Runs the lines after the demo's loads; the verification report is out/v.txt.
  CliRun Run(const std::u16string& lines, const std::u16string& dialogs = u"examples/demo/dialogs_ru.txt") {
    dir.WriteText("s.txt", u"LOADROM=examples/demo/demo.gba\r\nLOADTABLE=examples/demo/demo.tbl\r\nLOADDIALOGS=" +
                               dialogs + u"\r\n" + lines);
    return RunCli(dir.path(), "s.txt");
  }
  std::u16string Report() const { return dir.ReadText("examples/demo/out/v.txt"); }

  // The demo's dialogs file with one piece of it replaced.
  void EditDialogs(const std::string& from, const std::string& to) {
    const Bytes file = dir.Read("examples/demo/dialogs_ru.txt");
    std::string text(file.begin(), file.end());
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), to);
    dir.Write("examples/demo/out/edited.txt", Bytes(text.begin(), text.end()));
  }
};

constexpr std::u16string_view kInsertAndVerify =
    u"ADDRESSALIGNBY=4\r\nCALCNEWPOINTERS\r\nRETURNDIALGS2ROM\r\nVERIFYINSERTION=examples/demo/out/v.txt\r\n";

TEST_F(InsertionTrust, ATypedAddressIsReadOrRefusedNeverZero) {
  const CliRun hex =
      Run(u"FREESPACESTARTADDR=0x4000\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify));
  EXPECT_EQ(hex.status, 0) << hex.out;
  EXPECT_TRUE(Has(hex.out, "FreeSpaceStartAddr= 16384")) << hex.out;
  EXPECT_TRUE(Has(hex.out, "проблем не найдено")) << hex.out;

  const CliRun bad = Run(u"FREESPACESTARTADDR=$4000\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify));
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(Has(bad.out, "Команда FREESPACESTARTADDR: \"$4000\" не число")) << bad.out;
  EXPECT_TRUE(Has(bad.out, "остановлено на строке 4: FREESPACESTARTADDR=$4000")) << bad.out;
  EXPECT_FALSE(Has(bad.out, "Начинаем расчет")) << "nothing after the refused line runs";
}

TEST_F(InsertionTrust, AnAddressKeptFromARunOverTheHeaderIsNamedAndCaught) {
  // Yesterday's run put the dialogs at 0; its placed dialogs file is reused today.
  const CliRun first = Run(u"FREESPACESTARTADDR=0\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify) +
                           u"SAVEDIALOGS=examples/demo/out/placed.txt\r\n");
  EXPECT_EQ(first.status, 1) << "the header was overwritten: " << first.out;
  EXPECT_NE(Report().find(u"затертые байты"), std::u16string::npos);

  const CliRun again =
      Run(u"FREESPACESTARTADDR=&h4000\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify),
          u"examples/demo/out/placed.txt");
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Has(again.out, "Диалогов, сохранивших адрес вставки из прежнего расчета: 8")) << again.out;
  EXPECT_TRUE(Has(again.out, "Из них вне 'пустого' места (4000..BFFF) или за концом ROM'а: 8")) << again.out;
  EXPECT_NE(Report().find(u"вне 'пустого' места\t"), std::u16string::npos) << ToUtf8(Report());
}

TEST_F(InsertionTrust, APointerFormatLeftFromAnotherGameIsNamedAndCaught) {
  // The format chosen in one run stays in the settings for the next.
  ASSERT_EQ(Run(u"POINTERFORMAT=GB24\r\n").status, 0);
  const CliRun run =
      Run(u"FREESPACESTARTADDR=&h4000\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify));
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.out, "Формат указателей: GB24")) << run.out;
  EXPECT_NE(Report().find(u"нет указателя"), std::u16string::npos);
  EXPECT_TRUE(Has(run.out, "нет указателя: 8")) << run.out;

  // With a Game Boy Advance header the insertion does not run at all.
  Bytes rom = dir.Read("examples/demo/demo.gba");
  rom[0xB2] = 0x96;
  unsigned check = 0;
  for (std::size_t i = 0xA0; i < 0xBD; ++i) check -= rom[i];
  rom[0xBD] = static_cast<std::uint8_t>((check - 0x19) & 0xFF);
  dir.Write("examples/demo/demo.gba", rom);
  const CliRun refused =
      Run(u"FREESPACESTARTADDR=&h4000\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify));
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Has(refused.out, "игра Game Boy Advance, а выбран формат указателей GB24")) << refused.out;
  EXPECT_TRUE(Has(refused.out, "остановлено на строке 8: RETURNDIALGS2ROM")) << refused.out;
  // Nor does a pointer search that could only find garbage.
  const CliRun search = Run(u"FINDPOINTERS=&hC000,0,0,0,examples/demo/out/found.txt\r\n");
  EXPECT_EQ(search.status, 1);
  EXPECT_TRUE(Has(search.out, "а выбран формат указателей GB24")) << search.out;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "examples/demo/out/found.txt"));
}

TEST_F(InsertionTrust, ADialogNothingPointsToIsAProblem) {
  EditDialogs("65324,FF2C,", "65324,FF2D,");
  const CliRun run = Run(u"FREESPACESTARTADDR=&h4000\r\nFREESPACEENDADDR=&hC000\r\n" + std::u16string(kInsertAndVerify),
                         u"examples/demo/out/edited.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.out, "нет указателя: 1")) << run.out;
  EXPECT_NE(Report().find(u"65324\tнет указателя\t4000\t"), std::u16string::npos) << ToUtf8(Report());
}

TEST_F(InsertionTrust, CharactersTheTableDropsAreNamed) {
  EditDialogs("!<$END>", "!|<$END>");  // the demo's table has no "|"
  const CliRun run =
      Run(u"EXTENDEDLOGS=1\r\nSKIPUNKNOWNTRCHARS=1\r\nFREESPACESTARTADDR=&h4000\r\nFREESPACEENDADDR=&hC000\r\n" +
              std::u16string(kInsertAndVerify),
          u"examples/demo/out/edited.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Has(run.out, "потерянные символы: 1")) << run.out;
  EXPECT_NE(Report().find(u"первый: '|'"), std::u16string::npos) << ToUtf8(Report());
}

}  // namespace
