#include "insert/verify_insertion.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "core/log.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/settings.h"
#include "core/text.h"
#include "extract/extract_common.h"
#include "insert/address_forms.h"
#include "insert/in_place.h"
#include "insert/insert_state.h"

namespace vorkat {
namespace {

// Bytes of the ROM scanned between two yields of the stale-pointer pass.
constexpr std::size_t kScanChunk = 1u << 20;
// Characters shown on each side of a text difference.
constexpr std::size_t kShownChars = 24;

std::u16string_view KindWord(VerifyProblemKind kind) {
  switch (kind) {
    case VerifyProblemKind::TextBytes: return u"байты текста";
    case VerifyProblemKind::TextDecoding: return u"декодирование";
    case VerifyProblemKind::Pointer: return u"указатель";
    case VerifyProblemKind::StalePointer: return u"старый указатель";
    case VerifyProblemKind::NoPointer: return u"нет указателя";
    case VerifyProblemKind::LostText: return u"потерянные символы";
    case VerifyProblemKind::Overwritten: return u"затертые байты";
    case VerifyProblemKind::OutsideSpace: return u"вне 'пустого' места";
    case VerifyProblemKind::FieldTooLong: return u"длиннее поля";
    case VerifyProblemKind::FieldWithoutPlace: return u"поле без места";
  }
  return u"";
}

std::u16string BytesText(std::span<const std::uint8_t> b) {
  std::u16string text;
  for (std::uint8_t v : b) text += HexText(v, 2);
  return text;
}

// The length of the dialog as the game reads it: up to and including the
// first end code, walking codes the way the scan extraction does.
std::size_t LengthThroughEndCode(const TranslationTable& table, std::span<const std::uint8_t> bytes) {
  if (!table.endCodeSet) return bytes.size();
  const std::uint32_t endCode = table.endCode;
  const bool dbcs = table.type == u"DBCS";
  const bool sbcs2 = table.type == u"SBCS2";
  std::size_t p = 0;
  while (p < bytes.size()) {
    const std::uint8_t b = bytes[p];
    std::uint32_t code = b;
    std::size_t width = 1;
    if (dbcs) {
      if (p + 1 >= bytes.size()) break;
      code = b * 256u + bytes[p + 1];
      width = 2;
    } else if (sbcs2 && table.entries[b].empty() && p + 1 < bytes.size() &&
               !table.entries[b * 256u + bytes[p + 1]].empty()) {
      code = b * 256u + bytes[p + 1];
      width = 2;
    }
    p += width;
    if (code == endCode) return p;
  }
  return bytes.size();
}

std::u16string Shown(std::u16string_view text, std::size_t from) {
  if (from >= text.size()) return u"«»";
  return u"«" + TextToMarkupCopy(text.substr(from, kShownChars)) + u"»";
}

// The first difference of two texts, told with a little context.
std::u16string TextDifference(std::u16string_view decoded, std::u16string_view expected) {
  std::size_t i = 0;
  while (i < decoded.size() && i < expected.size() && decoded[i] == expected[i]) ++i;
  const std::size_t from = i > 4 ? i - 4 : 0;
  return u"с символа" + NumText(static_cast<long long>(i + 1)) + u" из ROM читается " + Shown(decoded, from) +
         u", а вставлялся текст " + Shown(expected, from);
}

struct StaleKey {
  std::uint32_t value = 0;
  std::int32_t dialog = 0;
  std::int32_t bank = -1;  // the bank the dialog came from (GB16)
  bool operator<(const StaleKey& o) const { return value != o.value ? value < o.value : dialog < o.dialog; }
};

class Verifier {
 public:
  Verifier(InsertState state, VerifyResult& result)
      : state_(state),
        result_(result),
        format_(state.ctx.settings.PtrFormat),
        width_(static_cast<std::size_t>(PointerWidth(format_))) {}

