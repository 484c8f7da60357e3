#include "extract/dump_via_pointers.h"
#include "script/script_state.h"

#include <utility>

#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/text.h"
#include "core/warning_limit.h"
#include "extract/extract_common.h"
#include "extract/pointer_report.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kDumpFilters = u"Вынутый текст (*.txt)|*.txt\r\nAll Files (*.*)|*.*";

// The quicksort over entries and their rounded numbers side by side. Every
// comparison, the pivot's too, uses the rounded number, so the scans cannot
// run past the range.
class OffsetSorter {
 public:
  OffsetSorter(ScriptState state, std::vector<std::u16string>& list, std::size_t low, std::size_t high)
      : state_(state), list_(list), keys_(list.size()) {
    for (std::size_t k = low; k <= high; ++k) keys_[k] = ReadInt(list_[k]);
  }

  void Sort(std::int64_t low, std::int64_t high) {
    // The smaller side recursively, the larger one in the loop: the depth
    // stays logarithmic whatever the input.
    while (low < high) {
      const std::int32_t pivot = keys_[static_cast<std::size_t>(low + (high - low) / 2)];
      std::int64_t i = low, j = high;
      do {
        while (keys_[static_cast<std::size_t>(i)] < pivot) ++i;
        while (keys_[static_cast<std::size_t>(j)] > pivot) --j;
        if (i <= j) {
          auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
          std::swap(list_[a], list_[b]);
          std::swap(keys_[a], keys_[b]);
          // The entry moved up is rewritten as the plain text of its number.
          list_[b] = DecText(keys_[b]);
          ++i;
          --j;
        }
      } while (i <= j);
      YieldPoint(state_);
      if (j - low < high - i) {
        Sort(low, j);
        low = i;
      } else {
        Sort(i, high);
        high = j;
      }
    }
  }

  std::int32_t Key(std::size_t k) const { return keys_[k]; }

 private:
  ScriptState state_;
  std::vector<std::u16string>& list_;
  std::vector<std::int32_t> keys_;
};

// The targets of the report's pointer lines, in report order. A target that
// is not an offset of the ROM is reported with its line and left out.
std::optional<std::vector<std::u16string>> ReadReportTargets(ScriptState state, const std::u16string& reportFile) {
  std::u16string text;
  if (!ReadTextInput(state, reportFile, text)) return std::nullopt;
  WarnIfBareLf(state, text, reportFile);
  std::vector<std::u16string> targets;
  WarningLimit faults = ListEntryWarnings();
  const std::vector<std::u16string> lines = SplitCrLf(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto target = PointerReportTarget(lines[i]);
    if (!target) continue;
    // A target that holds a comma counts as several, as in a comma list.
    std::vector<std::u16string> pieces = SplitOffsetList(*target + u",");
    pieces.pop_back();
    for (std::u16string& piece : pieces)
      if (ReadListedOffset(state, Trim(piece), state.rom.size(), reportFile, i + 1, faults))
        targets.push_back(std::move(piece));
    YieldPoint(state);
  }
  faults.Summarise(state, kColourDarkRed);
  return targets;
}

}  // namespace

void SortOffsets(ScriptState state, std::vector<std::u16string>& list, std::int32_t low, std::int32_t high) {
  if (list.empty()) return;
  if (low < 0) low = 0;
  if (high >= static_cast<std::int32_t>(list.size())) high = static_cast<std::int32_t>(list.size()) - 1;
  if (low >= high) return;
  OffsetSorter sorter(state, list, static_cast<std::size_t>(low), static_cast<std::size_t>(high));
  sorter.Sort(low, high);
}

void DumpViaPointers(ScriptState state, const std::u16string& reportFile, const std::u16string& tempFile,
                     const std::u16string& outFile, bool readTempFile) {
  if (!RequireRom(state) || !RequireTable(state)) return;
  if (Trim(reportFile).empty() || Trim(outFile).empty() || Trim(tempFile).empty()) return;
  // Checked once here rather than by every record's decoding.
  if (!RequireKnownTableType(state)) return;

  AppendLog(state, u"Начали процесс дампа текста из ROM'а по указателям." + NowText());
  LongOperation op(state);
  if (!FileExists(reportFile)) {
    AppendLog(state, u"Не найден файл " + reportFile, kColourBrightRed);
    return;
  }

  std::u16string listText;
  if (!readTempFile) {
    AppendLog(state, u"Читаем указатели...");
    auto targets = ReadReportTargets(state, reportFile);
    if (!targets) return;
    if (targets->empty())
      AppendLog(state, u"В файле " + reportFile + u" не нашлось ни одной строки с указателями", kColourDarkRed);

    AppendLog(state, u"Сортируем указатели...");
    std::vector<std::u16string>& list = *targets;
    SortOffsets(state, list, 0, static_cast<std::int32_t>(list.size()) - 1);

    AppendLog(state, u"Чистим дубли...");
    std::u16string tempText;
    bool any = false;
    std::int32_t last = 0;
    for (const std::u16string& entry : list) {
      const std::int32_t value = ReadInt(entry);
      if (any && value == last) continue;
      any = true;
      last = value;
      listText += entry + u",";
      tempText += entry + u"\r\n";
    }
    if (!WriteTextOutput(state, tempFile, tempText, false)) return;
  } else {
    if (!ReadTextInput(state, tempFile, listText)) return;
    if (listText.find(u',') == std::u16string::npos) WarnIfBareLf(state, listText, tempFile);
  }

  const auto offsets = ReadOffsetList(state, listText, readTempFile ? tempFile : reportFile);
  AppendLog(state, u"Начнем, собственно дампить текст...");
  RecordOutput out = RecordOutput::ForSettings(state.ctx.settings);
  const bool finished = DumpListedBlocks(state, offsets, 0, out);
  const bool saved = out.Save(state, outFile);
  if (finished && saved) AppendLog(state, u"Закончили dump по указателям.");
}

void DumpViaPointers(ScriptState state) {
  if (!RequireRom(state) || !RequireTable(state)) return;
  std::u16string report =
      Trim(AskFileName(state, false, u"Pointers file", u"Файл с указателями (*.txt)|*.txt\r\nAll Files (*.*)|*.*"));
  if (report.empty()) return;
  std::u16string out = AskFileName(state, true, u"Save dialogs to file", kDumpFilters);
  if (Trim(out).empty()) return;
  const bool readTemp = MsgBox(state, u"Хочешь будем читать указатели сразу из временного файла ?", MsgButtons::YesNo,
                               MsgIcon::Question) == MsgAnswer::Yes;
  std::u16string temp = AskFileName(state, !readTemp, u"Временный файл с сортированными указателями ",
                                    u"Временный Файл (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (Trim(temp).empty()) return;
  DumpViaPointers(state, report, temp, out, readTemp);
}

}  // namespace vorkat
