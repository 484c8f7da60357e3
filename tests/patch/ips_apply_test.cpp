#include "patch/ips_apply.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/commands.h"
#include "tests/patch/patch_fixtures.h"

using namespace vorkat;
using namespace vorkat::patch_testing;

namespace {

std::vector<std::uint8_t> Ips(std::initializer_list<std::vector<std::uint8_t>> records, bool eof = true) {
  std::vector<std::uint8_t> out = {'P', 'A', 'T', 'C', 'H'};
  for (const auto& r : records) out.insert(out.end(), r.begin(), r.end());
  if (eof) out.insert(out.end(), {'E', 'O', 'F'});
  return out;
}

struct IpsApplyTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  void Load(const std::vector<std::uint8_t>& patch) {
    std::u16string name = dir.File("p.ips");
    WriteBytes(name, patch);
    LoadIps(state, name);
  }
};

TEST_F(IpsApplyTest, FourteenBytePatchLoadsAndWritesItsByte) {
  SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
  std::u16string name = dir.File("one.ips");
  WriteBytes(name, Ips({{0x00, 0x00, 0x10, 0x00, 0x01, 0xAA}}));
  ASSERT_EQ(ReadBytes(name).size(), 14u);
  LoadIps(state, name);
  EXPECT_TRUE(name.empty()) << "the caller's name is taken";
  EXPECT_TRUE(state.ips.isLoaded);
  EXPECT_EQ(state.ips.fileName, dir.File("one.ips"));
  EXPECT_EQ(host.logLines.back(), u"Загрузили IPS из файла " + dir.File("one.ips"));
  EXPECT_TRUE(host.prompts.empty());
  const std::uint64_t generation = state.rom.generation;
  ApplyIps(state);
  EXPECT_EQ(state.rom.bytes[0x10], 0xAA);
  EXPECT_NE(state.rom.generation, generation);  // offsets found before the patch are stale
  EXPECT_EQ(state.rom.bytes[0x0F], 0x00);
  EXPECT_EQ(state.rom.bytes[0x11], 0x00);
  EXPECT_EQ(host.logLines.back(), u"Применили IPS к ROM.");
}

TEST_F(IpsApplyTest, ShortOrUnmarkedFilesAreRejected) {
  auto good = Ips({{0x00, 0x00, 0x10, 0x00, 0x01, 0xAA}});
  Load(good);
  ASSERT_TRUE(state.ips.isLoaded);
  Load(std::vector<std::uint8_t>(good.begin(), good.end() - 1));  // 13 bytes
  EXPECT_FALSE(state.ips.isLoaded);
  EXPECT_EQ(host.logLines.back(), u"Это не IPS, или файл испорчен");
  auto wrongMark = good;
  wrongMark[4] = 'X';
  Load(wrongMark);
  EXPECT_FALSE(state.ips.isLoaded);
  EXPECT_EQ(host.logLines.back(), u"Это не IPS, или файл испорчен");
}

TEST_F(IpsApplyTest, MissingNameAsksAndCancelIsSilent) {
  std::u16string name = dir.File("absent.ips");
  LoadIps(state, name);
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Открыть IPS файл");
  EXPECT_EQ(host.prompts[0].text, u"IPS files (*.ips)|*.ips\r\nAll Files (*.*)|*.*");
  EXPECT_FALSE(host.prompts[0].forSave);
  EXPECT_TRUE(host.logLines.empty());
  EXPECT_FALSE(state.ips.isLoaded);

  std::u16string chosen = dir.File("chosen.ips");
  WriteBytes(chosen, Ips({{0x00, 0x00, 0x01, 0x00, 0x01, 0x11}}));
  host.fileNames.push_back(chosen);
  std::u16string empty;
  LoadIps(state, empty);
  EXPECT_TRUE(state.ips.isLoaded);
  EXPECT_EQ(state.ips.fileName, chosen);
}

