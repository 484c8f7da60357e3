#include "extract/dump_via_pointers.h"
#include "script/script_state.h"

#include <map>
#include <utility>

#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/file_io.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/settings.h"
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

// The entries of a declared pointer table's report: per target, the places
// of the entries that lead to it, and the pointers' width.
struct TablePlaces {
  std::map<std::int32_t, std::vector<std::int32_t>> byTarget;
  int width = 0;
};

// The targets of the report's pointer lines, in report order. A target that
// is not an offset of the ROM is reported with its line and left out. The
// report of a declared table also gives its entries' places.
std::optional<std::vector<std::u16string>> ReadReportTargets(ScriptState state, const std::u16string& reportFile,
                                                             std::optional<TablePlaces>& table) {
  std::u16string text;
  if (!ReadTextInput(state, reportFile, text)) return std::nullopt;
  WarnIfBareLf(state, text, reportFile);
  std::vector<std::u16string> targets;
  WarningLimit faults = ListEntryWarnings();
  const std::vector<std::u16string> lines = SplitCrLf(text);
  if (!lines.empty() && IsPointerTableHeader(lines[0])) table.emplace();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto target = PointerReportTarget(lines[i]);
    if (!target) continue;
    if (table) {
      const std::optional<std::int32_t> place = PointerReportPlace(lines[i]);
      const int width = PointerReportWidth(lines[i]);
      if (place && width > 0) {
        table->byTarget[ReadInt(*target)].push_back(*place);
        table->width = width;
      }
    }
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

// Whether the dialogs file's attribute list names the attribute.
bool HasDialogAttribute(const Settings& settings, std::u16string_view name) {
  for (std::u16string_view piece : SplitViews(settings.TrDialogFileFormat, u","))
    if (Trim(piece) == name) return true;
  return false;
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
  std::optional<TablePlaces> table;
  if (readTempFile && reportFile != tempFile) {
    // The list comes from the temporary file; a declared table's places still come from its report.
    std::u16string head;
    if (ReadTextInput(state, reportFile, head) && IsPointerTableHeader(head.substr(0, head.find(kCrLf)))) {
      if (!ReadReportTargets(state, reportFile, table)) return;
    }
  }
  if (!readTempFile) {
    AppendLog(state, u"Читаем указатели...");
    auto targets = ReadReportTargets(state, reportFile, table);
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
  // A declared table's dialogs carry the places of their entries, so the
  // insertion rewrites those and nothing else.
  std::vector<std::u16string> zones;
  if (table) {
    if (!HasDialogAttribute(state.ctx.settings, u"PtrsAddrZones"))
      AppendLog(state,
                u"В списке атрибутов диалога (TrDialogFileFormat) нет PtrsAddrZones: места записей таблицы в "
                u"диалоги не попадут, и вставка будет искать их указатели по всему ROM'у",
                kColourDarkRed);
    for (const std::optional<std::int32_t>& offset : offsets) {
      const auto it = offset ? table->byTarget.find(*offset) : table->byTarget.end();
      zones.push_back(it == table->byTarget.end() ? std::u16string() : PointerPlacesZones(it->second, table->width));
    }
  }
  AppendLog(state, u"Начнем, собственно дампить текст...");
  RecordOutput out = RecordOutput::ForSettings(state.ctx.settings);
  const bool finished = DumpListedBlocks(state, offsets, 0, out, table ? &zones : nullptr);
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
