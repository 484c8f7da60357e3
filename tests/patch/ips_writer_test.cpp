#include "patch/ips_writer.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "patch/ips_apply.h"
#include "patch/rom_compare.h"
#include "tests/patch/patch_fixtures.h"

using namespace vorkat;
using namespace vorkat::patch_testing;

namespace {

struct Record {
  std::uint32_t offset;
  std::size_t size;
  bool operator==(const Record&) const = default;
};

// Reads the records of a written patch; the file must end in "EOF".
std::vector<Record> Records(const std::vector<std::uint8_t>& ips) {
  std::vector<Record> out;
  EXPECT_GE(ips.size(), 8u);
  EXPECT_EQ(std::string(ips.begin(), ips.begin() + 5), "PATCH");
  std::size_t p = 5;
  while (p + 3 <= ips.size()) {
    std::uint32_t offset = ips[p] << 16 | ips[p + 1] << 8 | ips[p + 2];
    if (offset == 0x454F46) break;
    std::size_t size = static_cast<std::size_t>(ips[p + 3] << 8 | ips[p + 4]);
    EXPECT_NE(size, 0u) << "no run-length records are written";
    out.push_back({offset, size});
    p += 5 + size;
  }
  EXPECT_EQ(p + 3, ips.size()) << "\"EOF\" ends the file";
  return out;
}

struct IpsWriterTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;

  // Compares `working` with `original` (merging blocks) and writes the patch.
  std::vector<std::uint8_t> MakePatch(const std::vector<std::uint8_t>& working,
                                      const std::vector<std::uint8_t>& original, const std::string& name = "p.ips") {
    SetRom(state.rom, working);
    SetOriginal(state.originalRom, original);
    CompareRoms(state, false, true);
    host.fileNames.push_back(dir.File(name));
    WriteIps(state);
    return ReadBytes(dir.File(name));
  }
};

TEST_F(IpsWriterTest, LongBlocksAreCutIntoFullRecords) {
  auto original = std::vector<std::uint8_t>(0x30000, 0);
  auto working = original;
  for (std::size_t i = 0x1000; i < 0x1000 + 70000; ++i) working[i] = static_cast<std::uint8_t>(i | 1);
  auto ips = MakePatch(working, original);
  EXPECT_EQ(Records(ips), (std::vector<Record>{{0x1000, 65535}, {0x10FFF, 4465}}));
  EXPECT_EQ(ips[5 + 5], working[0x1000]) << "data follows the header";
  EXPECT_EQ(host.logLines.back(), u"Записали IPS в файл " + dir.File("p.ips"));
  ASSERT_EQ(host.prompts.size(), 1u);
  EXPECT_EQ(host.prompts[0].title, u"Save IPS to file");
  EXPECT_EQ(host.prompts[0].text, u"IPS files(*.ips)|*.ips\r\nAll Files (*.*)|*.*");
  EXPECT_TRUE(host.prompts[0].forSave);
}

TEST_F(IpsWriterTest, BlockOfExactlyTwoRecordsLeavesNoEmptyThird) {
  auto original = std::vector<std::uint8_t>(200000, 0);
  auto working = original;
  std::fill(working.begin() + 10, working.begin() + 10 + 2 * 65535, 0x42);
  EXPECT_EQ(Records(MakePatch(working, original)), (std::vector<Record>{{10, 65535}, {10 + 65535, 65535}}));
}

TEST_F(IpsWriterTest, ExtensionIsAddedOnlyToNamesWithoutADot) {
  auto original = std::vector<std::uint8_t>(100, 0);
  auto working = original;
  working[5] = 1;
  MakePatch(working, original, "patch");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "patch.ips"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "patch"));
  MakePatch(working, original, "my.patch");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "my.patch"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "my.patch.ips"));
  // Only the file's own name counts, not a dot in a folder name.
  EXPECT_EQ(IpsNameWithExtension(u"/tmp/v1.0/patch"), u"/tmp/v1.0/patch.ips");
  EXPECT_EQ(IpsNameWithExtension(u"./patch"), u"./patch.ips");
  EXPECT_EQ(IpsNameWithExtension(u"C:\\v1.0\\patch"), u"C:\\v1.0\\patch.ips");
}

