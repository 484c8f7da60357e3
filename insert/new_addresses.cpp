#include "insert/new_addresses.h"

#include <algorithm>
#include <unordered_map>

#include "codec/encoder.h"
#include "core/runtime.h"
#include "core/log.h"
#include "insert/insert_state.h"
#include "core/text.h"
#include "core/warning_limit.h"
#include "insert/address_forms.h"
#include "insert/in_place.h"

namespace vorkat {
namespace {

std::int64_t AlignUp(std::int64_t cur, std::int32_t alignBy) {
  if (alignBy <= 0) return cur;
  const std::int64_t rem = ((cur % alignBy) + alignBy) % alignBy;
  return rem == 0 ? cur : cur + (alignBy - rem);
}

// Moves cur past every ignored zone the dialog [cur, cur + len] would touch
// (its end taken one past its last byte, so ending where a zone starts
// counts too). The pass repeats until no zone is touched, so a shift past a
// later zone can never land the dialog in an earlier one.
std::int64_t AvoidZones(Context& ctx, const InsertionParams& params, std::int64_t cur, std::int64_t len,
                        WarningLimit& shifts) {
  const std::int32_t alignBy = params.AddressAlignBy;
  bool shifted = true;
  while (shifted) {
    shifted = false;
    for (const RomZone& zone : params.IgnoreRomZones) {
      if (zone.end <= 0) continue;
      if (cur <= zone.end && cur + len >= zone.start) {
        cur = AlignUp(std::int64_t{zone.end} + 1, alignBy);
        if (shifts.Allow())
          AppendLog(ctx, u"произведен сдвиг адреса для вставки, поскольку иначе мы накроем 'запретную' зону",
                    kColourDarkRed);
        shifted = true;
      }
    }
  }
  return cur;
}

// The place of a dialog of len bytes at or after cur: aligned, clear of the
// ignored zones and, when `oneBank`, inside one 16 KiB bank (a Game Boy
// text cannot run on into the next bank). A place where the dialog does not
// end by `end` means there is none.
std::int64_t FindPlace(Context& ctx, const InsertionParams& params, std::int64_t cur, std::int64_t len,
                       std::int64_t end, bool oneBank, WarningLimit& shifts) {
  while (true) {
    cur = AlignUp(cur, params.AddressAlignBy);
    cur = AvoidZones(ctx, params, cur, len, shifts);
    if (!oneBank || len == 0 || cur < 0 || cur + len > end) return cur;
    const std::int64_t bankEnd = (cur / kGbBankSize + 1) * kGbBankSize;
    if (cur + len <= bankEnd) return cur;
    cur = bankEnd;
  }
}

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// The per-dialog reports of one calculation, each kind with its own limit.
struct CalcWarnings {
  WarningLimit shifts{u"Сообщения о сдвиге адреса из-за 'запретной' зоны"};
  WarningLimit oldOutOfReach{u"Сообщения об адресах (откуда вынули) за пределами 32 Мб"};
  WarningLimit newOutOfReach{u"Сообщения о новых адресах вне досягаемости указателя"};
  WarningLimit bankFull{u"Сообщения о диалогах, не поместившихся в свой банк"};
  WarningLimit fieldTooShort{u"Сообщения о переводах длиннее своего поля"};
  WarningLimit fieldNoPlace{u"Сообщения о полях без места"};
  WarningLimit placePastRom{u"Сообщения о местах оригинала за концом ROM'а"};
  WarningLimit unknownTokens = UnknownTokenWarnings();

