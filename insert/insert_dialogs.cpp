#include "insert/insert_dialogs.h"
#include "core/date_text.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "codec/encoder.h"
#include "core/runtime.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "insert/insert_state.h"
#include "core/text.h"
#include "core/warning_limit.h"
#include "insert/address_forms.h"
#include "insert/in_place.h"
#include "insert/insertion_log.h"
#include "insert/pointer_rewrite.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kOverwriteMark = u"(не 0x00 и не 0xFF)";
constexpr std::size_t kOverwriteLookBack = 50;

// The keys of the old pointers this run will look for, read as pointer
// rewriting reads them, so that one pass over the snapshot indexes them
// all. A value missed here only costs a scan, never a wrong answer.
std::vector<std::uint32_t> WantedPointerValues(const DialogSet& dialogs, const PointerSnapshot& snapshot,
                                               PointerFormat format) {
  std::vector<std::uint32_t> values;
  for (std::size_t i = 0; i < dialogs.count(); ++i) {
    const DialogRecord& dlg = dialogs.records[i];
    if (dlg.OldPtrHEX.empty() || !WantsPointerChange(dlg) || HexTextToLong(dlg.NewDlgAddr) < 0) continue;
    if (const auto key = snapshot.KeyOf(ReadPointerText(dlg.OldPtrHEX, format).bytes)) values.push_back(*key);
  }
  return values;
}

// When every dialog whose pointers change has search zones, the ranges
// they cover (first and last byte): the run's searches look nowhere else, so
// only they are indexed. Empty when some dialog searches the whole ROM.
std::vector<std::pair<std::int32_t, std::int32_t>> SearchZonesOfRun(InsertState state) {
  std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
  const std::int32_t romSize = state.rom.size();
  for (std::size_t i = 0; i < state.dialogs.count(); ++i) {
    const DialogRecord& dlg = state.dialogs.records[i];
    if (!WantsPointerChange(dlg) || HexTextToLong(dlg.NewDlgAddr) < 0) continue;
    if (dlg.PtrsAddrZones.empty()) return {};
    for (const PointerZone& z : ReadPointerZones(dlg.PtrsAddrZones, romSize)) {
      // A zone's end of 0 or less means the ROM's end (as RewritePointers reads it).
      ranges.emplace_back(std::max(z.start, 0), z.end > 0 ? z.end : romSize - 1);
    }
  }
  return ranges;
}

// Whether a dialog the in-place option fits goes where it came from: when it
// has no address of its own, or that one; `offset` becomes that place.
bool GoesOverOriginal(InPlaceFit fit, const std::optional<OriginalPlace>& original, std::int32_t& offset) {
  if (fit != InPlaceFit::Fits || !original || (offset >= 0 && offset != original->at)) return false;
  offset = original->at;
  return true;
}

bool OverwriteWarningIsLatest(InsertState state) {
  const std::u16string& text = state.ctx.log.text;
  const std::size_t from = text.size() > kOverwriteLookBack ? text.size() - kOverwriteLookBack : 0;
  return std::u16string_view(text).substr(from).find(kOverwriteMark) != std::u16string_view::npos;
}

// Runs pointer rewriting for each search zone of the dialog (the old pointer
// text is padded and the list file name trimmed in the record).
void RewriteDialogPointers(InsertState state, PointerSnapshot& snapshot, std::size_t index, InsertionLogFile* logFile,
                           RewriteWarnings& warnings) {
  DialogRecord& dlg = state.dialogs.records[index];
  std::u16string& oldPtr = dlg.OldPtrHEX;
  std::u16string& listFile = dlg.PtrsAddrListFile;
  const std::u16string& newPtr = dlg.NewPtrHEX;
  const std::u16string& doChange = dlg.DoPointerChange;
  const std::u16string& id = dlg.dlgID;
  const std::u16string& zones = dlg.PtrsAddrZones;

  const std::int32_t from = HexTextToLong(dlg.ExtractedFromAddr);
  const std::int32_t oldTextBank = from < 0 ? -1 : BankOf(from);
  if (zones.empty()) {
    RewritePointers(state, snapshot, oldPtr, newPtr, doChange, 0, listFile, logFile, id, 0, &warnings, oldTextBank);
  } else {
    for (const PointerZone& zone : ReadPointerZones(zones, state.rom.size())) {
      AppendLog(state, u"Зона поиска/замены указателей от" + NumText(zone.start) + u" до" + NumText(zone.end));
      RewritePointers(state, snapshot, oldPtr, newPtr, doChange, zone.start, listFile, logFile, id, zone.end,
                      &warnings);
    }
  }
}

