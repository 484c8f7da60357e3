#include <random>
#include <string>

#include "bench/bench.h"
#include "core/app.h"
#include "core/rom.h"
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

void LoadPair(AppState& state, QuietHost& host, const std::filesystem::path& working,
              const std::filesystem::path& original) {
  OpenRom(state, FromPath(working));
  host.fileNames.push_back(FromPath(original));
  OpenOriginalRom(state);
}

void BenchComparison() {
  auto dir = TempDir();
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
    Report(("compare " + tag + ", 2,000 changes, chunked").c_str(),
           TimeMs([&] { CompareRoms(state, false, true); }));
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
    state.rom.size = static_cast<std::int32_t>(a.size());
    state.rom.isLoaded = true;
    state.originalRom.bytes.assign(b.begin(), b.end());
    state.originalRom.isLoaded = true;
    Report("compare 16 MiB where every byte differs, chunked", TimeMs([&] { CompareRoms(state, false, true); }));
    Report("write IPS of 16 MiB of changes", TimeMs([&] { WriteIps(state, FromPath(dir / "all.ips")); }));
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
  std::filesystem::remove_all(dir);
}

}  // namespace

VORKAT_BENCH("patch", BenchComparison);

}  // namespace vorkat::bench