  void CheckDialogs() {
    const auto last = static_cast<std::int32_t>(state_.dialogs.count()) - 1;
    // The insertion has reported unknown characters already; the check
    // encodes silently.
    WarningLimit silent(u"", 0);
    const bool typeKnown = IsKnownTableType(state_.table.type);
    for (std::int32_t i = 0; i <= last && !Stopped(); ++i) {
      SetProgress(state_, i);
      YieldPoint(state_);
      const DialogRecord& dlg = state_.dialogs.records[static_cast<std::size_t>(i)];
      std::int32_t addr = HexTextToLong(dlg.NewDlgAddr);
      const std::optional<OriginalPlace> original = OriginalPlaceOf(dlg);
      // Fixed fields and texts in place are written without a calculation too.
      const bool inPlaceOption = state_.insertOptions.InPlace && original;
      // A fixed field nobody gave an address is in the ROM nowhere.
      if (addr < 0 && state_.insertOptions.InPlace && !original && IsPointerChangeOff(dlg)) {
        ++result_.dialogsChecked;
        Add(i, VerifyProblemKind::FieldWithoutPlace, -1, FieldWithoutPlaceText(dlg));
        continue;
      }
      if (addr < 0 && !inPlaceOption) continue;
      if (Trim(dlg.NewPtrHEX).empty() && !inPlaceOption) continue;
      std::u16string understood;
      EncodeLosses losses;
      const Bytes bytes = Encode(state_, dlg.dlgText, &silent, &understood, &losses);
      const InPlaceFit fit = FitInPlace(state_.insertOptions, dlg, std::ssize(bytes));
      if (fit == InPlaceFit::TooLong) {
        ++result_.dialogsChecked;
        Add(i, VerifyProblemKind::FieldTooLong, original->at, FieldTooLongText(dlg, std::ssize(bytes)));
        continue;
      }
      const bool inPlace = fit == InPlaceFit::Fits && (addr < 0 || addr == original->at);
      if (inPlace) addr = original->at;
      if (addr < 0 || (!inPlace && Trim(dlg.NewPtrHEX).empty())) continue;
      ++result_.dialogsChecked;
      if (CheckBytes(i, addr, bytes) && typeKnown) CheckDecoding(i, addr, bytes, understood);
      if (inPlace) CheckPadding(i, addr, bytes.size(), original->size);
      if (losses.lost > 0)
        Add(i, VerifyProblemKind::LostText, addr,
            u"таблица не знает" + NumText(static_cast<long long>(losses.lost)) +
                u" символов/токенов текста, они пропущены при вставке; первый: '" + losses.firstLost + u"'");
      // A text in place keeps its pointers and took no free space.
      if (inPlace) continue;
      CheckReachable(i, addr, dlg);
      CheckCalcSpace(i, addr, static_cast<std::int64_t>(bytes.size()));
      CollectOldPointer(i, dlg);
    }
  }

  // The bytes the insertion wrote over that were in use before.
  void CheckOverwritten() {
    if (!state_.record.inserted) return;
    for (const OverwrittenBytes& o : state_.record.overwritten)
      if (o.dialog >= 0 && o.dialog <= state_.dialogs.lastIndex)
        Add(o.dialog, VerifyProblemKind::Overwritten, o.start,
            u"текст лег на байты " + LongToAddrText(o.start) + u".." + LongToAddrText(o.end - 1) +
                u", которые до вставки не были свободны (не 00 и не FF)");
  }

