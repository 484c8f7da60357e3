#include "extract/scan_extract.h"

#include "codec/decoder.h"
#include "core/runtime.h"
#include "core/log.h"
#include "core/rom.h"
#include "script/script_state.h"
#include "core/text.h"
#include "extract/extract_common.h"

namespace vorkat {
namespace {

enum class Kind { Sbcs, Sbcs2, Dbcs };

// Codes between two yields to the window system (YieldPoint itself decides
// by the clock whether events run); the stop flag is read after every code.
constexpr unsigned kYieldEvery = 4096;

struct Scanner {
  ScriptState state;
  RecordOutput& out;
  const std::vector<std::u16string>& entries;
  const bool hexMode;
  const std::int32_t threshold;  // T: NumberOfTextChars - 1, at least 1
  const bool hasEndCode;
  const std::uint32_t endCode;

  std::u16string text;
  std::int32_t runStart = -1;  // -1: no run open
  bool newRun = true;
  std::int32_t lastText = 0;

  bool IsEnd(std::uint32_t code) const { return hasEndCode && code == endCode; }

  void StartRunAt(std::int32_t pos) {
    if (!newRun) return;
    newRun = false;
    runStart = pos;
  }

  void Escape(Kind kind, std::uint32_t code, int width) {
    if (kind == Kind::Dbcs) {
      text.append(ByteEscape(static_cast<std::uint8_t>(code >> 8)));
      text.append(ByteEscape(static_cast<std::uint8_t>(code & 0xFF)));
    } else if (width == 1) {
      text.append(ByteEscape(static_cast<std::uint8_t>(code)));
    } else {
      // Only the end code can be a two-byte code without being text.
      text += u"<$" + HexText(code, 4) + u">";
    }
  }

  // One code at pos of `width` bytes.
  void Code(Kind kind, std::int32_t pos, std::uint32_t code, int width) {
    const std::u16string& entry = entries[code];
    if (!entry.empty() && !IsEnd(code)) {
      StartRunAt(pos);
      text.append(entry);
      lastText = pos;
      return;
    }
    if (!hexMode) {
      if (runStart >= 0) {
        std::int32_t span = lastText - runStart;
        if (kind == Kind::Dbcs) span /= 2;
        if (span >= threshold) WriteExtractedRecord(state, out, text, runStart);
      }
      text.clear();
      newRun = true;
      runStart = -1;
      return;
    }
    if (IsEnd(code)) {
      WriteExtractedRecord(state, out, text, runStart);
      text.clear();
      // The next record begins with the end code's escape and carries the end
      // code's offset, so that its text and its bytes line up.
      newRun = false;
      runStart = pos;
      Escape(kind, code, width);
      return;
    }
    StartRunAt(pos);
    Escape(kind, code, width);
  }

  // Walks start <= offset < end; false when stopped by the user.
  bool Walk(Kind kind, std::span<const std::uint8_t> rom, std::int32_t start, std::int32_t end) {
    unsigned sinceYield = 0;
    std::int32_t p = start;
    // 64-bit: a start of INT32_MAX must not overflow the pair test.
    while (kind == Kind::Dbcs ? static_cast<std::int64_t>(p) + 1 < end : p < end) {
      const std::uint8_t b = rom[static_cast<std::size_t>(p)];
      std::uint32_t code = b;
      int width = 1;
      if (kind == Kind::Dbcs) {
        code = b * 256u + rom[static_cast<std::size_t>(p) + 1];
        width = 2;
      } else if (kind == Kind::Sbcs2 && entries[b].empty() && p + 1 < end &&
                 !entries[b * 256u + rom[static_cast<std::size_t>(p) + 1]].empty()) {
        code = b * 256u + rom[static_cast<std::size_t>(p) + 1];
        width = 2;
      }
      Code(kind, p, code, width);
      p += width;
      if (++sinceYield == kYieldEvery) {
        sinceYield = 0;
        SetProgress(state, p);
        YieldPoint(state);
      }
      if (state.ctx.CancelRequested) return false;
    }
    return true;
  }
};

}  // namespace

void ScanExtract(ScriptState state, std::int32_t& start, std::int32_t& end, const std::u16string& outFile) {
  if (!RequireRom(state) || !RequireTable(state)) return;
  if (Trim(outFile).empty()) return;
  // The type is checked before anything is written: a refused run leaves an
  // existing file of that name alone.
  if (!RequireKnownTableType(state)) return;

  AppendLog(state, u"Начали процесс вынимания текста из ROM " + NowText());
  LongOperation op(state);
  NormaliseRange(state.rom.size(), start, end);

  const TranslationTable& table = state.table;
  const Kind kind = table.type == u"SBCS" ? Kind::Sbcs : table.type == u"SBCS2" ? Kind::Sbcs2 : Kind::Dbcs;
  RecordOutput out = RecordOutput::ForSettings(state.ctx.settings);
  Scanner scan{state,
               out,
               table.entries,
               IsYes(state.codecOptions.HexEncodeUnknownChars),
               std::max<std::int32_t>(state.ctx.settings.NumberOfTextChars - 1, 1),
               table.endCodeSet,
               static_cast<std::uint32_t>(table.endCode)};

  ShowProgress(state, start, end);
  if (!scan.Walk(kind, state.rom.view(), start, end)) {
    AppendLog(state, u"Процесс вынимания текста прерван пользователем");
    HideProgress(state);
    out.Save(state, outFile);
    return;
  }
  if (static_cast<std::int32_t>(scan.text.size()) >= scan.threshold)
    WriteExtractedRecord(state, out, scan.text, scan.runStart);
  bool saved = out.Save(state, outFile);
  SetProgress(state, state.ctx.progress.maximum);
  if (saved) AppendLog(state, u"сохранили вынутый текст в файл:" + outFile);
  HideProgress(state);
}

void ScanExtract(ScriptState state, std::int32_t& start, std::int32_t& end) {
  if (!RequireRom(state) || !RequireTable(state)) return;
  std::u16string file =
      AskFileName(state, true, u"Save text to file", u"Вынутый текст (*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (Trim(file).empty()) return;
  ScanExtract(state, start, end, file);
}

}  // namespace vorkat
