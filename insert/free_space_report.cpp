#include "insert/free_space_report.h"

#include <algorithm>

#include "codec/encoder.h"
#include "core/log.h"
#include "core/runtime.h"
#include "core/text.h"
#include "extract/extract_common.h"
#include "insert/address_forms.h"
#include "insert/insert_state.h"
#include "insert/new_addresses.h"

namespace vorkat {
namespace {

// The declared space less the ignored zones (inclusive at both ends; a zone
// whose end is 0 or less is no zone).
std::vector<FreeSpaceRange> SplitByZones(std::int32_t start, std::int32_t end, std::vector<RomZone>& inside,
                                         const std::vector<RomZone>& zones) {
  std::vector<RomZone> cut;
  for (const RomZone& z : zones) {
    if (z.end <= 0) continue;
    const std::int64_t from = std::max<std::int64_t>(z.start, start);
    const std::int64_t to = std::min<std::int64_t>(z.end, std::int64_t{end} - 1);
    if (from <= to) cut.push_back({static_cast<std::int32_t>(from), static_cast<std::int32_t>(to)});
  }
  std::sort(cut.begin(), cut.end(), [](const RomZone& a, const RomZone& b) { return a.start < b.start; });
  inside = cut;
  std::vector<FreeSpaceRange> ranges;
  std::int64_t cursor = start;
  for (const RomZone& z : cut) {
    if (z.start > cursor) ranges.push_back({static_cast<std::int32_t>(cursor), z.start});
    cursor = std::max<std::int64_t>(cursor, std::int64_t{z.end} + 1);
  }
  if (cursor < end) ranges.push_back({static_cast<std::int32_t>(cursor), end});
  return ranges;
}

// The layout of the dialogs in the space: each at its insertion address or,
// where `plan` has one for it, at the planned address.
FreeSpaceLayout Layout(InsertState state, const PlacementPlan* plan, std::int32_t start, std::int32_t end) {
  const DialogSet& dialogs = state.dialogs;
  FreeSpaceLayout layout;
  layout.dryRun = plan != nullptr;
  layout.spaceStart = start;
  layout.spaceEnd = end;
  layout.ranges = SplitByZones(start, end, layout.ignored, state.insertion.IgnoreRomZones);

  std::vector<std::int64_t> planned;  // per dialog: -2 none, else the plan's address (-1: no place)
  if (plan) {
    planned.assign(dialogs.records.size(), -2);
    for (const DialogPlacement& p : plan->dialogs) planned[p.dialog] = p.at;
  }
  WarningLimit silent(u"", 0);
  for (std::size_t i = 0; i < dialogs.count(); ++i) {
    YieldPoint(state);
    const DialogRecord& dlg = dialogs.records[i];
    std::int32_t addr = Trim(dlg.NewDlgAddr).empty() ? -1 : HexTextToLong(dlg.NewDlgAddr);
    if (plan && planned[i] != -2) addr = static_cast<std::int32_t>(planned[i]);
    // In place: the bytes saved are counted.
    if (state.insertOptions.InPlace && addr >= 0 && addr == HexTextToLong(dlg.ExtractedFromAddr)) {
      layout.inPlace.push_back(PlacedBlock{static_cast<std::int32_t>(i), addr,
                                           static_cast<std::int64_t>(Encode(state, dlg.dlgText, &silent).size())});
      continue;
    }
    // Dialogs placed far away cost no encoding.
    if (addr >= 0 && (addr < start || addr >= end)) {
      layout.outside.push_back(PlacedBlock{static_cast<std::int32_t>(i), addr, 0});
      continue;
    }
    const auto size = static_cast<std::int64_t>(Encode(state, dlg.dlgText, &silent).size());
    const PlacedBlock block{static_cast<std::int32_t>(i), addr, size};
    if (addr < 0)
      layout.unfit.push_back(block);
    else
      layout.placed.push_back(block);
  }
  std::sort(layout.placed.begin(), layout.placed.end(), [](const PlacedBlock& a, const PlacedBlock& b) {
    return a.start != b.start ? a.start < b.start : a.dialog < b.dialog;
  });

  std::vector<PlacedBlock> inRanges;
  std::size_t r = 0;
  for (const PlacedBlock& b : layout.placed) {
    while (r < layout.ranges.size() && layout.ranges[r].end <= b.start) ++r;
    if (r == layout.ranges.size()) break;
    FreeSpaceRange& range = layout.ranges[r];
    if (b.start < range.start) continue;  // put by hand into an ignored zone
    inRanges.push_back(b);
    range.used += std::min<std::int64_t>(b.size, std::int64_t{range.end} - b.start);
    if (range.dialogs++ == 0) range.firstDialog = b.dialog;
    range.lastDialog = b.dialog;
  }
  layout.placed = std::move(inRanges);
  // What is left after the last dialog of each range.
  for (FreeSpaceRange& range : layout.ranges) range.left = range.available();
  r = 0;
  for (const PlacedBlock& b : layout.placed) {
    while (layout.ranges[r].end <= b.start) ++r;
    FreeSpaceRange& range = layout.ranges[r];
    range.left = std::min(range.left, std::max<std::int64_t>(std::int64_t{range.end} - b.start - b.size, 0));
  }
  return layout;
}

std::u16string IdOf(InsertState state, std::int32_t dialog) {
  if (dialog < 0 || static_cast<std::size_t>(dialog) >= state.dialogs.records.size()) return {};
  return state.dialogs.records[static_cast<std::size_t>(dialog)].dlgID;
}

struct Totals {
  std::int64_t available = 0, used = 0, left = 0, unfitBytes = 0, savedBytes = 0;
  std::size_t placed = 0;
};

Totals TotalsOf(const FreeSpaceLayout& layout) {
  Totals t;
  for (const FreeSpaceRange& r : layout.ranges) {
    t.available += r.available();
    t.used += r.used;
    t.left += r.left;
    t.placed += r.dialogs;
  }
  for (const PlacedBlock& b : layout.unfit) t.unfitBytes += b.size;
  for (const PlacedBlock& b : layout.inPlace) t.savedBytes += b.size;
  return t;
}

}  // namespace

std::u16string FreeSpaceTotalsText(const FreeSpaceLayout& layout) {
  const Totals t = TotalsOf(layout);
  return u"Свободное место: диапазонов" + NumText(static_cast<long long>(layout.ranges.size())) + u", доступно" +
         NumText(t.available) + u" байт, занято" + NumText(t.used) + u", осталось" + NumText(t.left) +
         u", диалогов размещено" + NumText(static_cast<long long>(t.placed)) + u", не поместилось" +
         NumText(static_cast<long long>(layout.unfit.size())) + u" (" + DecText(t.unfitBytes) + u" байт)" +
         (layout.inPlace.empty()
              ? std::u16string()
              : u", на место оригинала легли" + NumText(static_cast<long long>(layout.inPlace.size())) +
                    u" (сэкономлено" + NumText(t.savedBytes) + u" байт)");
}

std::u16string OutsideSpaceText(const InsertState& state, const FreeSpaceLayout& layout) {
  if (layout.outside.empty()) return {};
  const PlacedBlock& first = layout.outside.front();
  return u"Вне 'пустого' места лежат диалоги:" + NumText(static_cast<long long>(layout.outside.size())) +
         u", первый Dialog ID=" + state.dialogs.records[static_cast<std::size_t>(first.dialog)].dlgID + u" по адресу " +
         LongToAddrText(first.start);
}

namespace {

std::u16string RangeText(std::int64_t start, std::int64_t endInclusive) {
  return HexText(static_cast<unsigned long long>(start)) + u"-" +
         HexText(static_cast<unsigned long long>(endInclusive));
}

}  // namespace

const PlacedBlock* FreeSpaceLayout::BlockIn(std::int64_t from, std::int64_t to) const {
  auto it = std::upper_bound(placed.begin(), placed.end(), from,
                             [](std::int64_t o, const PlacedBlock& b) { return o < b.start; });
  if (it != placed.begin() && from < std::prev(it)->start + std::prev(it)->size) return &*std::prev(it);
  return it != placed.end() && it->start < to ? &*it : nullptr;
}

bool FreeSpaceLayout::IgnoredAt(std::int64_t offset) const {
  return std::any_of(ignored.begin(), ignored.end(),
                     [offset](const RomZone& z) { return offset >= z.start && offset <= z.end; });
}

FreeSpaceLayout PlanFreeSpace(InsertState state) {
  if (state.record.calculated) return Layout(state, nullptr, state.record.spaceStart, state.record.spaceEnd);

  // A dry run: the placement the calculation would make, with its reports
  // left out of the log.
  PlacementPlan plan;
  {
    LogMute quiet(state.ctx);
    plan = PlanPlacement(state.ctx, state.table, state.codecOptions, state.dialogs, state.insertion,
                         state.rom.isLoaded ? state.rom.size() : -1, state.ctx.settings.PtrFormat, state.insertOptions);
  }
  return Layout(state, &plan, plan.spaceStart, plan.spaceEnd);
}

std::u16string FreeSpaceReportText(InsertState state, const FreeSpaceLayout& layout) {
  std::u16string text = u"Свободное место от " + LongToAddrText(layout.spaceStart) + u" до " +
                        LongToAddrText(layout.spaceEnd) +
                        (layout.dryRun ? u" (пробный расчет: ни ROM, ни диалоги не изменены)"
                                       : u" (по последнему расчету новых адресов)") +
                        u"\r\n";
  text += u"Игнорируемые зоны:";
  if (layout.ignored.empty()) text += u" нет";
  for (const RomZone& z : layout.ignored) text += u" " + RangeText(z.start, z.end);
  text += u"\r\nдиапазон\tдоступно\tзанято\tпромежутки\tосталось\tдиалогов\tпервый ID\tпоследний ID\r\n";
  for (const FreeSpaceRange& r : layout.ranges)
    text += RangeText(r.start, std::int64_t{r.end} - 1) + u"\t" + DecText(r.available()) + u"\t" + DecText(r.used) +
            u"\t" + DecText(r.gaps()) + u"\t" + DecText(r.left) + u"\t" + DecText(static_cast<long long>(r.dialogs)) +
            u"\t" + IdOf(state, r.firstDialog) + u"\t" + IdOf(state, r.lastDialog) + u"\r\n";
  text += u"Не поместились:";
  if (layout.unfit.empty()) text += u" нет";
  text += u"\r\n";
  for (const PlacedBlock& b : layout.unfit) text += IdOf(state, b.dialog) + u"\t" + DecText(b.size) + u" байт\r\n";
  if (const std::u16string outside = OutsideSpaceText(state, layout); !outside.empty()) text += outside + u"\r\n";
  text += FreeSpaceTotalsText(layout) + u"\r\n";
  return text;
}

void FreeSpaceReport(InsertState state, const std::u16string& reportFile) {
  if (!RequireTable(state) || !RequireDialogs(state)) return;
  if (Trim(reportFile).empty()) return;
  LongOperation op(state);
  const FreeSpaceLayout layout = PlanFreeSpace(state);
  if (WriteTextOutput(state, reportFile, FreeSpaceReportText(state, layout),
                      IsYes(state.ctx.settings.WriteTextInUnicode)))
    AppendLog(state, u"Отчет о свободном месте записан в файл " + reportFile);
  AppendLog(state, FreeSpaceTotalsText(layout), layout.unfit.empty() ? kColourGreen : kColourDarkRed);
  if (const std::u16string outside = OutsideSpaceText(state, layout); !outside.empty())
    AppendLog(state, outside, kColourDarkRed);
}

}  // namespace vorkat
