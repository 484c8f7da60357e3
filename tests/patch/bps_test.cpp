#include "patch/bps.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "app/app.h"
#include "tests/patch/patch_fixtures.h"

using namespace vorkat;
using namespace vorkat::patch_testing;

namespace {

using Bytes8 = std::vector<std::uint8_t>;

Bytes8 Number(std::uint64_t v) {
  Bytes8 out;
  AppendBpsNumber(out, v);
  return out;
}

Bytes8 Apply(const Bytes8& patch, const Bytes8& source, BpsFault expected = BpsFault::None) {
  RomBytes target;
  const BpsApplyResult r = ApplyBpsPatch(patch, source, target);
  EXPECT_EQ(r.fault, expected);
  return Bytes8(target.begin(), target.end());
}

// A patch made by hand: header, the given actions, and correct checksums.
Bytes8 HandPatch(const Bytes8& source, const Bytes8& target, const Bytes8& actions) {
  Bytes8 p = {'B', 'P', 'S', '1'};
  AppendBpsNumber(p, source.size());
  AppendBpsNumber(p, target.size());
  AppendBpsNumber(p, 0);
  p.insert(p.end(), actions.begin(), actions.end());
  for (std::uint32_t crc : {Crc32(source), Crc32(target)})
    for (int s = 0; s < 32; s += 8) p.push_back(static_cast<std::uint8_t>(crc >> s));
  const std::uint32_t crc = Crc32(p);
  for (int s = 0; s < 32; s += 8) p.push_back(static_cast<std::uint8_t>(crc >> s));
  return p;
}

// Rewrites the patch's own checksum after an edit, so that a later check is reached.
void Reseal(Bytes8& p) {
  p.resize(p.size() - 4);
  const std::uint32_t crc = Crc32(p);
  for (int s = 0; s < 32; s += 8) p.push_back(static_cast<std::uint8_t>(crc >> s));
}

}  // namespace

TEST(BpsNumbers, EncodeAndReadBack) {
  EXPECT_EQ(Number(0), (Bytes8{0x80}));
  EXPECT_EQ(Number(127), (Bytes8{0xFF}));
  EXPECT_EQ(Number(128), (Bytes8{0x00, 0x80}));
  EXPECT_EQ(Number(16511), (Bytes8{0x7F, 0xFF}));
  EXPECT_EQ(Number(16512), (Bytes8{0x00, 0x00, 0x80}));
  EXPECT_EQ(Number(std::uint64_t{1} << 32), (Bytes8{0x00, 0x7F, 0x7E, 0x7E, 0x8E}));
  for (std::uint64_t v : {std::uint64_t{0}, std::uint64_t{16511}, std::uint64_t{1} << 32, UINT64_MAX}) {
    const Bytes8 b = Number(v);
    std::size_t pos = 0;
    EXPECT_EQ(ReadBpsNumber(b, pos, b.size()), v);
    EXPECT_EQ(pos, b.size());
  }
  // Cut off before its last byte, or too long for 64 bits.
  std::size_t pos = 0;
  EXPECT_FALSE(ReadBpsNumber(Bytes8{0x00, 0x7F}, pos, 2));
  pos = 0;
  EXPECT_FALSE(ReadBpsNumber(Bytes8(12, 0x7F), pos, 12));
}

// Random ROM pairs, each patched both ways: equal, shorter, longer, and
// changes on both sides of 16 MiB.
TEST(BpsRoundTrip, RandomPairsBothDirections) {
  std::mt19937 rng(15);
  auto changed = [&](Bytes8 rom, int changes, std::size_t newSize, std::size_t around) {
    for (int i = 0; i < changes; ++i) {
      const std::size_t at = around > 0 ? around - 2000 + rng() % 4000 : rng() % rom.size();
      const std::size_t run = 1 + rng() % 80;
      for (std::size_t k = at; k < at + run && k < rom.size(); ++k) rom[k] = static_cast<std::uint8_t>(rng());
    }
    if (rng() % 2) std::fill_n(rom.begin() + static_cast<std::ptrdiff_t>(rng() % (rom.size() / 2)), 300, 0xFF);
    rom.resize(newSize, 0xFF);  // longer: padding that becomes a TargetCopy run
    return rom;
  };
  const Bytes8 small = Pattern(5000, 3);
  const Bytes8 big = Pattern(0x1000000 + 0x4000, 4);
  const std::vector<std::pair<Bytes8, Bytes8>> pairs = {
      {small, small},
      {small, changed(small, 30, 5000, 0)},
      {small, changed(small, 30, 3100, 0)},
      {small, changed(small, 30, 9000, 0)},
      {Bytes8{}, small},
      {big, changed(big, 40, big.size(), 0x1000000)},
      {big, changed(big, 40, big.size() + 0x8000, 0x1000000)},
  };
  for (const auto& [a, b] : pairs) {
    EXPECT_EQ(Apply(BuildBps(a, b), a), b) << a.size() << " -> " << b.size();
    EXPECT_EQ(Apply(BuildBps(b, a), b), a) << b.size() << " -> " << a.size();
  }
  // Few scattered changes give a small patch.
  EXPECT_LT(BuildBps(big, changed(big, 40, big.size(), 0x1000000)).size(), 40u * 80 + 1000);
}