// The old texts this run frees: [ExtractedFromAddr, + OldDlgSize) of every
// dialog that moves with its pointers, and the place of a dialog written
// back where it came from. Sorted, end exclusive.
std::vector<std::pair<std::int64_t, std::int64_t>> FreedOldTexts(const DialogSet& dialogs) {
  std::vector<std::pair<std::int64_t, std::int64_t>> freed;
  for (std::size_t i = 0; i < dialogs.count(); ++i) {
    const DialogRecord& dlg = dialogs.records[i];
    const std::int32_t at = HexTextToLong(dlg.NewDlgAddr);
    const std::int32_t from = HexTextToLong(dlg.ExtractedFromAddr);
    if (at < 0 || from < 0) continue;
    const std::optional<std::int32_t> oldSize = ParseTypedInt(dlg.OldDlgSize);
    if (oldSize && *oldSize > 0 && (at == from || WantsPointerChange(dlg)))
      freed.emplace_back(from, std::int64_t{from} + *oldSize);
  }
  std::sort(freed.begin(), freed.end());
  // Merged, so that one look at the range before an offset answers.
  std::vector<std::pair<std::int64_t, std::int64_t>> merged;
  for (const auto& r : freed) {
    if (!merged.empty() && r.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, r.second);
    else
      merged.push_back(r);
  }
  return merged;
}

bool Freed(const std::vector<std::pair<std::int64_t, std::int64_t>>& freed, std::int64_t offset) {
  auto it =
      std::upper_bound(freed.begin(), freed.end(), offset,
                       [](std::int64_t v, const std::pair<std::int64_t, std::int64_t>& r) { return v < r.first; });
  return it != freed.begin() && offset < std::prev(it)->second;
}

// Writes the dialog's bytes at offset (the caller has checked that they fit),
// warning once per run of overwritten bytes that do not look like free space
// (neither 0x00 nor 0xFF) and recording each such run for the verification.
// Bytes written over the dialog's own original (`overOriginal`) are neither.
void WriteDialogBytes(InsertState state, PointerSnapshot& snapshot, const Bytes& bytes, std::int32_t offset,
                      std::int32_t dialog, bool inPlace,
                      const std::vector<std::pair<std::int64_t, std::int64_t>>& freed, bool overOriginal = false) {
  std::vector<OverwrittenBytes>& overwritten = state.record.overwritten;
  bool inRun = false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::int64_t at = std::int64_t{offset} + static_cast<std::int64_t>(i);
    const std::uint8_t old = state.rom.bytes[static_cast<std::size_t>(at)];
    const bool taken = old != 0x00 && old != 0xFF && !inPlace && !overOriginal && !Freed(freed, at);
    if (taken && !inRun) overwritten.push_back({dialog, static_cast<std::int32_t>(at), static_cast<std::int32_t>(at)});
    if (taken) overwritten.back().end = static_cast<std::int32_t>(at + 1);
    inRun = taken;
    if (old != 0x00 && old != 0xFF && !overOriginal && !OverwriteWarningIsLatest(state))
      AppendLog(state, u"Вставка данных, только что перезаписала что-то полезное (не 0x00 и не 0xFF)", kColourDarkRed);
  }
  snapshot.Write(state.rom.span(), static_cast<std::size_t>(offset), bytes);
  state.record.placed.push_back({dialog, offset, static_cast<std::int32_t>(bytes.size())});
}

// The reports one insertion run repeats per dialog, and the count of the
// dialogs it skipped.
struct InsertWarnings {
  WarningLimit noAddress{u"Сообщения о диалогах без смещения для вставки"};
  WarningLimit pastRom{u"Сообщения о диалогах, не помещающихся в ROM"};
  WarningLimit pastBank{u"Сообщения о диалогах, которые указатель Game Boy не достанет"};
  WarningLimit fieldTooShort{u"Сообщения о переводах длиннее своего поля"};
  WarningLimit unknownTokens = UnknownTokenWarnings();
  RewriteWarnings rewrite;

  void Summarise(InsertState state) {
    const auto withoutAddress = static_cast<long long>(noAddress.count());
    const auto tooLong = static_cast<long long>(pastRom.count() + pastBank.count());
    const auto fields = static_cast<long long>(fieldTooShort.count());
    noAddress.Summarise(state, kColourDefault);
    pastRom.Summarise(state, kColourBrightRed);
    pastBank.Summarise(state, kColourBrightRed);
    fieldTooShort.Summarise(state, kColourBrightRed);
    unknownTokens.Summarise(state, kColourDarkRed);
    rewrite.Summarise(state);
    if (withoutAddress + tooLong + fields > 0)
      AppendLog(state,
                u"Пропущено диалогов:" + NumText(withoutAddress + tooLong + fields) + u" (без смещения для вставки:" +
                    NumText(withoutAddress) + u", не помещаются в ROM" + (pastBank.count() > 0 ? u" или в банк" : u"") +
                    u":" + NumText(tooLong) + (fields > 0 ? u", длиннее своего поля:" + NumText(fields) : u"") + u")",
                kColourDarkRed);
  }
};

