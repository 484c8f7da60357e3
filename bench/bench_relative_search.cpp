// Relative search over a 32 MiB ROM: a 6-letter word, one- and two-byte codes.
#include <algorithm>

#include "app/state.h"
#include "bench/bench.h"
#include "search/relative_search.h"

namespace vorkat::bench {
namespace {

// 32 MiB of pseudo-random bytes with "CASTLE" planted 40 times (A = 0x80,
// or 0x8340 in two-byte codes).
void FillRom(AppState& state, int width) {
  Bytes data(32u << 20);
  std::uint32_t x = 4242;
  for (auto& b : data) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  const std::u16string_view word = u"CASTLE";
  for (std::size_t at = 1001; at + 12 < data.size(); at += data.size() / 40)
    for (std::size_t i = 0; i < word.size(); ++i) {
      const std::uint32_t code = (width == 2 ? 0x8340u : 0x80u) + (word[i] - u'A');
      if (width == 2) {
        data[at + 2 * i] = static_cast<std::uint8_t>(code >> 8);
        data[at + 2 * i + 1] = static_cast<std::uint8_t>(code);
      } else {
        data[at + i] = static_cast<std::uint8_t>(code);
      }
    }
  state.rom.bytes.assign(data.begin(), data.end());
  state.rom.isLoaded = true;
}

void Search(AppState& state, const char* what, int width) {
  double best = 1e9;
  std::size_t hits = 0;
  for (int run = 0; run < 5; ++run)
    best = std::min(best,
                    TimeMs([&] { hits = RelativeSearch(state, u"CASTLE", width, 0, state.rom.view().size()).count; }));
  std::printf("%-60s %9.1f ms (%zu hits)\n", what, best, hits);
}

void BenchRelativeSearch() {
  QuietHost host;
  AppState state(host);
  FillRom(state, 1);
  Search(state, "relative search 32 MiB, \"CASTLE\", 1-byte codes", 1);
  FillRom(state, 2);
  Search(state, "relative search 32 MiB, \"CASTLE\", 2-byte codes", 2);
}

VORKAT_BENCH("relative search", BenchRelativeSearch);

}  // namespace
}  // namespace vorkat::bench