// The footer's checksums are zlib's CRC32 of each whole ROM, also where the
// common length ends inside a 1 MiB piece of the source's checksum or on its edge.
TEST(BpsChecksums, FooterHoldsZlibCrcOfBothRoms) {
  auto footer = [](const Bytes8& patch, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = v << 8 | patch[patch.size() - 12 + at + static_cast<std::size_t>(k)];
    return v;
  };
  auto zlib = [](const Bytes8& b) {
    return static_cast<std::uint32_t>(crc32(0L, b.data(), static_cast<uInt>(b.size())));
  };
  const Bytes8 base = Pattern((2u << 20) + 3, 9);
  for (std::size_t sourceSize :
       {std::size_t{0}, std::size_t{1}, std::size_t{1} << 20, (std::size_t{1} << 20) + 1, base.size()}) {
    const Bytes8 source(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(sourceSize));
    Bytes8 target = base;
    // Close changes first (taken as one stretch for the checksum), then far apart.
    for (std::size_t at = 7; at < target.size(); at += at < 5000 ? 7 : 99991) target[at] ^= 0x3C;
    target.resize(target.size() - 1);
    for (const auto& [a, b] : {std::pair{source, target}, std::pair{target, source}}) {
      const Bytes8 patch = BuildBps(a, b);
      EXPECT_EQ(footer(patch, 0), zlib(a)) << a.size() << " -> " << b.size();
      EXPECT_EQ(footer(patch, 4), zlib(b)) << a.size() << " -> " << b.size();
    }
  }
  // Continuing a checksum gives that of the joined bytes.
  const std::span<const std::uint8_t> all(base);
  EXPECT_EQ(Crc32(all.subspan(12345), Crc32(all.first(12345))), zlib(base));
}

TEST(BpsApply, HandMadeCopiesAndFaultyActions) {
  const Bytes8 source = {1, 2, 3, 4, 5, 6};
  // TargetRead "AB", TargetCopy 4 bytes from 0 (overlapping: ABAB), SourceCopy 2 bytes from 4.
  const Bytes8 target = {'A', 'B', 'A', 'B', 'A', 'B', 5, 6};
  Bytes8 actions = {0x80 | (1 << 2 | 1), 'A', 'B', 0x80 | (3 << 2 | 3), 0x80 | 0, 0x80 | (1 << 2 | 2), 0x80 | (4 << 1)};
  EXPECT_EQ(Apply(HandPatch(source, target, actions), source), target);

  // TargetCopy reading at the output not yet written; SourceCopy past the source's end.
  actions[4] = 0x80 | (2 << 1);
  EXPECT_EQ(Apply(HandPatch(source, target, actions), source, BpsFault::Actions), Bytes8{});
  actions[4] = 0x80, actions[6] = 0x80 | (5 << 1);
  EXPECT_EQ(Apply(HandPatch(source, target, actions), source, BpsFault::Actions), Bytes8{});
  // A negative step before the start, and actions that end early.
  actions[6] = 0x80 | (1 << 1 | 1);
  EXPECT_EQ(Apply(HandPatch(source, target, actions), source, BpsFault::Actions), Bytes8{});
  EXPECT_EQ(Apply(HandPatch(source, target, Bytes8(actions.begin(), actions.begin() + 5)), source,
                  BpsFault::TargetSize),
            Bytes8{});
  // An output longer than the target.
  EXPECT_EQ(Apply(HandPatch(source, {'A'}, {0x80 | (1 << 2 | 1), 'A', 'B'}), source, BpsFault::Actions), Bytes8{});
}