TEST_F(IpsApplyTest, UnreadableFileIsReportedInRed) {
  std::filesystem::create_directories(dir.path() / "folder.ips");
  host.fileNames.push_back(dir.File("folder.ips"));
  std::u16string name;
  LoadIps(state, name);
  EXPECT_FALSE(state.ips.isLoaded);
  EXPECT_TRUE(LogHasColoured(state, u"Не удалось прочитать файл", kColourBrightRed));
}

TEST_F(IpsApplyTest, RunLengthRecordFillsItsRun) {
  SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
  Load(Ips({{0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x04, 0xFF}}));
  ApplyIps(state);
  for (int i = 0x20; i < 0x24; ++i) EXPECT_EQ(state.rom.bytes[i], 0xFF) << i;
  EXPECT_EQ(state.rom.bytes[0x1F], 0x00);
  EXPECT_EQ(state.rom.bytes[0x24], 0x00);
}

TEST_F(IpsApplyTest, RecordsPastTheRomEndAreCutAndTheRomDoesNotGrow) {
  SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
  Load(Ips({{0x00, 0x00, 60, 0x00, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
            {0x00, 0x00, 62, 0x00, 0x00, 0x01, 0x00, 0xEE},
            {0x00, 0x10, 0x00, 0x00, 0x02, 0x55, 0x55}}));
  ApplyIps(state);
  EXPECT_EQ(state.rom.bytes.size(), 64u);
  EXPECT_EQ(state.rom.size(), 64);
  EXPECT_EQ(state.rom.bytes[60], 1);
  EXPECT_EQ(state.rom.bytes[61], 2);
  EXPECT_EQ(state.rom.bytes[62], 0xEE);
  EXPECT_EQ(state.rom.bytes[63], 0xEE);
  // 6 bytes of the first record, 254 of the run and the whole last record.
  EXPECT_TRUE(LogHasColoured(state, u"Внимание! 262 байт из IPS лежат за концом ROM", kColourDarkRed));
  EXPECT_EQ(host.logLines.back(), u"Применили IPS к ROM.");
}

TEST_F(IpsApplyTest, PatchWithoutEofAppliesCompletely) {
  SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
  Load(Ips({{0x00, 0x00, 0x01, 0x00, 0x02, 0x11, 0x22}, {0x00, 0x00, 0x30, 0x00, 0x01, 0x33}}, false));
  ApplyIps(state);
  EXPECT_EQ(state.rom.bytes[1], 0x11);
  EXPECT_EQ(state.rom.bytes[2], 0x22);
  EXPECT_EQ(state.rom.bytes[0x30], 0x33);
  EXPECT_EQ(host.logLines.back(), u"Применили IPS к ROM.");
}

TEST_F(IpsApplyTest, EofMarkEndsThePatchAndOffsetsAreBigEndian) {
  SetRom(state.rom, std::vector<std::uint8_t>(0x20000, 0));
  Load(Ips({{0x01, 0x23, 0x45, 0x00, 0x01, 0x77}, {'E', 'O', 'F'}, {0x00, 0x00, 0x05, 0x00, 0x01, 0x99}}));
  ApplyIps(state);
  EXPECT_EQ(state.rom.bytes[0x12345], 0x77);
  EXPECT_EQ(state.rom.bytes[5], 0x00) << "the record after the mark is not applied";
}

TEST_F(IpsApplyTest, AppliedTwiceItStaysLoadedAndAppliesAgain) {
  SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
  Load(Ips({{0x00, 0x00, 0x10, 0x00, 0x01, 0xAA}}));
  ApplyIps(state);
  state.rom.bytes[0x10] = 0x01;
  ApplyIps(state);
  EXPECT_TRUE(state.ips.isLoaded);
  EXPECT_EQ(state.rom.bytes[0x10], 0xAA);
  int applied = 0;
  for (const auto& line : host.logLines) applied += line == u"Применили IPS к ROM.";
  EXPECT_EQ(applied, 2);
}

TEST_F(IpsApplyTest, ApplyWithoutPatchOrRomSaysSo) {
  ApplyIps(state);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, u"IPS файл не загружен");
  EXPECT_EQ(host.logLines.back(), u"IPS файл не загружен");

  Load(Ips({{0x00, 0x00, 0x10, 0x00, 0x01, 0xAA}}));
  ApplyIps(state);
  EXPECT_EQ(host.logLines.back(), u"ROM еще не загружен");
}

