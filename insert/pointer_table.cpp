#include "insert/pointer_table.h"

#include <algorithm>

#include "core/log.h"
#include "core/runtime.h"
#include "core/text.h"
#include "core/warning_limit.h"
#include "extract/extract_common.h"
#include "extract/pointer_report.h"
#include "insert/address_forms.h"
#include "insert/insert_state.h"

namespace vorkat {

PointerTableRead ReadPointerTable(std::span<const std::uint8_t> rom, PointerFormat format, std::int32_t start,
                                  std::int32_t count, std::int32_t stride) {
  PointerTableRead read;
  const auto width = static_cast<std::int64_t>(PointerWidth(format));
  const auto size = static_cast<std::int64_t>(rom.size());
  // A count typed too large must not reserve room for entries the ROM cannot hold.
  const std::int64_t fit = stride > 0 && start >= 0 && start < size ? (size - start) / stride + 1 : 1;
  read.entries.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, fit)));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int64_t place = std::int64_t{start} + std::int64_t{i} * stride;
    if (place < 0 || place + width > size) {
      read.pastRom = count - i;
      break;
    }
    const auto at = static_cast<std::int32_t>(place);
    const std::int32_t target = DecodePointer(format, rom.data() + place, BankOf(at));
    const PointerTableEntry entry{i, at, target};
    if (target >= 0 && target < size)
      read.entries.push_back(entry);
    else
      read.outside.push_back(entry);
  }
  return read;
}

bool DeclarePointerTable(InsertState state, std::int32_t start, std::int32_t count, std::int32_t stride,
                         const std::u16string& reportFile) {
  if (!RequireRom(state)) return false;
  if (Trim(reportFile).empty()) return false;
  const PointerFormat format = state.ctx.settings.PtrFormat;
  const int width = PointerWidth(format);
  if (count < 1 || stride < width || start < 0 || start >= state.rom.size()) {
    AppendRefusal(state,
                  u"Таблица указателей: нужны начало в ROM'е, число записей больше 0 и шаг не меньше ширины "
                  u"указателя (" +
                      DecText(width) + u" байт)");
    return false;
  }
  LongOperation op(state);
  AppendLog(state, u"Читаем таблицу указателей с адреса " + LongToAddrText(start) + u", записей" + NumText(count) +
                       u", шаг" + NumText(stride));
  LogPointerFormat(state);
  const std::span<const std::uint8_t> rom = state.rom.view();
  const PointerTableRead read = ReadPointerTable(rom, format, start, count, stride);

  WarningLimit outside(u"Сообщения о записях таблицы, указывающих за пределы ROM'а");
  for (const PointerTableEntry& e : read.outside)
    if (outside.Allow())
      AppendLog(state,
                u"Запись" + NumText(e.index) + u" таблицы (по адресу " + LongToAddrText(e.place) + u") указывает " +
                    (e.target < 0 ? std::u16string(u"не в ROM") : u"на " + LongToAddrText(e.target)) +
                    u", за пределы ROM'а: пропущена",
                kColourDarkRed);
  outside.Summarise(state, kColourDarkRed);
  if (read.pastRom > 0)
    AppendLog(state, u"Таблица выходит за конец ROM'а: не прочитано записей" + NumText(read.pastRom), kColourDarkRed);

  std::string report = ToCp1251(PointerTableHeader(start, count, stride, PointerFormatName(format)));
  report += "\r\n";
  const ReportLineWriter writer;
  for (const PointerTableEntry& e : read.entries) {
    writer.Append(report, static_cast<std::uint32_t>(e.place), rom.data() + e.place, width,
                  static_cast<std::uint32_t>(e.target));
    report += "\r\n";
  }
  const std::u16string countLine = u"Всего найдено поинтеров " + NumText(static_cast<long long>(read.entries.size()));
  report += ToCp1251(countLine) + "\r\n";
  AppendLog(state, countLine);
  if (!WriteBytesOutput(state, reportFile,
                        std::span(reinterpret_cast<const std::uint8_t*>(report.data()), report.size())))
    return false;
  AppendLog(state, u"Протокол смотри в файле " + reportFile);
  return true;
}

}  // namespace vorkat
