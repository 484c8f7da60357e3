#include <random>
#include <vector>

#include "app/app.h"
#include "app/state.h"
#include "bench/bench.h"
#include "tiles/lz77.h"
#include "tiles/png_file.h"
#include "tiles/tile_commands.h"
#include "tiles/tile_page.h"

namespace vorkat::bench {
namespace {

void ReportMicro(const char* what, double ms) { std::printf("%-60s %9.1f us\n", what, ms * 1000); }

// Median of `rounds` timings of f.
double Median(int rounds, const std::function<void()>& f) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) times.push_back(TimeMs(f));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// GBA4 font tiles: strokes of a few pixels on a blank ground, some noise.
std::vector<std::uint8_t> FontLikeTiles(std::size_t size) {
  std::mt19937 rng(26);
  std::vector<std::uint8_t> data(size);
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned r = rng();
    data[i] = (i % 4 == 1 || i % 4 == 2) && r % 3 == 0 ? static_cast<std::uint8_t>(0x11 * (1 + r % 3)) : 0;
    if (r % 97 == 0) data[i] = static_cast<std::uint8_t>(r >> 8);
  }
  return data;
}

void BenchTiles() {
  const std::vector<std::uint8_t> block = FontLikeTiles(64 * 1024);
  std::vector<std::uint8_t> stream;
  const double compress = Median(9, [&] { stream = CompressLz77(block); });
  std::size_t outSize = 0;
  const double decompress = Median(9, [&] { outSize = DecompressLz77(stream).data.size(); });
  if (outSize != block.size()) std::printf("  !! round trip lost bytes\n");
  Report("LZ77 compress a 64 KiB block", compress);
  Report("LZ77 decompress it", decompress);
  std::printf("  (%zu bytes compressed)\n", stream.size());

  QuietHost host;
  AppState state(host);
  StartUp(state, FromPath(TempDir()));
  state.rom.bytes.assign(block.begin(), block.end());
  state.rom.isLoaded = true;
  TileSheetJob job;
  job.layout = {TileFormat::GBA4, 8};
  job.cells = CellRun(0, 1024, job.layout.CellBytes());
  job.columns = 32;
  job.palette = GreyRamp(16);
  const std::u16string file = FromPath(TempDir() / "tiles.png");
  const IndexedImage sheet = CellsToSheet(state.rom.view(), job.layout, job.cells, job.columns);
  std::vector<std::uint8_t> png;
  Report("  of which: encoding the sheet as PNG", Median(9, [&] { png = WritePng(sheet, job.palette); }));
  Report("  of which: decoding that PNG", Median(9, [&] { ReadPng(png); }));
  Report("export 1,024 GBA4 tiles as a PNG sheet (synced file)", Median(9, [&] { ExportTileSheet(state, job, file); }));
  bool imported = false;
  Report("import them back", Median(9, [&] { imported = ImportTileSheet(state, job, file); }));
  if (!imported) std::printf("  !! the import was refused\n");

  TileView view;
  view.layout = job.layout;
  view.perRow = 32;
  ReportMicro("page model of 32x32 tiles (the pixels the window scales)",
              Median(51, [&] { FillTilePage(state.rom.view(), view, 32); }));
}

}  // namespace

VORKAT_BENCH("tiles", BenchTiles);

}  // namespace vorkat::bench