TEST_F(IpsApplyTest, CutOffPatchChangesNoByteAndNamesWhereItBreaks) {
  const std::vector<std::uint8_t> whole = {0x00, 0x00, 0x10, 0x00, 0x01, 0xAA};
  struct Case {
    std::vector<std::uint8_t> tail;
    std::u16string_view what;
  };
  const Case cases[] = {
      {{0x00, 0x00, 0x11, 0x00}, u"заголовок записи по смещению 11 [hex]=B"},
      {{0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x04}, u"RLE запись по смещению 11 [hex]=B"},
      {{0x00, 0x00, 0x20, 0x00, 0x08, 0x05, 0x06, 0x07}, u"данные записи по смещению 11 [hex]=B"},
  };
  for (const Case& c : cases) {
    SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
    Load(Ips({whole, c.tail}, false));
    const std::uint64_t generation = state.rom.generation;
    ApplyIps(state);
    EXPECT_EQ(RomVector(state.rom), std::vector<std::uint8_t>(64, 0)) << "not even the whole record before the cut";
    EXPECT_EQ(state.rom.generation, generation);
    EXPECT_TRUE(LogHasColoured(state, std::u16string(c.what), kColourBrightRed)) << ToUtf8(c.what);
    EXPECT_TRUE(LogHas(host, u"IPS не применён, ROM не изменён"));
    EXPECT_FALSE(LogHas(host, u"Применили IPS к ROM."));
  }
}

TEST(IpsRecords, PartialEofAtTheEndIsACutHeaderAndChangesNothing) {
  std::vector<std::uint8_t> patch = {'P', 'A', 'T', 'C', 'H', 0, 0, 1, 0, 1, 9, 'E', 'O'};
  std::vector<std::uint8_t> rom(4, 0);
  auto r = ApplyIpsRecords(patch, rom);
  EXPECT_EQ(r.stop, IpsStop::CutHeader);
  EXPECT_EQ(r.stopPosition, 11u);
  EXPECT_EQ(r.records, 0u);
  EXPECT_EQ(rom, std::vector<std::uint8_t>(4, 0));
}

}  // namespace

// The menu items finish their half-steps: applying without a patch offers the
// file; "IPS as" before a comparison offers it, asking for the original.
TEST_F(IpsApplyTest, MenuApplyOffersTheFileAndIpsAsOffersTheComparison) {
  SetRom(state.rom, std::vector<std::uint8_t>(64, 0));
  WriteBytes(dir.File("one.ips"), Ips({{0x00, 0x00, 0x10, 0x00, 0x01, 0xAA}}));
  host.fileNames = {dir.File("one.ips")};
  FindCoreCommand("menuApplyIPStoROM")->run(state);
  EXPECT_EQ(state.rom.bytes[0x10], 0xAA);

  std::vector<std::uint8_t> original(64, 0);
  WriteBytes(dir.File("orig.gba"), original);
  host.answers = {MsgAnswer::Yes};
  host.fileNames = {dir.File("orig.gba"), dir.File("out.ips")};
  FindCoreCommand("menuSaveChangesAsIPS")->run(state);
  EXPECT_TRUE(state.originalRom.isLoaded);
  EXPECT_EQ(ReadBytes(dir.File("out.ips")), Ips({{0x00, 0x00, 0x10, 0x00, 0x01, 0xAA}}));
}