// True when all of the dialog's bytes lie inside the ROM; else reports it.
bool FitsInRom(InsertState state, std::int32_t offset, std::size_t length, const std::u16string& id,
               WarningLimit& pastRom) {
  const std::int64_t romSize = state.rom.size();
  if (offset < romSize && std::int64_t{offset} + static_cast<std::int64_t>(length) <= romSize) return true;
  if (pastRom.Allow())
    AppendLog(state,
              u"Dialog ID=" + id + u": текст (" + DecText(static_cast<long long>(length)) + u" байт) по адресу " +
                  LongToAddrText(offset) + u" не помещается в ROM (" + DecText(romSize) +
                  u" байт), ни указатели, ни текст этого диалога не изменены",
              kColourBrightRed);
  return false;
}

// True when a Game Boy pointer can reach the dialog at offset; else reports
// it. A text may not run on into the next bank, and a GB16 pointer reads its
// text through the bank the text came from (or bank 0, always in view).
bool ReachableInBank(InsertState state, const DialogRecord& dlg, std::int32_t offset, std::size_t length,
                     WarningLimit& pastBank) {
  const PointerFormat format = state.ctx.settings.PtrFormat;
  if (!IsGbFormat(format) || !WantsPointerChange(dlg)) return true;
  std::u16string why;
  const std::int32_t from = HexTextToLong(dlg.ExtractedFromAddr);
  if (length > 0 && BankOf(offset) != BankOf(static_cast<std::int32_t>(offset + static_cast<std::int64_t>(length) - 1)))
    why = u"переходит границу банка";
  else if (format == PointerFormat::GB16 && BankOf(offset) != 0 && from >= 0 && BankOf(offset) != BankOf(from))
    why = u"лежит в банке " + HexText(static_cast<std::uint32_t>(BankOf(offset))) + u", а вынут из банка " +
          HexText(static_cast<std::uint32_t>(BankOf(from))) + u" (указатель GB16 банк не меняет)";
  if (why.empty()) return true;
  if (pastBank.Allow())
    AppendLog(state,
              u"Dialog ID=" + dlg.dlgID + u": текст по адресу " + LongToAddrText(offset) + u" " + why +
                  u", ни указатели, ни текст этого диалога не изменены",
              kColourBrightRed);
  return false;
}

}  // namespace

std::u16string InsertionLogName(InsertState state) {
  const std::u16string name = Trim(state.dialogs.fileName);
  if (name.empty()) return {};
  // Only the file's own name is cut, so a point in a folder name does not
  // send the log somewhere else.
  const std::size_t slash = name.find_last_of(u"\\/");
  const std::size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
  const std::size_t point = name.find(u'.', nameStart);
  const std::u16string base = point == std::u16string::npos ? name : name.substr(0, point + 1);
  return Trim(base + u"log");
}

bool ConfirmPointerFormat(InsertState state) {
  if (PointerFormatFitsRom(state)) return true;
  return MsgBox(state, u"Формат указателей не подходит к игре в ROM'е. Всё равно вставлять?", MsgButtons::YesNo,
                MsgIcon::Warning) == MsgAnswer::Yes;
}