  void CheckRewrittenPointers() {
    result_.pointerRecordKnown = state_.record.inserted;
    if (!state_.record.inserted) return;
    const auto dialogs = static_cast<std::size_t>(std::max(state_.dialogs.lastIndex + 1, 0));
    written_.assign(dialogs, false);
    pointed_.assign(dialogs, false);
    for (const PlacedText& t : state_.record.placed)
      if (t.dialog >= 0 && static_cast<std::size_t>(t.dialog) < dialogs)
        written_[static_cast<std::size_t>(t.dialog)] = true;
    for (const RewrittenPointer& p : state_.record.pointers)
      if (p.dialog >= 0 && static_cast<std::size_t>(p.dialog) < dialogs)
        pointed_[static_cast<std::size_t>(p.dialog)] = true;
    const std::span<const std::uint8_t> rom = state_.rom.view();
    // Two overlapping search zones of one dialog rewrite a place twice; it is checked once.
    std::vector<RewrittenPointer> places = state_.record.pointers;
    std::sort(places.begin(), places.end(), [](const RewrittenPointer& a, const RewrittenPointer& b) {
      return a.dialog != b.dialog ? a.dialog < b.dialog : a.offset < b.offset;
    });
    places.erase(std::unique(places.begin(), places.end(),
                             [](const RewrittenPointer& a, const RewrittenPointer& b) {
                               return a.dialog == b.dialog && a.offset == b.offset;
                             }),
                 places.end());
    for (const RewrittenPointer& p : places) {
      if (p.dialog < 0 || p.dialog > state_.dialogs.lastIndex) continue;
      const DialogRecord& dlg = state_.dialogs.records[static_cast<std::size_t>(p.dialog)];
      rewritten_.push_back(p.offset);
      ++result_.pointersChecked;
      const PointerText expected = ReadPointerText(dlg.NewPtrHEX, format_);
      if (p.offset < 0 || static_cast<std::size_t>(p.offset) + width_ > rom.size()) continue;
      const auto held = rom.subspan(static_cast<std::size_t>(p.offset), width_);
      if (std::equal(held.begin(), held.end(), expected.bytes.begin())) continue;
      Add(p.dialog, VerifyProblemKind::Pointer, p.offset,
          u"здесь " + BytesText(held) + u", а переписан был на " + dlg.NewPtrHEX +
              (std::equal(held.begin(), held.end(), ReadPointerText(dlg.OldPtrHEX, format_).bytes.begin())
                   ? u" (вернулся старый указатель)"
                   : u""));
    }
    std::sort(rewritten_.begin(), rewritten_.end());
  }

  // One pass over the ROM: every 4-byte window whose value is an old pointer
  // of some placed dialog, except the places the insertion rewrote.
  void FindStalePointers() {
    if (keys_.empty() || Stopped()) return;
    std::sort(keys_.begin(), keys_.end());
    if (!IsGbaFormat(format_)) return FindStaleWindows();
    std::array<bool, 256> lastByte{};
    std::vector<std::uint64_t> lowBits((1u << 24) / 64, 0);
    for (const StaleKey& k : keys_) {
      lastByte[k.value >> 24] = true;
      const std::uint32_t low = k.value & 0xFFFFFFu;
      lowBits[low / 64] |= std::uint64_t{1} << (low % 64);
    }
    const int distinctLast = static_cast<int>(std::count(lastByte.begin(), lastByte.end(), true));
    const std::uint8_t onlyLast = static_cast<std::uint8_t>(keys_.front().value >> 24);

    const std::span<const std::uint8_t> rom = state_.rom.view();
    if (rom.size() < 4) return;
    const std::uint8_t* data = rom.data();
    auto candidate = [&](std::size_t w) {
      const std::uint32_t value = PointerKey(PointerFormat::GBA, data + w);
      const std::uint32_t low = value & 0xFFFFFFu;
      if (!(lowBits[low / 64] >> (low % 64) & 1)) return;
      const auto offset = static_cast<std::int32_t>(w);
      if (std::binary_search(rewritten_.begin(), rewritten_.end(), offset)) return;
      for (auto it = std::lower_bound(keys_.begin(), keys_.end(), StaleKey{value, INT32_MIN});
           it != keys_.end() && it->value == value; ++it)
        AddStale(it->dialog, offset);
    };
    // Positions of the windows' last bytes, chunk by chunk.
    for (std::size_t chunk = 3; chunk < rom.size(); chunk += kScanChunk) {
      const std::size_t end = std::min(rom.size(), chunk + kScanChunk);
      if (distinctLast == 1) {
        const std::uint8_t* p = data + chunk;
        while ((
            p = static_cast<const std::uint8_t*>(std::memchr(p, onlyLast, static_cast<std::size_t>(data + end - p))))) {
          candidate(static_cast<std::size_t>(p - data) - 3);
          ++p;
        }
      } else {
        for (std::size_t p = chunk; p < end; ++p)
          if (lastByte[data[p]]) candidate(p - 3);
      }
      YieldPoint(state_);
      if (Stopped()) return;
    }
  }

