#include <random>

#include "bench/bench.h"
#include "app/app.h"
#include "codec/table_tools.h"
#include "core/rom.h"
#include "script/dialogs_file.h"
#include "insert/free_space_report.h"
#include "insert/insert_dialogs.h"
#include "insert/new_addresses.h"
#include "insert/pointer_rewrite.h"
#include "insert/pointer_table.h"
#include "extract/dump_via_pointers.h"
#include "extract/pointer_report.h"
#include "insert/verify_insertion.h"

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
    r.dlgText = u"Dialog " + DecText(d) + u" says hello to the brave hero.<$BR>\r\nOn we go!<$END>";
    g.dialogs.push_back(std::move(r));
  }
  return g;
}

void Prepare(AppState& state, const Game& g, std::int32_t freeStart) {
  state.rom.bytes.assign(g.rom.begin(), g.rom.end());
  state.rom.isLoaded = true;
  TranslationTable& t = state.table;
  t = TranslationTable{};
  for (char16_t c = u' '; c <= u'z'; ++c)
    if (c != u'<' && c != u'>' && c != u'$') t.entries[c] = std::u16string(1, c);
  t.entries[0x00] = u"<$END>";
  t.entries[0xFE] = u"<$BR>\r\n";  // a table file can hold it (a text "<$VBCRLF>" + CR LF cannot)
  t.tokenCount = 256;
  t.type = u"SBCS";
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
  state.ctx.settings.ExtendedLogs = extended ? u"YES" : u"NO";
  const auto dir = TempDir();
  state.dialogs.fileName = FromPath(dir / "script.txt");
  std::filesystem::remove(dir / "script.log");
  state.insertOptions.CreateInsertionLogs = extended;
  double calc = TimeMs([&] { CalcNewAddresses(state); });
  double insert = TimeMs([&] { InsertDialogs(state); });
  const char* what = extended ? "20,000 dialogs, ExtendedLogs + insertion log" : "20,000 dialogs, plain logs";
  std::printf("%s (%d pointers), free space %s 16 MiB:\n", what, g.pointers, freeStart < 0x1000000 ? "below" : "above");
  Report("  CalcNewAddresses", calc);
  Report("  InsertDialogs", insert);
  Report("  total", calc + insert);
  if (!extended) {
    VerifyResult result;
    Report("  VerifyInsertion (report file written)",
           TimeMs([&] { VerifyInsertion(state, FromPath(dir / "verify.txt")); }));
    Report("  CheckInsertion alone", TimeMs([&] { result = CheckInsertion(state); }));
    std::printf(
        "  (problems: %zu text bytes, %zu decoding, %zu pointers, %zu old pointers, %zu without a pointer, %zu lost "
        "text, %zu overwritten, %zu outside the space)\n",
        result.Count(VerifyProblemKind::TextBytes), result.Count(VerifyProblemKind::TextDecoding),
        result.Count(VerifyProblemKind::Pointer), result.Count(VerifyProblemKind::StalePointer),
        result.Count(VerifyProblemKind::NoPointer), result.Count(VerifyProblemKind::LostText),
        result.Count(VerifyProblemKind::Overwritten), result.Count(VerifyProblemKind::OutsideSpace));
    Report("  FreeSpaceReport after the calculation",
           TimeMs([&] { FreeSpaceReport(state, FromPath(dir / "space.txt")); }));
  }
  std::filesystem::remove_all(dir);
}

// The report before any calculation: a dry run on a copy.
void RunDryFreeSpaceReport(const Game& g) {
  QuietHost host;
  AppState state(host);
  Prepare(state, g, kFreeLower);
  const auto dir = TempDir();
  Report("FreeSpaceReport as a dry run, 20,000 dialogs",
         TimeMs([&] { FreeSpaceReport(state, FromPath(dir / "space.txt")); }));
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
  RunDryFreeSpaceReport(g);

  PointerSnapshot snapshot(std::span<const std::uint8_t>(g.rom.data(), g.rom.size()));
  Report("index every pointer window of the 32 MiB ROM", TimeMs([&] { snapshot.IndexAllPointers(); }));
  std::vector<std::int32_t> found;
  Report("one linear pointer scan of 32 MiB (per dialog and zone without the index)", TimeMs([&] {
           found = snapshot.FindLinear({0x00, 0x00, 0x40, 0x08}, 0, INT32_MAX);
         }));
}

