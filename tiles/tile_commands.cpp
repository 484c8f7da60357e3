#include "tiles/tile_commands.h"

#include <algorithm>

#include "core/core_state.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/pointer_format.h"
#include "core/runtime.h"
#include "core/text.h"
#include "insert/pointer_rewrite.h"
#include "tiles/png_file.h"

namespace vorkat {

namespace {

// A PNG sheet file is far below this; the limit keeps a wrong file from filling memory.
constexpr std::uint64_t kMaxPngFileSize = 64u << 20;

std::u16string SizeText(int width, int height) { return DecText(width) + u"x" + DecText(height); }

std::u16string Hex(std::int64_t offset) { return HexText(static_cast<std::uint64_t>(offset)); }

}  // namespace

Lz77WritePlan PlanLz77Write(std::span<const std::uint8_t> rom, std::int64_t blockOffset, std::size_t oldLength,
                            std::size_t newLength, Lz77Room room) {
  Lz77WritePlan plan;
  plan.need = newLength;
  plan.had = oldLength;
  if (newLength <= oldLength) {
    plan.kind = Lz77WritePlan::Kind::InPlace;
    plan.at = blockOffset;
    return plan;
  }
  if (!room.given()) return plan;
  const std::int64_t at = (std::int64_t{room.start} + 3) / 4 * 4;
  const std::int64_t last = std::min<std::int64_t>(room.end, static_cast<std::int64_t>(rom.size()) - 1);
  if (at + static_cast<std::int64_t>(newLength) - 1 > last ||
      at + static_cast<std::int64_t>(newLength) > kPointerReach) {
    plan.kind = Lz77WritePlan::Kind::NoRoom;
    return plan;
  }
  plan.at = at;
  // The block's GBA pointers, found as the insertion finds a dialog's.
  const auto pattern = EncodePointer(PointerFormat::GBA, static_cast<std::int32_t>(blockOffset));
  if (pattern && rom.size() >= 4) {
    const PointerSnapshot snapshot(rom, PointerFormat::GBA);
    for (std::int32_t m : snapshot.Find(*pattern, 0, static_cast<std::int32_t>(rom.size() - 4)))
      if (m % 4 == 0) plan.pointers.push_back(m);
  }
  plan.kind = plan.pointers.empty() ? Lz77WritePlan::Kind::NoPointers : Lz77WritePlan::Kind::Moved;
  return plan;
}

void ApplyLz77Write(std::span<std::uint8_t> rom, const Lz77WritePlan& plan, std::span<const std::uint8_t> stream) {
  const auto at = static_cast<std::size_t>(plan.at);
  if (plan.kind == Lz77WritePlan::Kind::InPlace) {
    const std::size_t n = std::min(stream.size(), plan.had);
    std::copy_n(stream.begin(), n, rom.begin() + static_cast<std::ptrdiff_t>(at));
    std::fill_n(rom.begin() + static_cast<std::ptrdiff_t>(at + n), plan.had - n, std::uint8_t{0});
    return;
  }
  if (plan.kind != Lz77WritePlan::Kind::Moved) return;
  const std::size_t n = std::min(stream.size(), rom.size() - at);
  std::copy_n(stream.begin(), n, rom.begin() + static_cast<std::ptrdiff_t>(at));
  PointerSnapshot snapshot(rom, PointerFormat::GBA);
  const auto pointer = EncodePointer(PointerFormat::GBA, static_cast<std::int32_t>(plan.at));
  for (std::int32_t m : plan.pointers)
    snapshot.Write(rom, static_cast<std::size_t>(m), std::span<const std::uint8_t>(pointer->data(), 4));
}

std::optional<Lz77Block> ReadLz77Block(Context& ctx, std::span<const std::uint8_t> rom, std::int64_t offset) {
  if (offset < 0 || offset >= static_cast<std::int64_t>(rom.size())) {
    AppendLog(ctx, u"Адрес блока LZ77 " + Hex(offset) + u" вне ROM'а", kColourBrightRed);
    return std::nullopt;
  }
  Lz77Block block = DecompressLz77(rom.subspan(static_cast<std::size_t>(offset)));
  switch (block.error) {
    case Lz77Error::None: return block;
    case Lz77Error::NotLz77:
      AppendLog(ctx, u"По адресу " + Hex(offset) + u" нет блока LZ77 (первый байт не 10)", kColourBrightRed);
      break;
    case Lz77Error::Truncated:
      AppendLog(ctx, u"Блок LZ77 по адресу " + Hex(offset) + u" обрывается концом ROM'а", kColourBrightRed);
      break;
    case Lz77Error::BeforeStart:
      AppendLog(ctx, u"Блок LZ77 по адресу " + Hex(offset) + u" ссылается на байты до своего начала", kColourBrightRed);
      break;
  }
  return std::nullopt;
}

bool ExportTileSheet(CoreState state, const TileSheetJob& job, const std::u16string& fileName) {
  if (!RequireRom(state)) return false;
  std::optional<Lz77Block> block;
  if (job.lz77Block) {
    block = ReadLz77Block(state, state.rom.view(), *job.lz77Block);
    if (!block) return false;
  }
  const std::span<const std::uint8_t> data = block ? std::span<const std::uint8_t>(block->data) : state.rom.view();
  const IndexedImage sheet = CellsToSheet(data, job.layout, job.cells, job.columns);
  const std::vector<std::uint8_t> png = WritePng(sheet, job.palette);
  IoError error;
  if (png.empty() || !WriteFileAtomic(fileName, png, Backup::RotateBak, &error, state.ctx.writeFaults)) {
    AppendLog(state, IoErrorText(u"Ошибка сохранения файла ", fileName, error), kColourBrightRed);
    return false;
  }
  AppendLog(state, u"Тайлы записаны в картинку " + fileName + u" (" + SizeText(sheet.width, sheet.height) + u"," +
                       NumText(static_cast<long long>(job.cells.size())) + u" клеток)");
  return true;
}

bool ImportTileSheet(CoreState state, const TileSheetJob& job, const std::u16string& fileName, Lz77Room room,
                     std::int64_t* blockAt) {
  if (blockAt && job.lz77Block) *blockAt = *job.lz77Block;
  if (!RequireRom(state)) return false;
  IoError error;
  const auto file = ReadFileBytes(fileName, &error, kMaxPngFileSize);
  if (!file) {
    AppendLog(state, IoErrorText(u"Не удалось прочитать файл ", fileName, error), kColourBrightRed);
    return false;
  }
  const PngPicture picture = ReadPng(*file);
  switch (picture.error) {
    case PngError::None: break;
    case PngError::NotPng:
      AppendLog(state, u"Файл " + fileName + u" не картинка PNG, тайлы не менялись", kColourBrightRed);
      return false;
    case PngError::TooLarge:
      AppendLog(state, u"Картинка " + fileName + u" слишком велика, тайлы не менялись", kColourBrightRed);
      return false;
    case PngError::Broken:
      AppendLog(state, u"Картинка " + fileName + u" испорчена, тайлы не менялись", kColourBrightRed);
      return false;
  }
  const IndexedImage sheet = MapToPalette(picture, job.palette);
  std::vector<std::int64_t> cells = job.cells;
  const int cellHeight = job.layout.CellHeight();
  if (cells.empty() && sheet.height % cellHeight == 0)
    cells = CellRun(job.runFrom, std::int64_t{sheet.height / cellHeight} * job.columns, job.layout.CellBytes());
  auto refuseSize = [&] {
    const std::int64_t rows =
        cells.empty() ? (sheet.height + cellHeight - 1) / cellHeight
                      : (static_cast<std::int64_t>(cells.size()) + job.columns - 1) / std::max(job.columns, 1);
    AppendLog(state,
              u"Размер картинки " + fileName + u" " + SizeText(sheet.width, sheet.height) + u" не тот: нужно " +
                  SizeText(job.columns * kTileSide, static_cast<int>(rows) * cellHeight) + u", тайлы не менялись",
              kColourBrightRed);
    return false;
  };
  if (cells.empty()) return refuseSize();
  auto refusePastEnd = [&] {
    AppendLog(state, u"Картинка " + fileName + u" заходит за конец данных, тайлы не менялись", kColourBrightRed);
    return false;
  };

  if (!job.lz77Block) {
    switch (SheetToCells(sheet, job.layout, cells, job.columns, state.rom.span())) {
      case SheetFit::Fits: break;
      case SheetFit::WrongSize: return refuseSize();
      case SheetFit::PastEnd: return refusePastEnd();
    }
    state.rom.modified = true;
    AppendLog(state, u"Тайлы из картинки " + fileName + u" записаны в ROM");
    return true;
  }

  std::optional<Lz77Block> block = ReadLz77Block(state, state.rom.view(), *job.lz77Block);
  if (!block) return false;
  std::vector<std::uint8_t> data = block->data;
  switch (SheetToCells(sheet, job.layout, cells, job.columns, data)) {
    case SheetFit::Fits: break;
    case SheetFit::WrongSize: return refuseSize();
    case SheetFit::PastEnd: return refusePastEnd();
  }
  // Compressing again would give other bytes for the same tiles: an unchanged
  // block stays as it is.
  if (data == block->data) {
    AppendLog(state, u"Тайлы из картинки " + fileName + u" не отличаются от блока LZ77 " + Hex(*job.lz77Block));
    return true;
  }
  const std::vector<std::uint8_t> stream = CompressLz77(data);
  const Lz77WritePlan plan =
      PlanLz77Write(state.rom.view(), *job.lz77Block, block->compressedLength, stream.size(), room);
  const std::u16string sizes = u": нужно" + NumText(static_cast<long long>(plan.need)) + u" байт, было" +
                               NumText(static_cast<long long>(plan.had));
  switch (plan.kind) {
    case Lz77WritePlan::Kind::InPlace:
    case Lz77WritePlan::Kind::Moved: break;
    case Lz77WritePlan::Kind::TooBig:
      AppendLog(state, u"Сжатые тайлы из " + fileName + u" не помещаются на место блока " + Hex(*job.lz77Block) + sizes,
                kColourBrightRed);
      return false;
    case Lz77WritePlan::Kind::NoRoom:
      AppendLog(state,
                u"Сжатые тайлы из " + fileName + u" не помещаются и в свободное место " + Hex(room.start) + u"-" +
                    Hex(room.end) + sizes,
                kColourBrightRed);
      return false;
    case Lz77WritePlan::Kind::NoPointers:
      AppendLog(state,
                u"Сжатые тайлы из " + fileName + u" не помещаются на место блока " + Hex(*job.lz77Block) + sizes +
                    u"; указателей на блок не нашли, переносить некуда",
                kColourBrightRed);
      return false;
  }
  ApplyLz77Write(state.rom.span(), plan, stream);
  state.rom.modified = true;
  if (blockAt) *blockAt = plan.at;
  if (plan.kind == Lz77WritePlan::Kind::InPlace)
    AppendLog(state, u"Тайлы из картинки " + fileName + u" сжаты в блок LZ77 " + Hex(plan.at) + u" (" +
                         DecText(static_cast<long long>(plan.need)) + u" байт из" +
                         NumText(static_cast<long long>(plan.had)) + u")");
  else
    AppendLog(state, u"Тайлы из картинки " + fileName + u" сжаты и перенесены в " + Hex(plan.at) + u" (" +
                         DecText(static_cast<long long>(plan.need)) + u" байт), указателей изменено:" +
                         NumText(static_cast<long long>(plan.pointers.size())));
  return true;
}

}  // namespace vorkat