  // The same for the Game Boy and offset formats, where every 2 to 4 bytes
  // are a window. A GB16 window counts only where the insertion searched
  // without a list or zones: bank 0 and the bank the dialog came from; an
  // offset one of a dialog with zones only inside them (a 2-byte value
  // turns up all over a ROM).
  // An offset dialog with zones is looked for in its zones alone, without a
  // pass over the ROM; the keys of the others stay for that pass.
  void FindStaleInZones() {
    const std::span<const std::uint8_t> rom = state_.rom.view();
    std::vector<StaleKey> unzoned;
    for (const StaleKey& k : keys_) {
      const DialogRecord& dlg = state_.dialogs.records[static_cast<std::size_t>(k.dialog)];
      if (dlg.PtrsAddrZones.empty()) {
        unzoned.push_back(k);
        continue;
      }
      for (const PointerZone& z : ReadPointerZones(dlg.PtrsAddrZones, state_.rom.size())) {
        const std::int64_t end =
            std::min<std::int64_t>(z.end > 0 ? std::int64_t{z.end} + 1 : std::ssize(rom), std::ssize(rom));
        for (std::int64_t w = std::max(z.start, 0); w + static_cast<std::int64_t>(width_) <= end; ++w) {
          const auto offset = static_cast<std::int32_t>(w);
          if (PointerKey(format_, rom.data() + w) != k.value) continue;
          if (!std::binary_search(rewritten_.begin(), rewritten_.end(), offset)) AddStale(k.dialog, offset);
        }
      }
    }
    keys_ = std::move(unzoned);
  }

  void FindStaleWindows() {
    if (IsOffsetFormat(format_)) {
      FindStaleInZones();
      if (keys_.empty() || Stopped()) return;
    }
    const std::span<const std::uint8_t> rom = state_.rom.view();
    const std::uint8_t* data = rom.data();
    constexpr std::uint32_t kBits = (1u << 24) - 1;  // a 4-byte key is looked up by its low bits
    std::vector<std::uint64_t> wanted((1u << 24) / 64, 0);
    for (const StaleKey& k : keys_) wanted[(k.value & kBits) / 64] |= std::uint64_t{1} << (k.value % 64);
    for (std::size_t chunk = 0; chunk + width_ <= rom.size(); chunk += kScanChunk) {
      const std::size_t end = std::min(rom.size() + 1 - width_, chunk + kScanChunk);
      for (std::size_t w = chunk; w < end; ++w) {
        const std::uint32_t value = PointerKey(format_, data + w);
        if (!(wanted[(value & kBits) / 64] >> (value % 64) & 1)) continue;
        const auto offset = static_cast<std::int32_t>(w);
        if (std::binary_search(rewritten_.begin(), rewritten_.end(), offset)) continue;
        for (auto it = std::lower_bound(keys_.begin(), keys_.end(), StaleKey{value, INT32_MIN});
             it != keys_.end() && it->value == value; ++it) {
          if (format_ == PointerFormat::GB16 && BankOf(offset) != 0 && BankOf(offset) != it->bank) continue;
          AddStale(it->dialog, offset);
        }
      }
      YieldPoint(state_);
      if (Stopped()) return;
    }
  }

  void Finish() {
    std::sort(result_.problems.begin(), result_.problems.end(), [](const VerifyProblem& a, const VerifyProblem& b) {
      if (a.dialog != b.dialog) return a.dialog < b.dialog;
      if (a.kind != b.kind) return a.kind < b.kind;
      return a.offset < b.offset;
    });
  }

 private:
  bool Stopped() {
    if (state_.ctx.CancelRequested) result_.stopped = true;
    return result_.stopped;
  }

