#include "bench/bench.h"
#include "app/app.h"
#include "core/rom.h"

namespace vorkat::bench {
namespace {

void BenchLog() {
  QuietHost host;
  AppState state(host);
  double ms = TimeMs([&] {
    for (int i = 0; i < 100000; ++i)
      AppendLog(state, u"Записали диалог номер" + NumText(i), i % 7 ? kColourDefault : kColourDarkRed);
  });
  Report("append 100,000 log lines (core)", ms);
}

void BenchRom() {
  QuietHost host;
  AppState state(host);
  auto dir = TempDir();
  auto file = FromPath(dir / "rom32.gba");
  {
    Bytes data(32u << 20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    WriteFileAtomic(file, data, Backup::None, nullptr);
  }
  Report("open 32 MiB ROM (first open in the process)", TimeMs([&] { OpenRom(state, file); }));
  Report("open 32 MiB ROM (again)", TimeMs([&] { OpenRom(state, file); }));
  Report("save 32 MiB ROM (first save, no .bak)", TimeMs([&] { SaveRom(state, file + u".out"); }));
  Report("save 32 MiB ROM (with .bak rotation)", TimeMs([&] { SaveRom(state, file + u".out"); }));
  std::filesystem::remove_all(dir);
}

}  // namespace

VORKAT_BENCH("log", BenchLog);
VORKAT_BENCH("rom", BenchRom);

}  // namespace vorkat::bench