TEST_F(IpsWriterTest, ExistingFileIsReplacedAndWritingClearsTheLoadedPatch) {
  WriteBytes(dir.File("p.ips"), std::vector<std::uint8_t>(1000, 0x33));
  state.ips.isLoaded = true;
  auto original = std::vector<std::uint8_t>(100, 0);
  auto working = original;
  working[7] = 9;
  auto ips = MakePatch(working, original);
  EXPECT_EQ(ips, (std::vector<std::uint8_t>{'P', 'A', 'T', 'C', 'H', 0, 0, 7, 0, 1, 9, 'E', 'O', 'F'}));
  EXPECT_FALSE(state.ips.isLoaded);
  // The replaced patch keeps its .bak, as every replaced file does.
  EXPECT_EQ(ReadFileBytes(dir.File("p.ips.bak")), Bytes(1000, 0x33));
}

TEST_F(IpsWriterTest, FailedWriteKeepsTheOldFileAndSaysSo) {
  WriteBytes(dir.File("p.ips"), {1, 2, 3});
  state.ctx.writeFaults.failAfterBytes = 4;
  auto original = std::vector<std::uint8_t>(100, 0);
  auto working = original;
  working[7] = 9;
  EXPECT_EQ(MakePatch(working, original), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_TRUE(LogHasColoured(state, u"Не удалось записать IPS в файл", kColourBrightRed));
  EXPECT_FALSE(LogHas(host, u"Записали IPS"));
}

TEST_F(IpsWriterTest, CancelledPromptWritesNothing) {
  auto original = std::vector<std::uint8_t>(100, 0);
  auto working = original;
  working[7] = 9;
  SetRom(state.rom, working);
  SetOriginal(state.originalRom, original);
  CompareRoms(state, false, true);
  std::size_t lines = host.logLines.size();
  WriteIps(state);
  EXPECT_EQ(host.logLines.size(), lines);
  EXPECT_EQ(host.prompts.size(), 1u);
}

// A record at 0x454F46 would read as "EOF" and end the patch early.
TEST_F(IpsWriterTest, NoRecordStartsAtTheEofOffset) {
  const std::size_t eof = 0x454F46;
  auto original = Pattern(eof + 0x20000);
  auto working = original;
  working[eof] ^= 0xFF;
  working[eof + 1] ^= 0xFF;
  auto ips = MakePatch(working, original);
  ASSERT_EQ(Records(ips), (std::vector<Record>{{eof - 1, 3}}));
  EXPECT_EQ(ips[10], working[eof - 1]) << "the working ROM's byte before it comes along";

  // A long block whose cut would fall on the offset is cut a byte earlier.
  working = original;
  for (std::size_t i = eof - 65535; i < eof + 5000; ++i) working[i] ^= 0x5A;
  ips = MakePatch(working, original);
  EXPECT_EQ(Records(ips), (std::vector<Record>{{eof - 65535, 65534}, {eof - 1, 5001}}));
  std::vector<std::uint8_t> rom(original);
  auto r = ApplyIpsRecords(ips, rom);
  EXPECT_EQ(r.stop, IpsStop::EofMark);
  EXPECT_EQ(rom, working);

  // Starting at the offset and longer than a record: the next records keep full size.
  working = original;
  for (std::size_t i = eof; i < eof + 70000; ++i) working[i] ^= 0x11;
  ips = MakePatch(working, original);
  EXPECT_EQ(Records(ips), (std::vector<Record>{{eof - 1, 65535}, {eof - 1 + 65535, 4466}}));
  rom = original;
  ApplyIpsRecords(ips, rom);
  EXPECT_EQ(rom, working);
}

// Record offsets have 3 bytes; a change that needs a record at 16 MiB or
// above makes the whole patch impossible.
TEST_F(IpsWriterTest, RecordsMustStartBelowSixteenMiB) {
  const std::size_t limit = 0x1000000;
  auto original = std::vector<std::uint8_t>(limit + 0x20000, 0);
  auto working = original;
  std::fill(working.begin() + (limit - 10), working.begin() + (limit + 100), 0x77);
  auto ips = MakePatch(working, original);
  EXPECT_EQ(Records(ips), (std::vector<Record>{{limit - 10, 110}})) << "a record may run past 16 MiB";

  WriteBytes(dir.File("old.ips"), {1, 2, 3});
  working = original;
  working[100] = 1;
  working[limit + 5] = 1;
  ips = MakePatch(working, original, "old.ips");
  EXPECT_EQ(ips, (std::vector<std::uint8_t>{1, 2, 3})) << "the existing file stays untouched";
  EXPECT_TRUE(LogHasColoured(state, u"изменения с адреса 1000005 (16777221)", kColourBrightRed));
  EXPECT_EQ(host.logLines.back().find(u"IPS не записан"), 0u);

  // A long block starting below the limit whose second record would not.
  working = original;
  std::fill(working.begin() + (limit - 100), working.begin() + (limit - 100 + 70000), 0x66);
  MakePatch(working, original, "long.ips");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "long.ips"));
  EXPECT_TRUE(LogHasColoured(state, u"изменения с адреса " + HexText(limit - 100 + 65535), kColourBrightRed));
}