  void Add(std::int32_t dialog, VerifyProblemKind kind, std::int32_t offset, std::u16string detail) {
    result_.problems.push_back({dialog, kind, offset, std::move(detail)});
  }

  // True when the ROM holds exactly the encoded bytes at addr.
  bool CheckBytes(std::int32_t dialog, std::int32_t addr, const Bytes& bytes) {
    const std::span<const std::uint8_t> rom = state_.rom.view();
    if (static_cast<std::size_t>(addr) + bytes.size() > rom.size()) {
      Add(dialog, VerifyProblemKind::TextBytes, addr,
          u"текст (" + DecText(static_cast<long long>(bytes.size())) + u" байт) не помещается в ROM (" +
              DecText(static_cast<long long>(rom.size())) + u" байт)");
      return false;
    }
    const auto held = rom.subspan(static_cast<std::size_t>(addr), bytes.size());
    const auto diff = std::mismatch(held.begin(), held.end(), bytes.begin());
    if (diff.first == held.end()) return true;
    const auto at = static_cast<std::size_t>(diff.first - held.begin());
    std::size_t differing = 0;
    for (std::size_t k = at; k < bytes.size(); ++k) differing += held[k] != bytes[k];
    Add(dialog, VerifyProblemKind::TextBytes, addr + static_cast<std::int32_t>(at),
        u"в ROM " + HexText(held[at], 2) + u", а текст кодируется в " + HexText(bytes[at], 2) + u"; не совпадает" +
            NumText(static_cast<long long>(differing)) + u" байт из" + NumText(static_cast<long long>(bytes.size())));
    return false;
  }

  // The rest of the original's place after a text written in place holds the pad byte.
  void CheckPadding(std::int32_t dialog, std::int32_t addr, std::size_t length, std::int32_t originalSize) {
    const std::span<const std::uint8_t> rom = state_.rom.view();
    const std::uint8_t pad = state_.insertOptions.PadByte;
    const auto end = std::min(static_cast<std::size_t>(addr) + static_cast<std::size_t>(originalSize), rom.size());
    for (std::size_t at = static_cast<std::size_t>(addr) + length; at < end; ++at) {
      if (rom[at] == pad) continue;
      Add(dialog, VerifyProblemKind::TextBytes, static_cast<std::int32_t>(at),
          u"за текстом, на месте оригинала (" + DecText(originalSize) + u" байт), здесь " + HexText(rom[at], 2) +
              u", а не байт-заполнитель " + HexText(pad, 2));
      return;
    }
  }

  // The ROM holds the encoded bytes here; read them back as the game would
  // (through the end code) and as the extraction decodes them.
  void CheckDecoding(std::int32_t dialog, std::int32_t addr, const Bytes& bytes, const std::u16string& understood) {
    const std::size_t length = LengthThroughEndCode(state_.table, bytes);
    const std::u16string decoded = DecodeRangeText(state_, addr, addr + static_cast<std::int32_t>(length));
    if (decoded == understood) return;
    std::u16string detail = TextDifference(decoded, understood);
    if (length < bytes.size())
      detail += u"; код конца текста стоит на байте" + NumText(static_cast<long long>(length)) + u" из" +
                NumText(static_cast<long long>(bytes.size()));
    Add(dialog, VerifyProblemKind::TextDecoding, addr, std::move(detail));
  }

  // A text the insertion wrote for a dialog whose pointers were to change,
  // with no pointer rewritten to it: nothing in the game leads there.
  void CheckReachable(std::int32_t dialog, std::int32_t addr, const DialogRecord& dlg) {
    const auto d = static_cast<std::size_t>(dialog);
    if (d >= written_.size() || !written_[d] || pointed_[d] || !WantsPointerChange(dlg)) return;
    Add(dialog, VerifyProblemKind::NoPointer, addr,
        u"вставка не переписала ни одного указателя " + Trim(dlg.OldPtrHEX) + u" (формат " +
            std::u16string(PointerFormatName(format_)) + u"): текст в игре недостижим");
  }