struct BpsStateTest : ::testing::Test {
  ScriptedHost host;
  AppState state{host};
  TempDir dir;
  const Bytes8 original = Pattern(40000, 7);
  Bytes8 working = original;

  void SetUp() override {
    for (std::size_t at : {10u, 20000u, 39990u}) working[at] ^= 0x5A;
    working.resize(41000, 0x11);
  }

  // Writes the patch from the original to the working ROM and loads it.
  std::u16string SaveAndLoad(const std::string& name) {
    SetRom(state.rom, working);
    SetOriginal(state.originalRom, original);
    WriteBps(state, dir.File(name));
    std::u16string file = BpsNameWithExtension(dir.File(name));
    EXPECT_TRUE(LoadBps(state, file));
    return BpsNameWithExtension(dir.File(name));
  }
  Bytes8 Rom() const { return Bytes8(state.rom.bytes.begin(), state.rom.bytes.end()); }
};

TEST_F(BpsStateTest, WrittenPatchTurnsTheOriginalIntoTheWorkingRom) {
  const std::u16string file = SaveAndLoad("translation");
  EXPECT_EQ(file, dir.File("translation.bps"));
  EXPECT_TRUE(LogHas(host, u"Записали BPS в файл " + file));
  SetRom(state.rom, original);
  const std::uint64_t generation = state.rom.generation;
  ApplyBps(state);
  EXPECT_EQ(Rom(), working);
  EXPECT_NE(state.rom.generation, generation);  // offsets found before the patch are stale
  EXPECT_EQ(state.rom.size(), 41000);
  EXPECT_TRUE(state.rom.modified);
  EXPECT_TRUE(LogHas(host, u"Применили BPS к ROM."));
  EXPECT_TRUE(LogHas(host, u"Размер ROM'а изменился: был 40000 байт, стал 41000 байт"));

  SetOriginal(state.originalRom, working);
  WriteBps(state, dir.File("none.bps"));
  EXPECT_EQ(host.logLines.back(), u"А нет нефига изменений, не буду ничего сохранять");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.bps"));
}

// Every refusal names its check and leaves the ROM as it was.
TEST_F(BpsStateTest, RefusalsLeaveTheRomUnchanged) {
  SaveAndLoad("p.bps");
  const Bytes8 patch = state.bps.bytes;
  auto refused = [&](const Bytes8& rom, const Bytes8& bytes, std::u16string_view words) {
    SetRom(state.rom, rom);
    state.rom.modified = false;
    state.bps.bytes = bytes;
    const std::uint64_t generation = state.rom.generation;
    ApplyBps(state);
    EXPECT_EQ(Rom(), rom);
    EXPECT_FALSE(state.rom.modified);
    EXPECT_EQ(state.rom.generation, generation);
    EXPECT_TRUE(LogHasColoured(state, words, kColourBrightRed));
    EXPECT_NE(host.logLines.back().find(u"BPS не применён, ROM не изменён"), std::u16string::npos);
  };
  Bytes8 otherVersion = original;
  otherVersion[5] ^= 1;
  refused(Bytes8(original.begin(), original.end() - 1), patch,
          u"сделан для другого ROM'а: размер исходного ROM'а в патче 40000 байт, а у загруженного 39999 байт");
  refused(otherVersion, patch,
          u"сделан для другого ROM'а (или другой его версии): CRC32 исходного ROM'а в патче " +
              HexText(Crc32(original), 8));
  Bytes8 damaged = patch;
  damaged[damaged.size() / 2] ^= 0x40;
  refused(original, damaged, u"испорчен: CRC32 патча");
  Bytes8 badTarget = patch;
  badTarget[badTarget.size() - 8] ^= 1;  // the recorded target CRC32
  Reseal(badTarget);
  refused(original, badTarget, u"результат не совпадает с целевым ROM'ом");

  state.bps.isLoaded = false;
  ApplyBps(state);
  EXPECT_EQ(host.logLines.back(), u"BPS файл не загружен");
  std::u16string notBps = dir.File("x.bps");
  WriteBytes(notBps, Bytes8(30, 'B'));
  EXPECT_FALSE(LoadBps(state, notBps));
  EXPECT_EQ(host.logLines.back(), u"Это не BPS, или файл испорчен");
  EXPECT_FALSE(state.bps.isLoaded);
}
