// Masked search and the viewer's page model on a 32 MiB ROM.
#include <algorithm>

#include "app/state.h"
#include "bench/bench.h"
#include "search/masked_search.h"
#include "viewer/viewer_model.h"

namespace vorkat::bench {
namespace {

// 32 MiB of pseudo-random bytes with the needle planted 40 times.
void FillRom(AppState& state) {
  Bytes data(32u << 20);
  std::uint32_t x = 777;
  for (auto& b : data) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  const std::uint8_t needle[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x00, 0xDE};
  for (std::size_t at = 1000; at + sizeof needle < data.size(); at += data.size() / 40)
    std::copy(std::begin(needle), std::end(needle), data.begin() + static_cast<std::ptrdiff_t>(at));
  state.rom.bytes.assign(data.begin(), data.end());
  state.rom.isLoaded = true;
  for (std::size_t i = 0; i < data.size(); i += 4099) data[i] ^= 0x5A;  // differences scattered over the ROM
  state.originalRom.bytes.assign(data.begin(), data.end());
  state.originalRom.isLoaded = true;
}

void Search(AppState& state, QuietHost& host, const char* what, std::u16string_view pattern) {
  double best = 1e9;
  std::size_t lines = 0;
  for (int run = 0; run < 5; ++run) {
    ClearLog(state);
    best = std::min(best, TimeMs([&] { SearchRomBytes(state, pattern); }));
    lines = state.ctx.log.lineCount;
  }
  (void)host;
  std::printf("%-60s %9.1f ms (%zu log lines)\n", what, best, lines);
}

void BenchSearch() {
  QuietHost host;
  AppState state(host);
  FillRom(state);
  Search(state, host, "masked search 32 MiB, 6-byte literal prefix (123456789ABC??DE)", u"123456789ABC??DE");
  Search(state, host, "masked search 32 MiB, leading wildcard (??3456789ABC)", u"??3456789ABC");
  Search(state, host, "masked search 32 MiB, leading wildcard, 1-byte run (??34??56)", u"??34??56");

  ViewerModel view;
  ResetViewer(state, view);
  LayOutViewer(state, view, 48 * 3, 40);
  view.ShowDiff = true;
  view.ViewTop = 20u << 20;
  double worst = 0;
  for (int i = 0; i < 200; ++i) {
    view.ViewTop += view.Columns * view.Rows;
    worst = std::max(worst, TimeMs([&] { BuildPage(state, view); }));
  }
  Report("viewer page model, 48 x 40 cells, difference view (worst of 200)", worst);
}

VORKAT_BENCH("search", BenchSearch);

}  // namespace
}  // namespace vorkat::bench