  void Summarise(Context& ctx) {
    shifts.Summarise(ctx, kColourDarkRed);
    oldOutOfReach.Summarise(ctx, kColourDarkRed);
    bankFull.Summarise(ctx, kColourDarkRed);
    fieldTooShort.Summarise(ctx, kColourBrightRed);
    fieldNoPlace.Summarise(ctx, kColourBrightRed);
    placePastRom.Summarise(ctx, kColourDarkRed);
    newOutOfReach.Summarise(ctx, kColourBrightRed);
    unknownTokens.Summarise(ctx, kColourDarkRed);
  }
};

// The old pointer text of a dialog extracted from `from`; empty, with a
// dark-red line unless `quiet`, when the format cannot reach there. An
// empty address reads as -1: FFFFFF08 for GBA, which points nowhere; no
// pointer text at all for the other formats.
std::u16string OldPointerText(Context& ctx, const DialogRecord& dlg, std::int32_t from, PointerFormat format,
                              bool quiet, WarningLimit& outOfReach) {
  if (from < PointerReach(format) && (from < 0 || from >= PointerFloor(format)))
    return OffsetToPtrHexUnchecked(from, format);
  if (!quiet && outOfReach.Allow())
    AppendLog(ctx,
              u"Dialog ID=" + dlg.dlgID + u": адрес " + LongToAddrText(from) + u" (откуда вынули) " +
                  (IsGbaFormat(format) ? std::u16string(u"за пределами 32 Мб")
                                       : u"вне досягаемости указателя " + PointerFormatName(format)) +
                  u", старый указатель сформировать нельзя",
              kColourDarkRed);
  return {};
}

// The in-place option's verdict: a dialog that fits goes where it came from
// and takes no free space; a fixed field too long or without a known place
// gets no place (reported). An original's place that runs past the ROM's
// end (romSize -1: no ROM) is none: the text goes to free space, a field
// gets no place. True when it decided.
bool PlacedByInPlaceOption(Context& ctx, const InsertOptions& options, const DialogRecord& dlg,
                           DialogPlacement& placement, PlacementPlan& plan, CalcWarnings& warnings,
                           std::int64_t romSize) {
  const InPlaceFit fit = FitInPlace(options, dlg, placement.size);
  if (options.InPlace && fit == InPlaceFit::NotInPlace && !OriginalPlaceOf(dlg)) ++plan.placeUnknown;
  if (fit == InPlaceFit::Fits) {
    const OriginalPlace original = *OriginalPlaceOf(dlg);
    if (romSize >= 0 && std::int64_t{original.at} + original.size > romSize) {
      const bool field = IsPointerChangeOff(dlg);
      if (field) ++plan.tooLongFields;
      if (warnings.placePastRom.Allow())
        AppendLog(ctx,
                  u"Dialog ID=" + dlg.dlgID + u": место оригинала (" + LongToAddrText(original.at) + u", " +
                      DecText(original.size) + u" байт) выходит за конец ROM'а (" + DecText(romSize) + u" байт), " +
                      (field ? u"в поле не вставлен" : u"диалог идет в 'пустое' место"),
                  field ? kColourBrightRed : kColourDarkRed);
      return field;
    }
    placement.at = original.at;
    placement.inPlace = true;
    ++plan.inPlace;
    plan.savedBytes += placement.size;
    return true;
  }
  if (fit == InPlaceFit::NoPlace) {
    ++plan.tooLongFields;
    if (warnings.fieldNoPlace.Allow()) AppendLog(ctx, FieldWithoutPlaceText(dlg), kColourBrightRed);
    return true;
  }
  if (fit != InPlaceFit::TooLong) return false;
  ++plan.tooLongFields;
  if (warnings.fieldTooShort.Allow()) AppendLog(ctx, FieldTooLongText(dlg, placement.size), kColourBrightRed);
  return true;
}

bool RefuseNegative(InsertState state, std::u16string_view name, std::int32_t value, std::int32_t kept) {
  if (value >= 0) return false;
  AppendLog(state,
            std::u16string(name) + u" не может быть отрицательным (" + DecText(value) +
                u"), оставлено прежнее значение" + NumText(kept),
            kColourDarkRed);
  return true;
}

// A dialog that has an address keeps it: says how many did, and in dark red
// how many of those lie outside this calculation's free space or past the
// ROM's end (an address left from an earlier calculation, maybe of another ROM).
void ReportKeptAddresses(InsertState state, const PlacementPlan& plan, std::int64_t romSize) {
  std::size_t kept = 0;
  std::size_t outside = 0;
  std::u16string firstOutside;
  for (std::size_t i = 0; i < state.dialogs.count(); ++i) {
    const DialogRecord& dlg = state.dialogs.records[i];
    if (Trim(dlg.NewDlgAddr).empty()) continue;
    ++kept;
    const std::int32_t at = HexTextToLong(dlg.NewDlgAddr);
    if (at >= plan.spaceStart && at < plan.spaceEnd && (romSize < 0 || at < romSize)) continue;
    // Put back where it came from: no free space was taken.
    if (at >= 0 && at == HexTextToLong(dlg.ExtractedFromAddr)) continue;
    // Placed by an earlier calculation of this run in the free space it was given.
    const std::vector<CalcSpace>& spaces = state.record.calcSpaces;
    if (i < spaces.size() && spaces[i].address == at && spaces[i].insertionsBefore == state.record.insertions &&
        at >= spaces[i].start && at < spaces[i].end && (romSize < 0 || at < romSize))
      continue;
    if (outside++ == 0) firstOutside = dlg.dlgID;
  }
  AppendLog(state, u"Диалогов, сохранивших адрес вставки из прежнего расчета:" + NumText(static_cast<long long>(kept)));
  if (outside > 0)
    AppendLog(state,
              u"Из них вне 'пустого' места (" + LongToAddrText(plan.spaceStart) + u".." +
                  LongToAddrText(plan.spaceEnd - 1) + u") или за концом ROM'а:" +
                  NumText(static_cast<long long>(outside)) + u", первый Dialog ID=" + firstOutside +
                  u" (очистите NewDlgAddr, чтобы разложить их заново)",
              kColourDarkRed);
}

// Each dialog the calculation placed, or whose address it kept, is checked
// later against this calculation's free space; a placement by an earlier
// calculation of the run stays recorded.
void RecordCalcSpaces(InsertionRecord& record, const PlacementPlan& plan, const DialogSet& dialogs) {
  record.calcSpaces.resize(std::max(record.calcSpaces.size(), dialogs.count()));
  for (const DialogPlacement& p : plan.dialogs)
    if (p.at >= 0 && !p.inPlace)
      record.calcSpaces[p.dialog] = CalcSpace{p.at, plan.spaceStart, plan.spaceEnd, record.insertions};
  for (std::size_t i = 0; i < dialogs.count(); ++i) {
    const std::int32_t at = HexTextToLong(dialogs.records[i].NewDlgAddr);
    const CalcSpace& before = record.calcSpaces[i];
    if (at >= 0 && (before.address != at || before.insertionsBefore != record.insertions))
      record.calcSpaces[i] = CalcSpace{at, plan.spaceStart, plan.spaceEnd, record.insertions};
  }
}

}  // namespace

PlacementPlan PlanPlacement(Context& ctx, TranslationTable& table, const CodecOptions& codecOptions,
                            const DialogSet& dialogs, const InsertionParams& params, std::int64_t romSize,
                            PointerFormat format, const InsertOptions& options) {
  PlacementPlan plan;
  const std::int32_t oldStart = params.FreeSpaceStartAddr;
  std::int64_t cur = params.FreeSpaceStartAddr;
  CalcWarnings warnings;

  // The ROM's end is an end of free space too: a dialog placed past it would
  // have its pointers rewritten to text that is not there.
  std::int64_t spaceEnd = params.FreeSpaceEndAddr;
  if (romSize >= 0 && spaceEnd > romSize) {
    spaceEnd = romSize;
    AppendLog(ctx,
              u"Конец 'пустого' места" + NumText(params.FreeSpaceEndAddr) +
                  u" лежит за концом ROM'а, диалоги кладем не дальше конца ROM'а" + NumText(spaceEnd),
              kColourDarkRed);
  }

  const std::int32_t reach = PointerReach(format);
  const std::int32_t floor = PointerFloor(format);
  const std::u16string formatName = PointerFormatName(format);
  // A GB16 pointer keeps the bank the game's code switches in, so each
  // dialog stays in the bank it came from: one cursor per bank, starting at
  // the free space's start or the bank's, whichever is later.
  const bool perBank = format == PointerFormat::GB16;
  std::unordered_map<std::int32_t, std::int64_t> bankCursors;
  std::int64_t perBankEnd = oldStart;  // the furthest any bank's cursor went after placing

  // Slots after lastIndex are empty, not dialogs: they take no place.
  for (std::size_t i = 0; i < dialogs.count(); ++i) {
    YieldPoint(ctx);
    const DialogRecord& dlg = dialogs.records[i];
    if (!Trim(dlg.NewDlgAddr).empty()) continue;
    DialogPlacement& placement = plan.dialogs.emplace_back();
    placement.dialog = i;

    const std::int32_t from = HexTextToLong(dlg.ExtractedFromAddr);
    // A fixed field in place has no pointer to form.
    placement.oldPtrHex =
        OldPointerText(ctx, dlg, from, format, options.InPlace && IsPointerChangeOff(dlg), warnings.oldOutOfReach);

    const std::int64_t len =
        static_cast<std::int64_t>(Encode(ctx, table, codecOptions, dlg.dlgText, &warnings.unknownTokens).size());
    placement.size = len;

    if (PlacedByInPlaceOption(ctx, options, dlg, placement, plan, warnings, romSize)) continue;

    std::int64_t* cursor = &cur;
    std::int64_t end = spaceEnd;
    std::int32_t bank = -1;
    if (perBank) {
      if (from < 0 || from >= reach) {
        if (warnings.bankFull.Allow())
          AppendLog(ctx,
                    u"Dialog ID=" + dlg.dlgID +
                        u": не известно, из какого банка вынут диалог, а указатель GB16 должен остаться в нем; "
                        u"диалог не размещен",
                    kColourDarkRed);
        if (plan.unplaced++ == 0) plan.firstUnplaced = dlg.dlgID;
        continue;
      }
      bank = BankOf(from);
      const std::int64_t bankStart = std::int64_t{bank} * kGbBankSize;
      cursor = &bankCursors.try_emplace(bank, std::max<std::int64_t>(oldStart, bankStart)).first->second;
      end = std::min(spaceEnd, bankStart + kGbBankSize);
    }
    const std::int64_t at64 = FindPlace(ctx, params, *cursor, len, end, IsGbFormat(format), warnings.shifts);
    *cursor = at64;

    if (at64 + len > end || (romSize >= 0 && at64 >= romSize)) {
      // Does not fit; a shorter one may.
      if (perBank && warnings.bankFull.Allow())
        AppendLog(ctx,
                  u"Dialog ID=" + dlg.dlgID + u": в банке " + HexText(static_cast<std::uint32_t>(bank)) +
                      u" (откуда вынули) не хватило 'пустого' места, диалог не размещен",
                  kColourDarkRed);
    } else if (at64 < floor || at64 >= reach) {
      if (warnings.newOutOfReach.Allow())
        AppendLog(ctx,
                  u"Dialog ID=" + dlg.dlgID + u": новый адрес " +
                      (at64 < 0 ? DecText(at64) : HexText(static_cast<std::uint64_t>(at64))) +
                      u" вне досягаемости указателя " + formatName + u" (" +
                      HexText(static_cast<std::uint32_t>(floor)) + u".." +
                      HexText(static_cast<std::uint32_t>(reach - 1)) + u"), диалог не размещен",
                  kColourBrightRed);
    } else {
      placement.at = static_cast<std::int32_t>(at64);
      *cursor = at64 + len + params.DialogsAutoGapBytes;
      if (perBank) perBankEnd = std::max(perBankEnd, *cursor);
    }
    if (placement.at < 0 && plan.unplaced++ == 0) plan.firstUnplaced = dlg.dlgID;
  }
  // A second calculation goes on after the furthest place used.
  if (perBank) cur = perBankEnd;
  warnings.Summarise(ctx);

  plan.spaceStart = oldStart;
  plan.spaceEnd = ClampToInt32(spaceEnd);
  plan.nextStart = cur;
  return plan;
}

void ApplyPlacement(const PlacementPlan& plan, DialogSet& dialogs, PointerFormat format) {
  for (const DialogPlacement& placement : plan.dialogs) {
    DialogRecord& dlg = dialogs.records[placement.dialog];
    dlg.OldPtrHEX = placement.oldPtrHex;
    if (placement.at < 0) continue;
    if (placement.inPlace) {
      dlg.NewDlgAddr = LongToAddrText(placement.at);
      dlg.NewPtrHEX = placement.oldPtrHex;
      continue;
    }
    dlg.NewDlgAddr = LongToAddrText(placement.at);
    dlg.NewPtrHEX = OffsetToPtrHexUnchecked(placement.at, format);
    dlg.DoPointerChange = u"Y";
  }
}

void CalcNewAddresses(InsertState state) {
  if (!state.table.isLoaded) {
    MsgBox(state, u"Таблица еще не загружена", MsgButtons::Ok, MsgIcon::Error);
    AppendLog(state, u"Таблица еще не загружена");
    return;
  }
  LongOperation op(state);
  AppendLog(state, u"Начинаем расчет новых адресов диалогов для вставки в ROM");
  LogPointerFormat(state);
  InsertionParams& params = state.insertion;
  const PointerFormat format = state.ctx.settings.PtrFormat;
  const std::int64_t romSize = state.rom.isLoaded ? state.rom.size() : -1;
  const PlacementPlan plan = PlanPlacement(state.ctx, state.table, state.codecOptions, state.dialogs, params, romSize,
                                           format, state.insertOptions);
  ReportKeptAddresses(state, plan, romSize);
  ApplyPlacement(plan, state.dialogs, format);
  RecordCalcSpaces(state.record, plan, state.dialogs);

  AppendLog(state, u"'пустое' место было задано в границах от адреса" + NumText(plan.spaceStart) + u" до адреса" +
                       NumText(params.FreeSpaceEndAddr) + u"," + std::u16string(kCrLf) +
                       u"теперь адрес начала 'пустого' места подвинулся и равен" + NumText(plan.nextStart));
  params.FreeSpaceStartAddr = ClampToInt32(plan.nextStart);
  state.record.calculated = true;
  state.record.spaceStart = plan.spaceStart;
  state.record.spaceEnd = plan.spaceEnd;
  if (state.insertOptions.InPlace)
    AppendLog(state, u"На место оригинала легли диалогов:" + NumText(static_cast<long long>(plan.inPlace)) +
                         u", свободного места сэкономлено байт:" + NumText(plan.savedBytes));
  // Dumps made before OldDlgSize was written, or an attribute list without it, leave the option nothing to do.
  if (plan.placeUnknown > 0)
    AppendLog(state,
              u"Место оригинала не известно (нет ExtractedFromAddr или OldDlgSize) у диалогов:" +
                  NumText(static_cast<long long>(plan.placeUnknown)) + u", они идут в 'пустое' место",
              kColourDarkRed);
  AppendLog(state, u"Завершен процесс расчета новых адресов (для вставки) для диалогов в ROM");
  if (plan.unplaced > 0)
    AppendLog(state,
              u"Не хватило свободного места: диалогов без нового адреса" +
                  NumText(static_cast<long long>(plan.unplaced)) + u", первый из них Dialog ID=" + plan.firstUnplaced,
              kColourBrightRed);
}

std::int32_t SuggestFreeSpaceStart(const RomImage& rom) {
  const std::span<const std::uint8_t> bytes = rom.view();
  auto afterLastNot = [&](std::uint8_t padding) -> std::int64_t {
    for (std::size_t i = bytes.size(); i-- > 0;)
      if (bytes[i] != padding) return static_cast<std::int64_t>(i) + 2;
    return static_cast<std::int64_t>(bytes.size());
  };
  // A ROM without padding at its end has no free space there: the start is its end, not past it.
  return ClampToInt32(std::min({afterLastNot(0x00), afterLastNot(0xFF), static_cast<std::int64_t>(bytes.size())}));
}

bool IsAcceptedAlignment(std::int32_t alignBy) { return alignBy == 0 || alignBy == 2 || alignBy == 4 || alignBy == 8; }

bool SetDialogsAutoGapBytes(InsertState state, std::int32_t value) {
  if (RefuseNegative(state, u"DialogsAutoGapBytes", value, state.insertion.DialogsAutoGapBytes)) return false;
  state.insertion.DialogsAutoGapBytes = value;
  return true;
}

bool SetAddressAlignBy(InsertState state, std::int32_t value) {
  if (RefuseNegative(state, u"AddressAlignBy", value, state.insertion.AddressAlignBy)) return false;
  state.insertion.AddressAlignBy = value;
  return true;
}

}  // namespace vorkat