// Whole vorkat-cli runs over the same files: each script loads the ROM, the
// table and the dialogs; the figure of a command is its script's time less
// the time of the script without it.
void BenchInsertCli() {
  const auto cli = CliPath();
  if (!std::filesystem::exists(cli)) {
    std::printf("vorkat-cli not found next to the benchmark program\n");
    return;
  }
  const Game g = MakeGame(kFreeLower);
  const auto dir = TempDir() / "insert-cli";
  std::filesystem::create_directories(dir);
  {
    QuietHost host;
    AppState state(host);
    Prepare(state, g, kFreeLower);
    SaveTableAs(state, FromPath(dir / "game.tbl"));
    SaveDialogsAs(state, FromPath(dir / "dialogs.txt"));
    WriteFileAtomic(FromPath(dir / "game.gba"), state.rom.view(), Backup::None, nullptr);
  }
  const std::string load =
      "LOADROM=game.gba\nLOADTABLE=game.tbl\nLOADDIALOGS=dialogs.txt\nFREESPACESTARTADDR=&hC00000\n"
      "FREESPACEENDADDR=&h1000000\nADDRESSALIGNBY=4\n";
  const std::string insert = load + "CALCNEWPOINTERS\nRETURNDIALGS2ROM\n";
  WriteScript(dir / "load.txt", load);
  WriteScript(dir / "insert.txt", insert);
  WriteScript(dir / "verify.txt", insert + "VERIFYINSERTION=verify-report.txt\n");
  WriteScript(dir / "space.txt", load + "FREESPACEREPORT=space-report.txt\n");
  auto run = [&](const char* script) {
    return MedianMs("cd '" + dir.string() + "' && '" + cli.string() + "' " + script + " >/dev/null");
  };
  const double loadMs = run("load.txt");
  const double insertMs = run("insert.txt");
  const double verifyMs = run("verify.txt");
  const double spaceMs = run("space.txt");
  Report("vorkat-cli: load 32 MiB ROM, table, 20,000 dialogs", loadMs);
  Report("  + CALCNEWPOINTERS + RETURNDIALGS2ROM (over loading)", insertMs - loadMs);
  Report("  + VERIFYINSERTION after them (over the insertion)", verifyMs - insertMs);
  Report("  + FREESPACEREPORT as a dry run (over loading)", spaceMs - loadMs);
  std::filesystem::remove_all(dir);
}

