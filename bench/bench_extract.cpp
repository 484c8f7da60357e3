// Extraction and pointer search over a 32 MiB ROM.
#include <random>

#include "bench/bench.h"
#include "insert/pointer_search.h"
#include "app/app.h"
#include "core/file_io.h"
#include "core/text.h"
#include "extract/dump_via_pointers.h"
#include "extract/scan_extract.h"
#include "extract/pointer_report.h"

namespace vorkat::bench {
namespace {

constexpr std::size_t kRomSize = 32u << 20;

void PutRom(AppState& state, const Bytes& bytes) {
  state.rom.bytes.assign(bytes.begin(), bytes.end());
  state.rom.isLoaded = true;
}

// Runs of 8..60 text codes between 1..6 bytes of other data: about 85% of
// the ROM is text. With sbcs2, every fifth text code is a two-byte 81xx code.
Bytes TextRom(bool sbcs2) {
  std::mt19937 rng(11);
  Bytes rom(kRomSize);
  std::size_t p = 0;
  while (p < rom.size()) {
    std::size_t run = 8 + rng() % 53;
    for (std::size_t k = 0; k < run && p < rom.size(); ++k) {
      if (sbcs2 && k % 5 == 4 && p + 1 < rom.size()) {
        rom[p++] = 0x81;
        rom[p++] = static_cast<std::uint8_t>(0x40 + rng() % 0x40);
      } else {
        rom[p++] = static_cast<std::uint8_t>(0x20 + rng() % 0x5F);
      }
    }
    std::size_t gap = 1 + rng() % 6;
    for (std::size_t k = 0; k < gap && p < rom.size(); ++k) rom[p++] = static_cast<std::uint8_t>(rng() % 0x10);
  }
  return rom;
}

void PutTable(AppState& state, const char16_t* type) {
  state.table = TranslationTable{};
  for (int c = 0x20; c < 0x7F; ++c) state.table.entries[c] = std::u16string(1, static_cast<char16_t>(c));
  for (int c = 0x8140; c < 0x8180; ++c)
    state.table.entries[c] = std::u16string(1, static_cast<char16_t>(0x3040 + (c & 0x3F)));
  state.table.entries[0xFF] = u"<$END>";
  state.table.endCode = 0xFF;
  state.table.endCodeSet = true;
  state.table.type = type;
  state.table.isLoaded = true;
}

void BenchScan() {
  auto dir = TempDir() / "extract";
  std::filesystem::create_directories(dir);
  const std::u16string out = FromPath(dir / "scan.txt");
  for (bool sbcs2 : {false, true}) {
    QuietHost host;
    AppState state(host);
    PutRom(state, TextRom(sbcs2));
    PutTable(state, sbcs2 ? u"SBCS2" : u"SBCS");
    state.ctx.settings.NumberOfTextChars = 4;
    for (const char16_t* hex : {u"NO", u"YES"}) {
      state.codecOptions.HexEncodeUnknownChars = hex;
      std::int32_t start = 0, end = 0;
      double ms = TimeMs([&] { ScanExtract(state, start, end, out); });
      std::string what = std::string("scan extraction 32 MiB, ") + (sbcs2 ? "SBCS2" : "SBCS") +
                         (hex[0] == u'Y' ? ", hex mode" : "") + " (" + std::to_string(*FileLength(out) >> 20) +
                         " MiB out)";
      Report(what.c_str(), ms);
    }
  }
  std::filesystem::remove_all(dir);
}

// A random 32 MiB ROM with 100,000 pointers into 0x100000..0x17FFFF at
// random 4-byte aligned places; the random bytes add ~130,000 other 08 bytes,
// kept out of the target range.
void BenchPointerSearch() {
  auto dir = TempDir() / "extract";
  std::filesystem::create_directories(dir);
  QuietHost host;
  AppState state(host);
  std::mt19937 rng(5);
  Bytes rom(kRomSize);
  for (auto& b : rom) b = static_cast<std::uint8_t>(rng());
  for (std::size_t k = 1; k < rom.size(); ++k)
    if (rom[k] == 0x08 && (rom[k - 1] & 0xF8) == 0x10) rom[k - 1] = 0x90;
  for (int n = 0; n < 100000; ++n) {
    std::size_t at = (rng() % (rom.size() / 4)) * 4;
    std::uint32_t target = 0x100000 + rng() % 0x80000;
    rom[at] = target & 0xFF, rom[at + 1] = target >> 8 & 0xFF, rom[at + 2] = target >> 16 & 0xFF, rom[at + 3] = 8;
  }
  PutRom(state, rom);
  const std::u16string report = FromPath(dir / "ptrs.txt");
  double ms = TimeMs([&] { FindPointers(state, 0x100000, 0x17FFFF, 0, 0, report); });
  auto found = SplitCrLf(state.ctx.log.text.substr(state.ctx.log.text.rfind(u"Всего найдено поинтеров")))[0];
  Report(("pointer search 32 MiB (" + ToUtf8(found) + ")").c_str(), ms);

  // Dump via a report of 20,000 pointers into the text ROM.
  PutRom(state, TextRom(false));
  PutTable(state, u"SBCS");
  std::string lines;
  for (int n = 0; n < 20000; ++n) {
    std::uint32_t target = rng() % kRomSize;
    lines += ToCp1251(PointerReportLine(0x100 + n * 4, {std::uint8_t(target), std::uint8_t(target >> 8),
                                                        std::uint8_t(target >> 16), 8}));
    lines += "\r\n";
  }
  WriteFileAtomic(report, std::span(reinterpret_cast<const std::uint8_t*>(lines.data()), lines.size()), Backup::None,
                  nullptr);
  const std::u16string temp = FromPath(dir / "sorted.txt"), out = FromPath(dir / "dump.txt");
  ms = TimeMs([&] { DumpViaPointers(state, report, temp, out, false); });
  Report("dump via 20,000 pointers (report, sort, temp file, dump)", ms);
  ms = TimeMs([&] { DumpViaPointers(state, report, temp, out, true); });
  Report("dump via 20,000 pointers (from the temporary file)", ms);
  std::filesystem::remove_all(dir);
}

}  // namespace

VORKAT_BENCH("scan", BenchScan);
VORKAT_BENCH("pointers", BenchPointerSearch);

}  // namespace vorkat::bench