  // The text against the free space of the calculation that placed it (or
  // kept its address) in this run.
  void CheckCalcSpace(std::int32_t dialog, std::int32_t addr, std::int64_t size) {
    const std::vector<CalcSpace>& spaces = state_.record.calcSpaces;
    const auto d = static_cast<std::size_t>(dialog);
    if (d >= spaces.size() || spaces[d].address != addr) return;
    const CalcSpace& space = spaces[d];
    if (addr >= space.start && std::int64_t{addr} + size <= space.end) return;
    Add(dialog, VerifyProblemKind::OutsideSpace, addr,
        u"текст " + LongToAddrText(addr) + u".." +
            LongToAddrText(static_cast<std::int32_t>(addr + std::max<std::int64_t>(size, 1) - 1)) +
            u" лежит вне 'пустого' места расчета (" + LongToAddrText(space.start) + u".." +
            LongToAddrText(space.end - 1) + u"): адрес остался от прежнего расчета");
  }

  void CollectOldPointer(std::int32_t dialog, const DialogRecord& dlg) {
    if (!WantsPointerChange(dlg) || Trim(dlg.OldPtrHEX).empty()) return;
    const PointerText oldPtr = ReadPointerText(dlg.OldPtrHEX, format_);
    const PointerText newPtr = ReadPointerText(dlg.NewPtrHEX, format_);
    // A dialog put back where it was leaves its pointers as they were.
    if (oldPtr.bytes == newPtr.bytes) return;
    const std::int32_t from = HexTextToLong(dlg.ExtractedFromAddr);
    keys_.push_back({PointerKey(format_, oldPtr.bytes.data()), dialog, from < 0 ? -1 : BankOf(from)});
  }

  void AddStale(std::int32_t dialog, std::int32_t offset) {
    const DialogRecord& dlg = state_.dialogs.records[static_cast<std::size_t>(dialog)];
    std::u16string why;
    if (!Trim(dlg.PtrsAddrListFile).empty()) {
      why = u"указатели брались по списку " + Trim(dlg.PtrsAddrListFile);
    } else if (!dlg.PtrsAddrZones.empty()) {
      why = u"поиск указателей был ограничен зонами " + dlg.PtrsAddrZones;
    } else if (state_.insertion.CheckByMod4 && offset % PointerTableAlignment(format_) != 0) {
      why = u"смещение не кратно" + NumText(PointerTableAlignment(format_)) + u", а MOD4 проверка включена";
    } else {
      why = u"это место не переписывали";
    }
    Add(dialog, VerifyProblemKind::StalePointer, offset,
        u"остался старый указатель " + dlg.OldPtrHEX + u" (" + why + u"; возможно, это и не указатель)");
  }

