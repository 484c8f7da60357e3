#include "insert/pointer_search.h"

#include <algorithm>
#include <cstring>

#include "core/app.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/text.h"
#include "extract/extract_common.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kTargetMarker = u"), указывают на  ";
constexpr std::u16string_view kSearchTitle = u"Поиск поинтеров в ROM";
// The scan yields to the window system at least once per this many bytes.
constexpr std::size_t kYieldChunk = 1u << 20;

void AppendHex(std::string& out, std::uint32_t v) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = "0123456789ABCDEF"[v & 0xF];
    v >>= 4;
  } while (v);
  while (n) out.push_back(buf[--n]);
}

void AppendDec(std::string& out, std::uint32_t v) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  while (n) out.push_back(buf[--n]);
}

void AppendByte(std::string& out, std::uint8_t b) {
  out.push_back("0123456789ABCDEF"[b >> 4]);
  out.push_back("0123456789ABCDEF"[b & 0xF]);
}

// The report line in Windows-1251, built without going through UTF-16: a
// search can write hundreds of thousands of them.
class ReportLineWriter {
 public:
  ReportLineWriter() : head_(ToCp1251(u"адрес байтов в роме=hex(")), marker_(ToCp1251(u"), указывают на ")) {}

  void Append(std::string& out, std::uint32_t pointerOffset, const std::uint8_t* b) const {
    std::uint32_t target = b[0] | b[1] << 8 | b[2] << 16;
    out += head_;
    AppendHex(out, pointerOffset);
    out += marker_;
    out.push_back(' ');  // the leading blank of a non-negative number in a message
    AppendDec(out, target);
    out += " (";
    AppendHex(out, target);
    out += ")-->";
    for (int i = 0; i < 4; ++i) {
      if (i) out.push_back(',');
      AppendByte(out, b[i]);
    }
  }

 private:
  std::string head_;
  std::string marker_;
};

}  // namespace

std::u16string PointerReportLine(std::int32_t pointerOffset, const std::array<std::uint8_t, 4>& bytes) {
  std::string line;
  ReportLineWriter().Append(line, static_cast<std::uint32_t>(pointerOffset), bytes.data());
  return FromCp1251(line);
}

std::optional<std::u16string> PointerReportTarget(std::u16string_view line) {
  std::size_t at = line.find(kTargetMarker);
  if (at == std::u16string_view::npos) return std::nullopt;
  std::u16string_view rest = line.substr(at + kTargetMarker.size());
  return std::u16string(rest.substr(0, rest.find(u' ')));
}

void FindPointers(AppState& state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd, const std::u16string& reportFile) {
  LongOperation op(state);
  if (!state.rom.isLoaded) {
    MsgBox(state, u"ROM еще не загружен", MsgButtons::Ok, MsgIcon::Error, u"Ошибочка");
    AppendLog(state, u"ROM еще не загружен");
    return;
  }
  if (Trim(reportFile).empty()) return;

  AppendLog(state, u"Начали поиск поинтеров... " + NowText());
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

  ReportLineWriter writer;
  std::string report;
  std::int32_t count = 0;
  bool cancelled = false;
  while (pos < limit && !cancelled) {
    const std::size_t chunkEnd = std::min(limit, pos + kYieldChunk);
    while (pos < chunkEnd) {
      const void* hit = std::memchr(rom.data() + pos, 0x08, chunkEnd - pos);
      if (!hit) {
        pos = chunkEnd;
        break;
      }
      const std::size_t e = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - rom.data());
      pos = e + 1;  // overlapping candidates: the next 08 may be the very next byte
      // An 08 at offsets 0 to 3 is passed over: a pointer there would start at
      // the ROM's first bytes, the entry point.
      if (e < 4) continue;
      const std::uint8_t* b = rom.data() + e - 3;
      const std::int64_t target = b[0] | b[1] << 8 | b[2] << 16;
      if (target < low || target > high) continue;
      writer.Append(report, static_cast<std::uint32_t>(e - 3), b);
      report += "\r\n";
      ++count;
      SetProgress(state, static_cast<std::int64_t>(e));
      YieldPoint(state);
      if (state.CancelRequested) {
        cancelled = true;
        break;
      }
    }
    YieldPoint(state);
    if (state.CancelRequested) cancelled = true;
  }

  std::u16string countLine = u"Всего найдено поинтеров " + NumText(count);
  if (cancelled) {
    AppendLog(state, u"Процесс поиска прерван пользователем");
    AppendLog(state, countLine);
    AppendLog(state, u"Протокол смотри в файле " + reportFile);
    WriteBytesOutput(state, reportFile,
                     std::span(reinterpret_cast<const std::uint8_t*>(report.data()), report.size()));
    HideProgress(state);
    return;
  }
  report += ToCp1251(countLine);
  report += "\r\n";
  AppendLog(state, countLine);
  AppendLog(state, u"Протокол смотри в файле " + reportFile);
  WriteBytesOutput(state, reportFile,
                   std::span(reinterpret_cast<const std::uint8_t*>(report.data()), report.size()));
  AppendLog(state, u"Поиск окончен. " + NowText());
  HideProgress(state);
}

void FindPointers(AppState& state, std::int32_t lowest, std::int32_t highest, std::int32_t scanStart,
                  std::int32_t scanEnd) {
  if (!state.rom.isLoaded) {
    state.CancelRequested = false;
    MsgBox(state, u"ROM еще не загружен", MsgButtons::Ok, MsgIcon::Error, u"Ошибочка");
    AppendLog(state, u"ROM еще не загружен");
    return;
  }
  std::u16string file = AskFileName(state, true, u"Save pointers to file",
                                    u"Файл протокола (*.txt,*.xml)|*.txt;*.xml\r\nAll Files (*.*)|*.*");
  if (Trim(file).empty()) return;
  FindPointers(state, lowest, highest, scanStart, scanEnd, file);
}

void RunPointerSearch(AppState& state) {
  static constexpr std::u16string_view kQuestions[4] = {
      u"Значение поинтера должно быть больше чем", u"Значение поинтера должно быть меньше чем",
      u"Искать поинтеры в ROM'e начиная с адреса", u"Искать поинтеры в ROM'e заканчивая адресом"};
  std::int32_t values[4];
  for (int i = 0; i < 4; ++i) {
    auto answer = InputBox(state, kQuestions[i], kSearchTitle);
    if (!answer) return;
    values[i] = ReadInt(*answer);
  }
  FindPointers(state, values[0], values[1], values[2], values[3]);
}

}  // namespace vorkat
