#include "insert/pointer_search.h"
#include "insert/insert_state.h"

#include <algorithm>
#include <cstring>

#include "core/pointer_format.h"
#include "core/runtime.h"
#include "insert/address_forms.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/text.h"
#include "extract/extract_common.h"
#include "extract/pointer_report.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kSearchTitle = u"Поиск поинтеров в ROM";
// The scan yields to the window system at least once per this many bytes.
constexpr std::size_t kYieldChunk = 1u << 20;

// The Game Boy and offset scan: any 2 to 4 bytes may be a pointer, so every window
// that starts at or after the scan start and ends before the scan end is
// decoded (a GB16 one through the bank it lies in). Unlike a GBA pointer,
// found by its last byte, a window is not looked for before the scan start:
// the bytes just before a table would read as pointers into its texts. As
// with GBA pointers, a window at offset 0 is passed over. Returns false when
// cancelled.
bool ScanGbPointers(InsertState state, PointerFormat format, std::int64_t low, std::int64_t high,
                    std::int32_t scanStart, std::size_t limit, std::string& report, std::int32_t& count) {
  const std::span<const std::uint8_t> rom = state.rom.view();
  const auto width = static_cast<std::size_t>(PointerWidth(format));
  const std::uint8_t* data = rom.data();
  ReportLineWriter writer;
  std::size_t e = std::max<std::size_t>(static_cast<std::size_t>(std::max(scanStart, 1)) + width - 1, width);
  while (e < limit) {
    const std::size_t chunkEnd = std::min(limit, e + kYieldChunk);
    for (; e < chunkEnd; ++e) {
      const std::size_t m = e + 1 - width;
      const std::int32_t target = DecodePointer(format, data + m, BankOf(static_cast<std::int32_t>(m)));
      if (target < 0 || target < low || target > high) continue;
      writer.Append(report, static_cast<std::uint32_t>(m), data + m, static_cast<int>(width),
                    static_cast<std::uint32_t>(target));
      report += "\r\n";
      ++count;
    }
    SetProgress(state, static_cast<std::int64_t>(e));
    YieldPoint(state);
    if (state.ctx.CancelRequested) return false;
  }
  return true;
}

}  // namespace

