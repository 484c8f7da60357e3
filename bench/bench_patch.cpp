#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "app/app.h"
#include "core/rom.h"
#include "patch/bps.h"
#include "patch/ips_apply.h"
#include "patch/ips_writer.h"
#include "patch/rom_compare.h"

namespace vorkat::bench {
namespace {

// An original ROM of `size` bytes and a working copy with `changes` scattered
// runs of 1 to 8 changed bytes below `changeLimit`.
void MakeRomPair(const std::filesystem::path& original, const std::filesystem::path& working, std::size_t size,
                 int changes, std::size_t changeLimit) {
  Bytes data(size);
  std::uint32_t x = 12345;
  for (auto& b : data) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  WriteFileAtomic(FromPath(original), data, Backup::None, nullptr);
  std::mt19937 rng(99);
  for (int i = 0; i < changes; ++i) {
    std::size_t at = std::uniform_int_distribution<std::size_t>(0, changeLimit - 9)(rng);
    for (std::size_t k = at, n = 1 + rng() % 8; n > 0; --n, ++k) data[k] ^= 0xA5;
  }
  WriteFileAtomic(FromPath(working), data, Backup::None, nullptr);
}

// A folder of this benchmark's own, so that other benchmarks running at the same time keep theirs.
std::filesystem::path PatchDir() {
  auto dir = std::filesystem::temp_directory_path() / ("vorkat-bench-patch-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

void RemoveDir(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

void LoadPair(AppState& state, QuietHost& host, const std::filesystem::path& working,
              const std::filesystem::path& original) {
  OpenRom(state, FromPath(working));
  host.fileNames.push_back(FromPath(original));
  OpenOriginalRom(state);
}

void BenchComparison() {
  auto dir = PatchDir();
  MakeRomPair(dir / "orig16.gba", dir / "work16.gba", 16u << 20, 2000, 16u << 20);
  MakeRomPair(dir / "orig32.gba", dir / "work32.gba", 32u << 20, 2000, 16u << 20);
  for (int mb : {16, 32}) {
    QuietHost host;
    AppState state(host);
    std::string tag = std::to_string(mb) + " MiB";
    Report(("load two " + tag + " ROMs (core)").c_str(), TimeMs([&] {
             LoadPair(state, host, dir / ("work" + std::to_string(mb) + ".gba"),
                      dir / ("orig" + std::to_string(mb) + ".gba"));
           }));
    Report(("compare " + tag + ", 2,000 changes, chunked").c_str(), TimeMs([&] { CompareRoms(state, false, true); }));
    Report(("compare " + tag + ", 2,000 changes, eco").c_str(), TimeMs([&] { CompareRoms(state, true, true); }));
    Report(("write IPS of the " + tag + " comparison").c_str(),
           TimeMs([&] { WriteIps(state, FromPath(dir / "bench.ips")); }));
  }
  {
    // Worst case: every byte of 16 MiB differs.
    QuietHost host;
    AppState state(host);
    Bytes a(16u << 20, 0), b(16u << 20, 1);
    state.rom.bytes.assign(a.begin(), a.end());
    state.rom.isLoaded = true;
    state.originalRom.bytes.assign(b.begin(), b.end());
    state.originalRom.isLoaded = true;
    Report("compare 16 MiB where every byte differs, chunked", TimeMs([&] { CompareRoms(state, false, true); }));
    Report("write IPS of 16 MiB of changes", TimeMs([&] { WriteIps(state, FromPath(dir / "all.ips")); }));
  }
  {
    // BPS of 2,000 changes spread over all 32 MiB, made and applied in memory.
    MakeRomPair(dir / "bpsorig32.gba", dir / "bpswork32.gba", 32u << 20, 2000, 32u << 20);
    const Bytes source = *ReadFileBytes(FromPath(dir / "bpsorig32.gba"), nullptr, kMaxRomFileSize);
    const Bytes target = *ReadFileBytes(FromPath(dir / "bpswork32.gba"), nullptr, kMaxRomFileSize);
    std::vector<std::uint8_t> patch;
    Report("build BPS of two 32 MiB ROMs, 2,000 changes (core)", TimeMs([&] { patch = BuildBps(source, target); }));
    RomBytes out;
    Report("apply that BPS to 32 MiB in memory, all checks (core)", TimeMs([&] { ApplyBpsPatch(patch, source, out); }));
    Report("CRC32 of 32 MiB (zlib)", TimeMs([&] { Crc32(source); }));
    std::printf("  BPS size: %zu bytes\n", patch.size());
    QuietHost host;
    AppState state(host);
    Report("load the two 32 MiB ROMs (core)",
           TimeMs([&] { LoadPair(state, host, dir / "bpswork32.gba", dir / "bpsorig32.gba"); }));
    Report("SAVEBPS: build and write (synced) the BPS (core)",
           TimeMs([&] { WriteBps(state, FromPath(dir / "bench.bps")); }));
  }
  {
    QuietHost host;
    AppState state(host);
    std::u16string patch = FromPath(dir / "bench.ips");
    Report("open 32 MiB ROM, load and apply the patch, save (core)", TimeMs([&] {
             OpenRom(state, FromPath(dir / "orig32.gba"));
             LoadIps(state, patch);
             ApplyIps(state);
             SaveRom(state, FromPath(dir / "patched32.gba"));
           }));
  }
  RemoveDir(dir);
}

// Whole vorkat-cli runs, process start to exit, side by side with cmp.
void BenchCliRuns() {
  const auto cli = CliPath();
  if (!std::filesystem::exists(cli)) {
    std::printf("vorkat-cli not found next to the benchmark program\n");
    return;
  }
  auto dir = PatchDir();
  const std::string cd = "cd '" + dir.string() + "' && ";
  MakeRomPair(dir / "orig16.gba", dir / "work16.gba", 16u << 20, 2000, 16u << 20);
  MakeRomPair(dir / "orig32.gba", dir / "work32.gba", 32u << 20, 2000, 16u << 20);
  std::filesystem::copy_file(dir / "orig16.gba", dir / "copy16.gba");
  for (int mb : {16, 32}) {
    const std::string n = std::to_string(mb);
    WriteScript(dir / ("make" + n + ".txt"), "LOADROM=work" + n + ".gba\nLOADORIGINALROM=orig" + n +
                                                 ".gba\nCOMPAREROMS\nSAVEIPS=patch" + n + ".ips\n");
    Report(("vorkat-cli: load two " + n + " MiB ROMs, compare, write IPS").c_str(),
           MedianMs(cd + "'" + cli.string() + "' make" + n + ".txt >/dev/null"));
  }
  Report("cmp -s of a 16 MiB ROM with an identical copy", MedianMs(cd + "cmp -s orig16.gba copy16.gba"));
  Report("cmp -s of the two differing 16 MiB ROMs", MedianMs(cd + "cmp -s orig16.gba work16.gba"));
  WriteScript(dir / "apply.txt", "LOADROM=orig32.gba\nLOADIPS=patch32.ips\nAPPLYIPSTOROM\nSAVEROM=patched32.gba\n");
  Report("vorkat-cli: load a 32 MiB ROM, apply the patch, save the ROM",
         MedianMs(cd + "rm -f patched32.gba && '" + cli.string() + "' apply.txt >/dev/null"));
  // BPS: 2,000 changes spread over the whole 32 MiB.
  MakeRomPair(dir / "bpsorig32.gba", dir / "bpswork32.gba", 32u << 20, 2000, 32u << 20);
  std::filesystem::copy_file(dir / "bpsorig32.gba", dir / "bpscopy32.gba");
  WriteScript(dir / "makebps.txt", "LOADROM=bpswork32.gba\nLOADORIGINALROM=bpsorig32.gba\nSAVEBPS=patch32.bps\n");
  Report("vorkat-cli: load two 32 MiB ROMs, write BPS", MedianMs(cd + "'" + cli.string() + "' makebps.txt >/dev/null"));
  Report("cmp -s of a 32 MiB ROM with an identical copy", MedianMs(cd + "cmp -s bpsorig32.gba bpscopy32.gba"));
  // The parts of that run: process start and exit, then the two loads.
  WriteScript(dir / "empty.txt", "");
  Report("vorkat-cli: empty script", MedianMs(cd + "'" + cli.string() + "' empty.txt >/dev/null"));
  WriteScript(dir / "loadbps.txt", "LOADROM=bpswork32.gba\nLOADORIGINALROM=bpsorig32.gba\n");
  Report("vorkat-cli: load the two 32 MiB ROMs only", MedianMs(cd + "'" + cli.string() + "' loadbps.txt >/dev/null"));
  WriteScript(dir / "applybps.txt",
              "LOADROM=bpsorig32.gba\nLOADBPS=patch32.bps\nAPPLYBPSTOROM\nSAVEROM=bpspatched32.gba\n");
  Report("vorkat-cli: load a 32 MiB ROM, apply the BPS, save the ROM",
         MedianMs(cd + "rm -f bpspatched32.gba && '" + cli.string() + "' applybps.txt >/dev/null"));
  RemoveDir(dir);
}

}  // namespace

VORKAT_BENCH("patch", BenchComparison);
VORKAT_BENCH("patch cli", BenchCliRuns);

}  // namespace vorkat::bench