// A Game Boy game of 8 MiB (512 banks): 20,000 texts spread over banks 1 to
// 200, each bank holding its texts' pointer table; the last 4 KiB of every
// bank and the whole banks from 208 on are free. GB16 keeps each text in
// its bank (zones keep the texts); GB24 moves them all into banks 208 to 255
// (the last a bank byte reaches).
void BenchGb() {
  constexpr std::size_t kGbRom = 8u << 20;
  constexpr int kBanks = 200;
  constexpr int kFirstFreeBank = 208;
  constexpr int kPerBank = kDialogs / kBanks;
  for (PointerFormat format : {PointerFormat::GB16, PointerFormat::GB24}) {
    QuietHost host;
    AppState state(host);
    Game g;
    g.rom.resize(kGbRom);
    for (std::size_t i = 0; i < kGbRom; ++i) g.rom[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    // Bank 0 is quiet: a 2-byte old pointer found there is shared by every
    // bank's text at that address, which would measure noise, not speed.
    std::fill_n(g.rom.begin(), kGbBankSize, 0x00);
    for (int bank = 1; bank <= 511; ++bank)
      std::fill_n(g.rom.begin() + bank * kGbBankSize + (bank >= kFirstFreeBank ? 0 : 0x3000),
                  bank >= kFirstFreeBank ? kGbBankSize : 0x1000, 0xFF);
    const int width = PointerWidth(format);
    for (int d = 0; d < kDialogs; ++d) {
      const int bank = 1 + d / kPerBank;
      const std::int32_t from = bank * kGbBankSize + 0x800 + (d % kPerBank) * 64;
      const auto bytes = *EncodePointer(format, from);
      std::copy_n(bytes.begin(), width, g.rom.begin() + bank * kGbBankSize + (d % kPerBank) * 4);
      ++g.pointers;
      DialogRecord r;
      r.dlgID = DecText(from);
      r.ExtractedFromAddr = HexText(static_cast<std::uint32_t>(from));
      r.dlgText = u"Dialog " + DecText(d) + u" says hello.<$END>";
      g.dialogs.push_back(std::move(r));
    }
    Prepare(state, g, 0);
    state.ctx.settings.PtrFormat = format;
    state.ctx.settings.ExtendedLogs = u"NO";
    state.insertion.FreeSpaceStartAddr = format == PointerFormat::GB16 ? kGbBankSize : kFirstFreeBank * kGbBankSize;
    state.insertion.FreeSpaceEndAddr = static_cast<std::int32_t>(kGbRom);
    state.insertion.AddressAlignBy = 0;
    const auto dir = TempDir();
    state.dialogs.fileName = FromPath(dir / "script.txt");
    // GB16 starts at bank 1 and finds each bank's share past its texts: zones keep the texts.
    if (format == PointerFormat::GB16)
      for (int bank = 1; bank < kFirstFreeBank; ++bank)
        state.insertion.IgnoreRomZones.push_back({bank * kGbBankSize, bank * kGbBankSize + 0x2FFF});
    std::printf("%s, 8 MiB, 20,000 dialogs:\n", format == PointerFormat::GB16 ? "GB16" : "GB24");
    Report("  CalcNewAddresses", TimeMs([&] { CalcNewAddresses(state); }));
    Report("  InsertDialogs", TimeMs([&] { InsertDialogs(state); }));
    VerifyResult result;
    Report("  CheckInsertion", TimeMs([&] { result = CheckInsertion(state); }));
    std::printf("  (placed past the free space: %s; problems: %zu text, %zu pointers, %zu old pointers)\n",
                state.ctx.log.text.find(u"Не хватило свободного места") == std::u16string::npos ? "none" : "some",
                result.Count(VerifyProblemKind::TextBytes) + result.Count(VerifyProblemKind::TextDecoding),
                result.Count(VerifyProblemKind::Pointer), result.Count(VerifyProblemKind::StalePointer));
    std::filesystem::remove_all(dir);
  }
}

// A 16 MiB ROM of noise with 20,000 texts of 64 bytes in a text bank at
// 4 MiB and a declared table of their 4-byte offsets from the bank's start,
// 8 bytes per entry (the other 4 are noise). The table is read and dumped;
// then the dialogs, each with its entry's zone as the dump gives it, are
// placed and inserted: longer translations to free space at 12 MiB, or
// shorter ones in place.
void BenchOffsets() {
  constexpr std::size_t kRom = 16u << 20;
  constexpr std::int32_t kBank = 0x400000;
  constexpr std::int32_t kTable = 0x100000;
  constexpr int kStride = 8;
  for (bool inPlace : {false, true}) {
    QuietHost host;
    AppState state(host);
    Game g;
    g.rom.resize(kRom);
    for (std::size_t i = 0; i < kRom; ++i) g.rom[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    std::fill_n(g.rom.begin() + 0xC00000, kFreeSize, 0xFF);
    const PointerFormat format = PointerFormat::Offset(4, kBank, false);
    for (int d = 0; d < kDialogs; ++d) {
      const std::int32_t from = kBank + d * 64;
      const auto bytes = *EncodePointer(format, from);
      std::copy_n(bytes.begin(), 4, g.rom.begin() + kTable + d * kStride);
      ++g.pointers;
      DialogRecord r;
      r.dlgID = DecText(from);
      r.ExtractedFromAddr = HexText(static_cast<std::uint32_t>(from));
      r.OldDlgSize = u"64";
      r.PtrsAddrZones = PointerPlacesZones({kTable + d * kStride}, 4);
      r.dlgText = inPlace
                      ? u"Dialog " + DecText(d) + u" says hi.<$END>"
                      : u"Dialog " + DecText(d) + u" says hello to the brave hero.<$BR>\r\nOn we go, far away!<$END>";
      g.dialogs.push_back(std::move(r));
    }
    Prepare(state, g, 0xC00000);
    state.ctx.settings.PtrFormat = format;
    state.ctx.settings.ExtendedLogs = u"NO";
    state.insertOptions.InPlace = inPlace;
    const auto dir = TempDir();
    state.dialogs.fileName = FromPath(dir / "script.txt");
    if (!inPlace) {
      std::printf("OFFSET,4,&h400000, 16 MiB, a declared table of 20,000 entries (stride 8):\n");
      const std::u16string report = FromPath(dir / "table.txt");
      const double table = TimeMs([&] { DeclarePointerTable(state, kTable, kDialogs, kStride, report); });
      const double dump = TimeMs(
          [&] { DumpViaPointers(state, report, FromPath(dir / "sorted.txt"), FromPath(dir / "dump.txt"), false); });
      Report("  POINTERTABLE (the report)", table);
      Report("  DUMPVIAPOINTERS (20,000 dialogs)", dump);
      Report("  both", table + dump);
    }
    std::printf("  20,000 dialogs %s:\n", inPlace ? "in place (INPLACE=1)" : "to free space");
    Report("    CalcNewAddresses", TimeMs([&] { CalcNewAddresses(state); }));
    Report("    InsertDialogs", TimeMs([&] { InsertDialogs(state); }));
    VerifyResult result;
    Report("    CheckInsertion", TimeMs([&] { result = CheckInsertion(state); }));
    std::printf("    (problems: %zu)\n", result.problems.size());
    std::filesystem::remove_all(dir);
  }
}

}  // namespace

VORKAT_BENCH("insert offsets", BenchOffsets);
VORKAT_BENCH("insert gb", BenchGb);
VORKAT_BENCH("insert", BenchInsert);
VORKAT_BENCH("insert cli", BenchInsertCli);

}  // namespace vorkat::bench
