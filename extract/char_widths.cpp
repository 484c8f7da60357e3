#include "extract/char_widths.h"
#include "script/script_state.h"

#include "core/runtime.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/text.h"
#include "extract/extract_common.h"

namespace vorkat {

void ExtractCharWidths(ScriptState state, std::int32_t first, std::int32_t end, std::int32_t skip,
                       const std::u16string& outFile) {
  if (!RequireRom(state)) return;
  if (Trim(outFile).empty()) return;
  // A negative skip would step backwards and never reach the end.
  if (skip < 0) {
    AppendLog(state, u"Сколько байт пропускать: нужно число не меньше 0, а не " + DecText(skip), kColourDarkRed);
    return;
  }
  AppendLog(state, u"Начали процесс вынимания ширины букв из ROM " + NowText());
  LongOperation op(state);

  const std::int64_t romSize = state.rom.size();
  std::int64_t from = first < 0 ? 1 : first;
  // An end of 0 is the ROM length; so is an end past it, so that no byte
  // beyond the ROM is read.
  std::int64_t to = end == 0 || end > romSize ? romSize : end;
  const std::int64_t step = static_cast<std::int64_t>(skip) + 1;

  std::u16string lines;
  std::uint32_t code = 0;
  for (std::int64_t x = from; x <= to - 2; x += step) {
    // A range typed by mistake over the whole ROM logs a line per byte: the
    // stop button ends it, keeping the lines so far.
    if (state.ctx.CancelRequested) {
      AppendLog(state, u"Процесс вынимания ширины букв прерван пользователем");
      break;
    }
    const std::uint8_t w = state.rom.bytes[static_cast<std::size_t>(x)];
    AppendLog(state, NumText(w));
    lines += NumText(w) + u"=" + HexText(code) + u"\r\n";
    ++code;
  }
  WriteTextOutput(state, outFile, lines, false);
}

void ExtractCharWidths(ScriptState state, std::int32_t first, std::int32_t end, std::int32_t skip) {
  if (!RequireRom(state)) return;
  std::u16string file = AskFileName(state, true, u"Save text to file",
                                    u"Вынутые данные о ширине букв(*.txt)|*.txt\r\nAll Files (*.*)|*.*");
  if (Trim(file).empty()) return;
  ExtractCharWidths(state, first, end, skip, file);
}

void RunCharWidthExtractor(ScriptState state) {
  static constexpr std::u16string_view kTitle = u"Вынуть ширину букв";
  std::u16string typed[3];
  const auto from = AskTypedNumber(state, u"откуда резать", kTitle, {}, &typed[0]);
  if (!from) return;
  const auto to = AskTypedNumber(state, u"ДОкуда резать", kTitle, {}, &typed[1]);
  if (!to) return;
  const auto skip = AskTypedNumber(state, u"Сколько байт пропускать", kTitle, {}, &typed[2]);
  if (!skip) return;
  AppendLog(state, typed[0] + u"," + typed[1] + u"," + typed[2]);
  ExtractCharWidths(state, *from, *to, *skip);
}

}  // namespace vorkat
