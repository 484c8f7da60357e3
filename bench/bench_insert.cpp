#include <random>

#include "bench/bench.h"
#include "app/app.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_rewrite.h"

namespace vorkat::bench {
namespace {

constexpr std::size_t kRomSize = 32u << 20;
constexpr int kDialogs = 20000;
// Free space of 4 MiB, below 16 MiB (08 pointers) or above it (09 pointers).
constexpr std::int32_t kFreeLower = 0xC00000;
constexpr std::int32_t kFreeUpper = 0x1800000;
constexpr std::int32_t kFreeSize = 0x400000;

struct Game {
  RomBytes rom;
  std::vector<DialogRecord> dialogs;
  int pointers = 0;
};

// A 32 MiB ROM of noise with 20,000 old texts, each addressed by one to
// three pointers, and their dialogs with longer translations.
Game MakeGame(std::int32_t freeStart) {
  Game g;
  std::mt19937 rng(2024);
  g.rom.resize(kRomSize);
  for (std::size_t i = 0; i < kRomSize; ++i) g.rom[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
  for (std::size_t i = static_cast<std::size_t>(freeStart); i < static_cast<std::size_t>(freeStart + kFreeSize); ++i)
    g.rom[i] = 0xFF;
  for (int d = 0; d < kDialogs; ++d) {
    const std::int32_t from = 0x400000 + d * 64;
    const int n = 1 + static_cast<int>(rng() % 3);
    for (int k = 0; k < n; ++k) {
      const std::size_t at = 0x100000 + (static_cast<std::size_t>(d) * 3 + k) * 4;
      g.rom[at] = static_cast<std::uint8_t>(from), g.rom[at + 1] = static_cast<std::uint8_t>(from >> 8);
      g.rom[at + 2] = static_cast<std::uint8_t>(from >> 16), g.rom[at + 3] = 0x08;
      ++g.pointers;
    }
    DialogRecord r;
    r.dlgID = DecText(from);
    r.ExtractedFromAddr = HexText(static_cast<std::uint32_t>(from));
    r.dlgText = u"Dialog " + DecText(d) + u" says hello to the brave hero.<$VBCRLF>\r\nOn we go!<$END>";
    g.dialogs.push_back(std::move(r));
  }
  return g;
}

void Prepare(AppState& state, const Game& g, std::int32_t freeStart) {
  state.rom.bytes.assign(g.rom.begin(), g.rom.end());
  state.rom.size = static_cast<std::int32_t>(kRomSize);
  state.rom.isLoaded = true;
  TranslationTable& t = state.table;
  t = TranslationTable{};
  for (char16_t c = u' '; c <= u'z'; ++c)
    if (c != u'<' && c != u'>' && c != u'$') t.entries[c] = std::u16string(1, c);
  t.entries[0x00] = u"<$END>";
  t.entries[0xFE] = u"<$VBCRLF>\r\n";
  t.tokenCount = 256;
  t.isLoaded = true;
  state.dialogs.records = g.dialogs;
  state.dialogs.records.emplace_back();
  state.dialogs.lastIndex = kDialogs - 1;
  state.dialogs.isLoaded = true;
  state.insertion.FreeSpaceStartAddr = freeStart;
  state.insertion.FreeSpaceEndAddr = freeStart + kFreeSize;
  state.insertion.AddressAlignBy = 4;
}

void Run(const Game& g, bool extended, std::int32_t freeStart) {
  QuietHost host;
  AppState state(host);
  Prepare(state, g, freeStart);
  state.settings.ExtendedLogs = extended ? u"YES" : u"NO";
  const auto dir = TempDir();
  state.dialogs.fileName = FromPath(dir / "script.txt");
  std::filesystem::remove(dir / "script.log");
  state.CreateInsertionLogs = extended;
  double calc = TimeMs([&] { CalcNewAddresses(state); });
  double insert = TimeMs([&] { InsertDialogs(state); });
  const char* what = extended ? "20,000 dialogs, ExtendedLogs + insertion log" : "20,000 dialogs, plain logs";
  std::printf("%s (%d pointers), free space %s 16 MiB:\n", what, g.pointers,
              freeStart < 0x1000000 ? "below" : "above");
  Report("  CalcNewAddresses", calc);
  Report("  InsertDialogs", insert);
  Report("  total", calc + insert);
  std::filesystem::remove_all(dir);
}

void BenchInsert() {
  const Game g = MakeGame(kFreeLower);
  Run(g, false, kFreeLower);
  Run(g, true, kFreeLower);
  {
    const Game upper = MakeGame(kFreeUpper);
    Run(upper, false, kFreeUpper);
    Run(upper, true, kFreeUpper);
  }

  PointerSnapshot snapshot(std::span<const std::uint8_t>(g.rom.data(), g.rom.size()));
  Report("index every pointer window of the 32 MiB ROM", TimeMs([&] { snapshot.IndexAllPointers(); }));
  std::vector<std::int32_t> found;
  Report("one linear pointer scan of 32 MiB (per dialog and zone without the index)",
         TimeMs([&] { found = snapshot.FindLinear({0x00, 0x00, 0x40, 0x08}, 0, INT32_MAX); }));
}

}  // namespace

VORKAT_BENCH("insert", BenchInsert);

}  // namespace vorkat::bench
