#include "insert/new_addresses.h"

#include <algorithm>

#include "codec/encoder.h"
#include "core/runtime.h"
#include "core/log.h"
#include "insert/insert_state.h"
#include "core/text.h"
#include "insert/address_forms.h"

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
std::int64_t AvoidZones(InsertState& state, std::int64_t cur, std::int64_t len) {
  const std::int32_t alignBy = state.insertion.AddressAlignBy;
  bool shifted = true;
  while (shifted) {
    shifted = false;
    for (const RomZone& zone : state.insertion.IgnoreRomZones) {
      if (zone.end <= 0) continue;
      if (cur <= zone.end && cur + len >= zone.start) {
        cur = AlignUp(std::int64_t{zone.end} + 1, alignBy);
        AppendLog(state, u"произведен сдвиг адреса для вставки, поскольку иначе мы накроем 'запретную' зону",
                  kColourDarkRed);
        shifted = true;
      }
    }
  }
  return cur;
}

std::int32_t ClampToInt32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void CalcNewAddresses(InsertState& state) {
  if (!state.table.isLoaded) {
    MsgBox(state, u"Таблица еще не загружена", MsgButtons::Ok, MsgIcon::Error);
    AppendLog(state, u"Таблица еще не загружена");
    return;
  }
  LongOperation op(state);
  AppendLog(state, u"Начинаем расчет новых адресов диалогов для вставки в ROM");
  InsertionParams& params = state.insertion;
  const std::int32_t oldStart = params.FreeSpaceStartAddr;
  std::int64_t cur = params.FreeSpaceStartAddr;
  bool prepared = false;

  // Slots after lastIndex are empty, not dialogs: they take no place.
  const auto count = static_cast<std::size_t>(std::max(state.dialogs.lastIndex + 1, 0));
  for (std::size_t i = 0; i < count && i < state.dialogs.records.size(); ++i) {
    YieldPoint(state);
    DialogRecord& dlg = state.dialogs.records[i];
    if (!Trim(dlg.NewDlgAddr).empty()) continue;

    const std::int32_t from = HexTextToLong(dlg.ExtractedFromAddr);
    if (from >= kPointerReach) {
      dlg.OldPtrHEX.clear();
      AppendLog(state,
                u"Dialog ID=" + dlg.dlgID + u": адрес " + LongToAddrText(from) +
                    u" (откуда вынули) за пределами 16 Мб, старый указатель сформировать нельзя",
                kColourDarkRed);
    } else {
      // An empty address reads as -1 and gives FFFFFF08, which points nowhere.
      dlg.OldPtrHEX = OffsetToPtrHexUnchecked(from);
    }

    const auto len = static_cast<std::int64_t>(Encode(state, dlg.dlgText, prepared).size());
    prepared = true;
    cur = AlignUp(cur, params.AddressAlignBy);
    cur = AvoidZones(state, cur, len);

    if (cur + len > params.FreeSpaceEndAddr) continue;  // does not fit; a shorter one may
    if (cur < 0 || cur >= kPointerReach) {
      AppendLog(state,
                u"Dialog ID=" + dlg.dlgID + u": новый адрес " + (cur < 0 ? DecText(cur) : HexText(cur)) +
                    u" вне досягаемости указателя GBA (0..FFFFFF), диалог не размещен",
                kColourBrightRed);
      continue;
    }
    const auto at = static_cast<std::int32_t>(cur);
    dlg.NewDlgAddr = LongToAddrText(at);
    dlg.NewPtrHEX = OffsetToPtrHexUnchecked(at);
    dlg.DoPointerChange = u"Y";
    cur = cur + len + params.DialogsAutoGapBytes;
  }

  AppendLog(state, u"'пустое' место было задано в границах от адреса" + NumText(oldStart) + u" до адреса" +
                       NumText(params.FreeSpaceEndAddr) + u"," + std::u16string(kCrLf) +
                       u"теперь адрес начала 'пустого' места подвинулся и равен" + NumText(cur));
  params.FreeSpaceStartAddr = ClampToInt32(cur);
  AppendLog(state, u"Завершен процесс расчета новых адресов (для вставки) для диалогов в ROM");
}

std::int32_t SuggestFreeSpaceStart(const RomImage& rom) {
  const std::span<const std::uint8_t> bytes = rom.view();
  auto afterLastNot = [&](std::uint8_t padding) -> std::int64_t {
    for (std::size_t i = bytes.size(); i-- > 0;)
      if (bytes[i] != padding) return static_cast<std::int64_t>(i) + 2;
    return static_cast<std::int64_t>(bytes.size());
  };
  return ClampToInt32(std::min(afterLastNot(0x00), afterLastNot(0xFF)));
}

bool IsAcceptedAlignment(std::int32_t alignBy) { return alignBy == 0 || alignBy == 2 || alignBy == 4 || alignBy == 8; }

}  // namespace vorkat