TEST_F(IpsWriterTest, NamedFileNeedsNoPrompt) {
  auto original = std::vector<std::uint8_t>(100, 0);
  auto working = original;
  working[1] = 1;
  SetRom(state.rom, working);
  SetOriginal(state.originalRom, original);
  CompareRoms(state, true, true);
  WriteIps(state, dir.File("direct"));
  EXPECT_TRUE(host.prompts.empty());
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "direct.ips"));
}

// Any pair of ROMs below 16 MiB: compare, write, read back, apply to the
// original, and the working ROM comes out, in both comparison modes.
TEST_F(IpsWriterTest, RoundTripGivesTheWorkingRomExactly) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 24; ++round) {
    const bool eco = round % 2 == 1;
    const bool merge = round % 4 < 2;
    const bool nearEof = round % 6 == 5;
    std::size_t size = nearEof ? 0x454F46 + 0x30000 : std::uniform_int_distribution<std::size_t>(1, 400000)(rng);
    auto original = Pattern(size, static_cast<std::uint32_t>(round));
    auto working = original;
    int changes = std::uniform_int_distribution<int>(0, 80)(rng);
    for (int i = 0; i < changes; ++i) {
      std::size_t at = nearEof ? std::uniform_int_distribution<std::size_t>(0x454F46 - 140000, size - 1)(rng)
                               : std::uniform_int_distribution<std::size_t>(0, size - 1)(rng);
      std::size_t len = rng() % 8 == 0 ? std::uniform_int_distribution<std::size_t>(1, 140000)(rng) : 1 + rng() % 9;
      for (std::size_t k = at; k < std::min(size, at + len); ++k) working[k] = static_cast<std::uint8_t>(rng());
    }
    if (nearEof) working[0x454F46] ^= 1;

    SetRom(state.rom, working);
    SetOriginal(state.originalRom, original);
    CompareRoms(state, eco, merge);
    ASSERT_TRUE(state.ips.changes.comparisonDone);
    const std::u16string name = dir.File("round.ips");
    std::filesystem::remove(ToPath(name));
    WriteIps(state, name);
    if (state.ips.changes.blocks.empty()) {
      EXPECT_EQ(working, original);
      continue;
    }
    std::u16string load = name;
    LoadIps(state, load);
    ASSERT_TRUE(state.ips.isLoaded) << "round " << round;
    SetRom(state.rom, original);
    ApplyIps(state);
    ASSERT_EQ(RomVector(state.rom), working)
        << "round " << round << (eco ? " eco" : " chunked") << (merge ? " merged" : "");
    EXPECT_EQ(host.logLines.back(), u"Применили IPS к ROM.");
  }
}

}  // namespace