  InsertState state_;
  VerifyResult& result_;
  PointerFormat format_;
  std::size_t width_;
  std::vector<StaleKey> keys_;
  std::vector<std::int32_t> rewritten_;  // sorted
  std::vector<bool> written_;            // per dialog: the last insertion wrote its text
  std::vector<bool> pointed_;            // per dialog: and rewrote a pointer to it
};

std::u16string SummaryText(const VerifyResult& r) {
  std::u16string text = u"Проверка вставки: диалогов" + NumText(static_cast<long long>(r.dialogsChecked)) +
                        u", переписанных указателей" + NumText(static_cast<long long>(r.pointersChecked)) + u"; ";
  if (r.problems.empty()) return text + u"проблем не найдено";
  text += u"найдено проблем" + NumText(static_cast<long long>(r.problems.size())) + u" (байты текста:" +
          NumText(static_cast<long long>(r.Count(VerifyProblemKind::TextBytes))) + u", декодирование:" +
          NumText(static_cast<long long>(r.Count(VerifyProblemKind::TextDecoding))) + u", указатели:" +
          NumText(static_cast<long long>(r.Count(VerifyProblemKind::Pointer))) + u", старые указатели:" +
          NumText(static_cast<long long>(r.Count(VerifyProblemKind::StalePointer)));
  // The kinds that tell why the game cannot show a text, named only when found.
  for (VerifyProblemKind kind :
       {VerifyProblemKind::NoPointer, VerifyProblemKind::LostText, VerifyProblemKind::Overwritten,
        VerifyProblemKind::OutsideSpace, VerifyProblemKind::FieldTooLong, VerifyProblemKind::FieldWithoutPlace})
    if (const std::size_t n = r.Count(kind); n > 0)
      text += u", " + std::u16string(KindWord(kind)) + u":" + NumText(static_cast<long long>(n));
  return text + u")";
}

constexpr std::u16string_view kNoRecord =
    u"Вставки в этом запуске программы не было: места переписанных указателей неизвестны, их проверка пропущена";
constexpr std::u16string_view kStopped = u"Проверка вставки прервана пользователем";

}  // namespace

std::size_t VerifyResult::Count(VerifyProblemKind kind) const {
  return static_cast<std::size_t>(
      std::count_if(problems.begin(), problems.end(), [kind](const VerifyProblem& p) { return p.kind == kind; }));
}

VerifyResult CheckInsertion(InsertState state) {
  VerifyResult result;
  Verifier verifier(state, result);
  verifier.CheckRewrittenPointers();
  verifier.CheckDialogs();
  verifier.CheckOverwritten();
  verifier.FindStalePointers();
  verifier.Finish();
  return result;
}

std::u16string VerifyReportText(InsertState state, const VerifyResult& result) {
  std::u16string text = u"Проверка вставки: ROM " + state.rom.fileName + u", диалоги " + state.dialogs.fileName;
  text += u"\r\nID\tпроблема\tсмещение\tподробности\r\n";
  for (const VerifyProblem& p : result.problems) {
    const std::u16string id = p.dialog >= 0 && static_cast<std::size_t>(p.dialog) < state.dialogs.records.size()
                                  ? state.dialogs.records[static_cast<std::size_t>(p.dialog)].dlgID
                                  : std::u16string();
    text += id + u"\t" + std::u16string(KindWord(p.kind)) + u"\t" +
            (p.offset < 0 ? std::u16string() : LongToAddrText(p.offset)) + u"\t" + p.detail + u"\r\n";
  }
  if (!result.pointerRecordKnown) text += std::u16string(kNoRecord) + u"\r\n";
  if (result.stopped) text += std::u16string(kStopped) + u"\r\n";
  text += SummaryText(result) + u"\r\n";
  return text;
}

void VerifyInsertion(InsertState state, const std::u16string& reportFile) {
  if (!RequireRom(state) || !RequireTable(state) || !RequireDialogs(state)) return;
  if (Trim(reportFile).empty()) return;
  LongOperation op(state);
  AppendLog(state, u"Проверяем вставку диалогов в ROM");
  LogPointerFormat(state);
  if (!IsKnownTableType(state.table.type))
    AppendLog(state, u"Неизвестный тип таблицы перекодировки: декодирование текстов не проверяется", kColourDarkRed);
  ShowProgress(state, 0, std::max(state.dialogs.lastIndex, 1));
  const VerifyResult result = CheckInsertion(state);
  HideProgress(state);
  if (!result.pointerRecordKnown) AppendLog(state, kNoRecord, kColourDarkRed);
  if (result.stopped) AppendLog(state, kStopped, kColourDarkRed);
  if (WriteTextOutput(state, reportFile, VerifyReportText(state, result), IsYes(state.ctx.settings.WriteTextInUnicode)))
    AppendLog(state, u"Отчет о проверке вставки записан в файл " + reportFile);
  AppendLog(state, SummaryText(result), result.problems.empty() ? kColourGreen : kColourBrightRed);
}

void VerifyInsertion(InsertState state) {
  if (!RequireRom(state) || !RequireTable(state) || !RequireDialogs(state)) return;
  const std::u16string file =
      AskFileName(state, true, u"Отчет о проверке вставки", u"Отчет (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (Trim(file).empty()) return;
  VerifyInsertion(state, file);
}

}  // namespace vorkat
