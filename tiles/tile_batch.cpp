#include "tiles/tile_batch.h"

#include <vector>

#include "core/core_state.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/text.h"
#include "tiles/tile_commands.h"

namespace vorkat {

namespace {

std::vector<std::u16string> Pieces(std::u16string_view argument) {
  std::vector<std::u16string> out;
  for (std::u16string_view piece : SplitViews(argument, u",")) out.push_back(TrimBlanks(piece));
  return out;
}

// The job of a line's offset, format and perrow pieces; none (logged) when one is wrong.
std::optional<TileSheetJob> JobOf(CoreState state, std::u16string_view command, std::u16string_view usage,
                                  const std::vector<std::u16string>& p, std::size_t offsetAt, std::size_t formatAt,
                                  std::size_t perRowAt, std::size_t lzAt) {
  auto bad = [&](std::u16string_view what) {
    AppendLog(state,
              u"Команда " + std::u16string(command) + u": " + std::u16string(what) + u", нужно: " +
                  std::u16string(command) + u"=" + std::u16string(usage),
              kColourBrightRed);
    return std::nullopt;
  };
  if (p.size() <= perRowAt || p.size() > lzAt + 1) return bad(u"не то число аргументов");
  const auto format = ParseTileFormat(p[formatAt]);
  if (!format) return bad(u"формат тайлов '" + p[formatAt] + u"' не GB1, GB2, GBA4 или GBA8");
  TileSheetJob job;
  job.layout.format = *format;
  job.columns = ReadInt(p[perRowAt]);
  if (job.columns <= 0) return bad(u"тайлов в строке должно быть больше 0");
  const std::int32_t offset = ReadInt(p[offsetAt]);
  if (offset < 0) return bad(u"адрес меньше 0");
  if (p.size() == lzAt + 1) {
    if (UCase(p[lzAt]) != u"LZ77") return bad(u"последний аргумент может быть только LZ77");
    job.lz77Block = offset;
  }
  job.palette = GreyRamp(TileColours(*format));
  return job;
}

}  // namespace

bool TilesExportLine(CoreState state, std::u16string_view argument) {
  const auto p = Pieces(argument);
  constexpr std::u16string_view kUsage = u"адрес,число тайлов,формат,в строке,файл.png[,LZ77]";
  auto job = JobOf(state, u"TILESEXPORT", kUsage, p, 0, 2, 3, 5);
  if (!job) return false;
  const std::int32_t count = ReadInt(p[1]);
  if (count <= 0 || p.size() < 5 || p[4].empty()) {
    AppendLog(state,
              u"Команда TILESEXPORT: нужно число тайлов больше 0 и файл, нужно: TILESEXPORT=" + std::u16string(kUsage),
              kColourBrightRed);
    return false;
  }
  const std::int64_t first = job->lz77Block ? 0 : ReadInt(p[0]);
  // The sheet has whole rows: a part-filled last row shows the tiles that
  // follow, so that importing the sheet unchanged changes nothing.
  const std::int64_t rows = (std::int64_t{count} + job->columns - 1) / job->columns;
  job->cells = CellRun(first, rows * job->columns, job->layout.CellBytes());
  return ExportTileSheet(state, *job, p[4]);
}

bool TilesImportLine(CoreState state, std::u16string_view argument) {
  const auto p = Pieces(argument);
  auto job = JobOf(state, u"TILESIMPORT", u"файл.png,адрес,формат,в строке[,LZ77]", p, 1, 2, 3, 4);
  if (!job) return false;
  // The sheet's height gives the count: whole rows of `perrow` tiles.
  job->runFrom = job->lz77Block ? 0 : ReadInt(p[1]);
  return ImportTileSheet(state, *job, p[0]);
}

}  // namespace vorkat