void InsertDialogs(InsertState state) {
  if (!RequireRom(state) || !RequireTable(state) || !RequireDialogs(state)) return;
  if (state.dialogs.lastIndex < 0) {
    AppendLog(state,
              u"Возможно в ini файле указаны другие разделители для диалогов... операция вставки диалогов отменена");
    return;
  }
  LongOperation op(state);
  state.record.BeginInsertion();
  LogPointerFormat(state);

  const PointerFormat format = state.ctx.settings.PtrFormat;
  PointerSnapshot snapshot(state.rom.view(), format);
  const std::vector<std::pair<std::int32_t, std::int32_t>> zones = SearchZonesOfRun(state);
  snapshot.IndexPointers(WantedPointerValues(state.dialogs, snapshot, format), zones);

  InsertionLogFile logFile;
  if (state.insertOptions.CreateInsertionLogs) {
    const std::u16string name = InsertionLogName(state);
    if (!name.empty() && logFile.Open(state, name))
      logFile.WriteLine(u"---------------Вставка диалогов от " + LocalTimeText("%m-%d-%Y %H:%M:%S"));
  }
  InsertionLogFile* log = logFile.IsOpen() ? &logFile : nullptr;

  const std::vector<std::pair<std::int64_t, std::int64_t>> freed = FreedOldTexts(state.dialogs);
  const std::int32_t lastIndex = state.dialogs.lastIndex;
  ShowProgress(state, 0, lastIndex == 0 ? 1 : lastIndex, 0);
  InsertWarnings warnings;
  for (std::int32_t i = 0; i <= lastIndex; ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (index >= state.dialogs.records.size()) break;
    const Bytes bytes = Encode(state, state.dialogs.records[index].dlgText, &warnings.unknownTokens);
    const std::u16string id = state.dialogs.records[index].dlgID;
    std::int32_t offset = HexTextToLong(state.dialogs.records[index].NewDlgAddr);
    // In place: back where it came from, padded, its pointers as they are.
    const InPlaceFit fit = FitInPlace(state.insertOptions, state.dialogs.records[index], std::ssize(bytes));
    const std::optional<OriginalPlace> original = OriginalPlaceOf(state.dialogs.records[index]);
    const bool overOriginal = GoesOverOriginal(fit, original, offset);
    if (fit == InPlaceFit::TooLong) {
      if (warnings.fieldTooShort.Allow())
        AppendLog(state, FieldTooLongText(state.dialogs.records[index], std::ssize(bytes)), kColourBrightRed);
    } else if (overOriginal) {
      const Bytes padded = PaddedToOriginal(state.insertOptions, bytes, original->size);
      if (FitsInRom(state, offset, padded.size(), id, warnings.pastRom)) {
        SetProgress(state, i);
        YieldPoint(state);
        if (index >= state.dialogs.records.size()) break;
        state.record.dialog = i;
        WriteDialogBytes(state, snapshot, padded, offset, i, true, freed, true);
        state.rom.modified = true;
      }
    } else if (offset < 0) {
      if (warnings.noAddress.Allow())
        AppendLog(state, u"не указано смещение куда вставлять текст... Dialog ID=" + id + u", пропустим.");
    } else if (FitsInRom(state, offset, bytes.size(), id, warnings.pastRom) &&
               ReachableInBank(state, state.dialogs.records[index], offset, bytes.size(), warnings.pastBank)) {
      SetProgress(state, i);
      YieldPoint(state);
      if (index >= state.dialogs.records.size()) break;
      state.record.dialog = i;
      RewriteDialogPointers(state, snapshot, index, log, warnings.rewrite);
      // Written back where it came from, with no old size known, it may cover its own old text.
      const DialogRecord& dlg = state.dialogs.records[index];
      const bool inPlace = offset == HexTextToLong(dlg.ExtractedFromAddr) && !ParseTypedInt(dlg.OldDlgSize);
      WriteDialogBytes(state, snapshot, bytes, offset, i, inPlace, freed);
      state.rom.modified = true;
    }
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Процесс вставления текста диалогов прерван пользователем");
      AppendLog(state, u"остановились на диалоге с ID=" + id);
      warnings.Summarise(state);
      logFile.Close(state);
      HideProgress(state);
      return;
    }
  }
  HideProgress(state);
  warnings.Summarise(state);
  AppendLog(state, u"закончили вставлять текст диалогов в РОМ");
  logFile.Close(state);
}

void InsertDataBlock(InsertState state, std::u16string& data, std::int32_t& offset, bool useTable) {
  if (offset < 0) offset = 0;
  if (data.empty()) return;
  if (!RequireRom(state)) return;
  Bytes bytes;
  if (useTable) {
    if (!state.table.isLoaded) return;
    bytes = Encode(state, data);
    data = FromCp1251(bytes.data(), bytes.size());
  } else {
    const std::string ansi = ToCp1251(data);
    bytes.assign(ansi.begin(), ansi.end());
  }
  // The ROM does not grow: what passes its end is left out.
  const std::size_t room = offset < state.rom.size() ? static_cast<std::size_t>(state.rom.size() - offset) : 0;
  const std::size_t written = std::min(bytes.size(), room);
  WriteRomBytesUndoable(state, offset, std::span<const std::uint8_t>(bytes).first(written));
  std::u16string report;
  for (std::size_t k = 0; k < written; ++k) report += u"<$" + HexText(bytes[k], 2) + u">";
  AppendLog(state, u"Вставляем в ROM по адресу" + NumText(offset) + u", следующий блок данных:" +
                       std::u16string(kCrLf) + report);
  if (written < bytes.size())
    AppendLog(state,
              u"за концом ROM'а оказались" + NumText(static_cast<long long>(bytes.size() - written)) +
                  u" байт, они не вставлены",
              kColourDarkRed);
}

}  // namespace vorkat