void FindPointers(InsertState state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd, const std::u16string& reportFile) {
  LongOperation op(state);
  if (!state.rom.isLoaded) {
    MsgBox(state, u"ROM еще не загружен", MsgButtons::Ok, MsgIcon::Error, u"Ошибочка");
    AppendLog(state, u"ROM еще не загружен");
    return;
  }
  if (Trim(reportFile).empty()) return;

  AppendLog(state, u"Начали поиск поинтеров... " + NowText());
  LogPointerFormat(state);
  std::span<const std::uint8_t> rom = state.rom.view();
  const std::size_t size = rom.size();
  ShowProgress(state, 0, static_cast<std::int64_t>(size) - 1);
  const std::int64_t low = lowest;
  const std::int64_t high = highest == 0 ? static_cast<std::int64_t>(size) : highest;

  // The scan begins one byte before the scan start so that a pointer whose
  // 08 byte sits just before it is still seen; an 08 byte at or beyond the
  // scan end stops it.
  std::size_t pos = scanStart <= 1 ? 0 : static_cast<std::size_t>(scanStart) - 1;
  const std::size_t limit = scanEnd >= 1 ? std::min<std::size_t>(static_cast<std::size_t>(scanEnd), size) : size;

  // A pointer ending in 09 addresses 16 MiB and more: in a ROM no larger
  // than that it points at nothing, so only larger ROMs are searched for them.
  const bool upperHalf = size > static_cast<std::size_t>(kUpperPointerHalf);
  const std::uint8_t* data = rom.data();
  // The next 08 (and 09) byte at or after pos, searched once per chunk and
  // byte value so that the scan stays one pass.
  std::size_t next[2] = {0, 0};
  std::size_t searchedTo[2] = {0, 0};
  auto nextHigh = [&](std::size_t chunkEnd) {
    for (int i = 0; i < (upperHalf ? 2 : 1); ++i) {
      if (next[i] >= pos && (next[i] < searchedTo[i] || searchedTo[i] >= chunkEnd)) continue;
      const std::uint8_t highByte = i == 0 ? kPointerLowHighByte : kPointerUpHighByte;
      const void* hit = std::memchr(data + pos, highByte, chunkEnd - pos);
      next[i] = hit ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data) : chunkEnd;
      searchedTo[i] = chunkEnd;
    }
    return upperHalf ? std::min(next[0], next[1]) : next[0];
  };

  ReportLineWriter writer;
  std::string report;
  std::int32_t count = 0;
  bool cancelled = false;
  const PointerFormat format = state.ctx.settings.PtrFormat;
  if (!IsGbaFormat(format)) {
    cancelled = !ScanGbPointers(state, format, low, high, scanStart, limit, report, count);
    pos = limit;
  }
  while (pos < limit && !cancelled) {
    const std::size_t chunkEnd = std::min(limit, pos + kYieldChunk);
    while (pos < chunkEnd) {
      const std::size_t e = nextHigh(chunkEnd);
      if (e >= chunkEnd) {
        pos = chunkEnd;
        break;
      }
      pos = e + 1;  // overlapping candidates: the next 08 or 09 may be the very next byte
      // An 08 or 09 at offsets 0 to 3 is passed over: a pointer there would start at
      // the ROM's first bytes, the entry point.
      if (e < 4) continue;
      const std::uint8_t* b = data + e - 3;
      const std::int64_t target = PointerTarget(b[0], b[1], b[2], b[3]);
      if (target < low || target > high) continue;
      writer.Append(report, static_cast<std::uint32_t>(e - 3), b);
      report += "\r\n";
      ++count;
      SetProgress(state, static_cast<std::int64_t>(e));
      YieldPoint(state);
      if (state.ctx.CancelRequested) {
        cancelled = true;
        break;
      }
    }
    YieldPoint(state);
    if (state.ctx.CancelRequested) cancelled = true;
  }

  std::u16string countLine = u"Всего найдено поинтеров " + NumText(count);
  if (cancelled) {
    AppendLog(state, u"Процесс поиска прерван пользователем");
    AppendLog(state, countLine);
    AppendLog(state, u"Протокол смотри в файле " + reportFile);
    WriteBytesOutput(state, reportFile, std::span(reinterpret_cast<const std::uint8_t*>(report.data()), report.size()));
    HideProgress(state);
    return;
  }
  report += ToCp1251(countLine);
  report += "\r\n";
  AppendLog(state, countLine);
  AppendLog(state, u"Протокол смотри в файле " + reportFile);
  WriteBytesOutput(state, reportFile, std::span(reinterpret_cast<const std::uint8_t*>(report.data()), report.size()));
  AppendLog(state, u"Поиск окончен. " + NowText());
  HideProgress(state);
}

void FindPointers(InsertState state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd) {
  if (!state.rom.isLoaded) {
    state.ctx.CancelRequested = false;
    MsgBox(state, u"ROM еще не загружен", MsgButtons::Ok, MsgIcon::Error, u"Ошибочка");
    AppendLog(state, u"ROM еще не загружен");
    return;
  }
  std::u16string file = AskFileName(state, true, u"Save pointers to file",
                                    u"Файл протокола (*.txt,*.xml)|*.txt;*.xml\r\nAll Files (*.*)|*.*");
  if (Trim(file).empty()) return;
  FindPointers(state, lowest, highest, scanStart, scanEnd, file);
}

void RunPointerSearch(InsertState state) {
  static constexpr std::u16string_view kQuestions[4] = {u"Значение поинтера должно быть больше чем",
                                                        u"Значение поинтера должно быть меньше чем",
                                                        u"Искать поинтеры в ROM'e начиная с адреса",
                                                        u"Искать поинтеры в ROM'e заканчивая адресом"};
  // Pointers of the other console's format would be searched for in vain.
  if (!PointerFormatFitsRom(state)) return;
  std::int32_t values[4];
  for (int i = 0; i < 4; ++i) {
    const auto answer = AskTypedNumber(state, kQuestions[i], kSearchTitle);
    if (!answer) return;
    values[i] = *answer;
  }
  FindPointers(state, values[0], values[1], values[2], values[3]);
}

}  // namespace vorkat
