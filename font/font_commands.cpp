#include "font/font_commands.h"

#include "codec/encoder.h"
#include "core/numbers.h"
#include "core/rom.h"
#include "core/runtime.h"
#include "core/text.h"
#include "extract/extract_common.h"
#include "font/text_wrapper.h"
#include "script/dialog_undo.h"

namespace vorkat {
namespace {

constexpr std::u16string_view kLfPrompt = u"Введи строку, которой будем размечать концы ИГРОВЫХ строк";
constexpr std::u16string_view kLfTitle = u"Input string for inGame LF's";
constexpr std::u16string_view kPagePrompt = u"Введи строку, которой будем размечать концы СТРАНИЦЫ";
constexpr std::u16string_view kPageTitle = u"Input string for inGame NewPage";
constexpr std::u16string_view kBorderPrompt =
    u"Введи правую границу (координату! в пикселях), по которой будем ставить переносы";
constexpr std::u16string_view kBorderTitle = u"Input right border (pixels) for textwrapper";
constexpr std::u16string_view kLinesPrompt = u"Введи, сколько строк на станице (игровой)";
constexpr std::u16string_view kLinesTitle = u"Input Lines on Page (inGame)";

// Takes over what a parse reported: the log, the preview values it read
// into the settings, and a glyph store that no longer matches.
bool TakeReport(FontState state, const FdtLoadReport& report) {
  AppendLogLines(state, report.log);
  if (report.read && !report.cancelled && !report.refused) {
    report.preview.ApplyTo(state.ctx.settings);
    state.glyphsLoaded = false;
  }
  return state.fdt.isLoaded;
}

// The text of the first record (in index order) whose flags hold `flag`.
std::optional<std::u16string> FirstRecordWithFlag(const FontDescriptionTable& fdt, std::u16string_view flag) {
  for (std::int32_t k = 0; k <= fdt.lastMappingIndex; ++k) {
    const FdtMapping& m = fdt.mappings[static_cast<std::size_t>(k)];
    if (m.flags.find(flag) != std::u16string::npos) return m.text;
  }
  return std::nullopt;
}

// Both give false, keeping the value, when the question was cancelled (or
// the number was refused).
bool AskText(FontState state, std::u16string& value, std::u16string_view prompt, std::u16string_view title,
             std::u16string_view defaultText) {
  auto answer = InputBox(state, prompt, title, defaultText);
  if (answer) value = std::move(*answer);
  return answer.has_value();
}

bool AskNumber(FontState state, std::int32_t& value, std::u16string_view prompt, std::u16string_view title,
               std::u16string_view defaultText) {
  const auto answer = AskTypedNumber(state, prompt, title, defaultText);
  if (answer) value = *answer;
  return answer.has_value();
}

bool RequireFdt(FontState state) {
  if (state.fdt.isLoaded) return true;
  AppendLog(state, kFdtNotLoadedMessage);
  return false;
}

// The dialogs of the loaded set.
std::span<DialogRecord> LoadedDialogs(FontState state) {
  return std::span<DialogRecord>(state.dialogs.records).first(state.dialogs.count());
}

// The headless commands lay out with the border right of the start; false
// with the border refusal logged otherwise.
bool RequireBorder(FontState state) {
  if (state.preview.DefaultMyX < state.preview.WrapRightLimitPix) return true;
  AppendLog(state, kWrapBorderLog);
  return false;
}

}  // namespace

void AppendLogLines(CoreState state, std::span<const LogLine> lines) {
  for (const LogLine& line : lines) AppendLog(state, line.text, line.colour);
}

bool LoadFontDescription(FontState state, std::u16string_view fileName) {
  const FdtLoadReport report = vorkat::LoadFontDescription(state.fdt, fileName, [&] {
    return AskFileName(state, false, kFdtOpenTitle, kFdtOpenFilters);
  });
  return TakeReport(state, report);
}

bool LoadFontDescriptionFile(FontState state, std::u16string_view fileName) {
  return TakeReport(state, vorkat::LoadFontDescriptionFile(state.fdt, fileName));
}

void ReparseFontDescription(FontState state) { TakeReport(state, vorkat::ReparseFontDescription(state.fdt)); }

void SaveFontDescription(FontState state) {
  const std::u16string name = AskFileName(state, true, kFdtSaveTitle, kFdtSaveFilters);
  if (name.empty()) return;
  const LogLine line =
      vorkat::SaveFontDescription(state.fdt, name, IsYes(state.ctx.settings.WriteTextInUnicode), state.ctx.writeFaults);
  AppendLog(state, line.text, line.colour);
}

std::optional<PreviewLayout> PrintLayout(FontState state, std::u16string_view text, bool previewVisible) {
  if (!state.fdt.isLoaded) {
    MsgBox(state, kFdtNotLoadedMessage);
    return std::nullopt;
  }
  if (!state.glyphsLoaded) {
    MsgBox(state, kGlyphsNotLoadedMessage, MsgButtons::Ok, MsgIcon::Error);
    return std::nullopt;
  }
  state.ctx.settings.VivorurePrnXPrnY = PrintPositionText(state.preview);
  return ParseText(state.fdt, state.preview, text, {previewVisible, false});
}

bool AskDefaultPrintPosition(FontState state, std::int32_t x, std::int32_t y) {
  const std::u16string text =
      u"Установить координаты печати текста\r\nDefaultX=" + NumText(x) + u"\r\nDefaultY=" + NumText(y);
  if (MsgBox(state, text, MsgButtons::YesNo, MsgIcon::Question, u"Set default print X/Y ?") != MsgAnswer::Yes)
    return false;
  state.preview.DefaultMyX = x;
  state.preview.DefaultMyY = y;
  state.ctx.settings.VivorurePrnXPrnY = PrintPositionText(state.preview);
  return true;
}

void AskGameLFchar(FontState state) {
  const auto record = FirstRecordWithFlag(state.fdt, u"NEWLINE");
  AskText(state, state.preview.gameLFchar, kLfPrompt, kLfTitle, record ? *record : state.preview.gameLFchar);
}

void AskGameScrollChar(FontState state) {
  const auto record = FirstRecordWithFlag(state.fdt, u"SCROLL");
  AskText(state, state.preview.gameScrollChar, kPagePrompt, kPageTitle,
          record ? *record : state.preview.gameScrollChar);
}

void AskWrapRightLimit(FontState state) {
  AskNumber(state, state.preview.WrapRightLimitPix, kBorderPrompt, kBorderTitle, u"230");
}

void AskLinesPerPage(FontState state) {
  AskNumber(state, state.preview.MkPageBrkEveryNLFs, kLinesPrompt, kLinesTitle, u"3");
}

namespace {

void AskPrintValue(FontState state, std::int32_t& value, std::u16string_view prompt, std::u16string_view title) {
  if (const auto answer = AskTypedNumber(state, prompt, title, DecText(value))) value = *answer;
}

}  // namespace

void AskPrintX(FontState state) {
  AskPrintValue(state, state.preview.DefaultMyX, u"Значение координаты X (по умолчанию)", u"Default print from X=");
  state.ctx.settings.VivorurePrnXPrnY = PrintPositionText(state.preview);
}

void AskPrintY(FontState state) {
  AskPrintValue(state, state.preview.DefaultMyY, u"Значение координаты Y (по умолчанию)", u"Default print from Y=");
  state.ctx.settings.VivorurePrnXPrnY = PrintPositionText(state.preview);
}

void AskInterLetterStep(FontState state) {
  AskPrintValue(state, state.preview.InterLetterStep, u"Введите расстояние между буквами в пикселах",
                u"Input InterLetterStep");
}

void AskIgnoreHexN(FontState state) {
  AskPrintValue(state, state.preview.IgnoreHexN,
                u"Сколько символов после '<$hex>' дополнительно игнорировать при 'печати'",
                u"Ignore +N chars after '<$hex>'=");
}

namespace {

// True when the loaded table encodes the string the wrapper is about to
// write (or no table is loaded to say); else a dark-red refusal naming it.
bool TableTakesBreak(FontState state, std::u16string_view what, std::u16string_view written) {
  if (!state.table.isLoaded || TableEncodes(state.ctx, state.table, state.codecOptions, written)) return true;
  AppendLog(state,
            u"Таблица не кодирует строку " + std::u16string(what) + u" '" + TextToMarkupCopy(written) +
                u"': при вставке она пропала бы, и слова в игре слились бы; расстановка отменена, тексты не изменены",
            kColourDarkRed);
  return false;
}

constexpr std::u16string_view kLineBreakWord = u"переноса строки";
constexpr std::u16string_view kNewPageWord = u"новой страницы";

// The wrapper writes the first character of the line-break string.
std::u16string_view WrittenLineBreak(const PreviewSettings& ps) {
  return std::u16string_view(ps.gameLFchar).substr(0, 1);
}

}  // namespace

std::optional<std::u16string> SetScriptLfs(FontState state, std::u16string_view text) {
  PreviewSettings& ps = state.preview;
  if (!state.table.isLoaded) {
    MsgBox(state, u"Таблица еще не загружена", MsgButtons::Ok, MsgIcon::Error);
    AppendLog(state, u"Таблица еще не загружена");
    return std::nullopt;
  }
  if (!state.fdt.isLoaded) {
    MsgBox(state, kFdtNotLoadedMessage);
    return std::nullopt;
  }
  if (ps.gameLFchar.empty()) AskText(state, ps.gameLFchar, kLfPrompt, kLfTitle, u"\\");
  if (!ps.gameLFchar.empty() && ps.WrapRightLimitPix == 0) AskWrapRightLimit(state);
  switch (CheckWrapValues(state.fdt, ps)) {
    case WrapRefusal::None: break;
    case WrapRefusal::FdtNotLoaded: return std::nullopt;  // refused above
    case WrapRefusal::EmptyLfChar: AppendLog(state, kWrapEmptyLfLog); return std::nullopt;
    case WrapRefusal::BorderNotRightOfStart:
      MsgBox(state, kWrapBorderMessage);
      AppendLog(state, kWrapBorderLog);
      return std::nullopt;
  }
  if (!TableTakesBreak(state, kLineBreakWord, WrittenLineBreak(ps))) return std::nullopt;
  WrapResult result = ParseTextForWrapper(state.fdt, ps, text);
  for (const WrapOverflow& overflow : result.overflows) {
    const LogLine line = OverflowLogLine(overflow);
    AppendLog(state, line.text, line.colour);
  }
  return std::move(result.text);
}

std::optional<std::u16string> SetPages(FontState state, std::u16string_view text) {
  PreviewSettings& ps = state.preview;
  if (ps.gameLFchar.empty()) AskText(state, ps.gameLFchar, kLfPrompt, kLfTitle, u"\\");
  if (ps.gameLFchar.empty()) {
    AppendLog(state, kPagesEmptyLfLog);
    return std::nullopt;
  }
  if (ps.gameScrollChar.empty()) AskText(state, ps.gameScrollChar, kPagePrompt, kPageTitle, u"");
  if (ps.gameScrollChar.empty()) {
    AppendLog(state, kPagesEmptyScrollLog);
    return std::nullopt;
  }
  if (!TableTakesBreak(state, kNewPageWord, ps.gameScrollChar)) return std::nullopt;
  if (ps.MkPageBrkEveryNLFs == 0) AskLinesPerPage(state);
  return MarkPages(text, ps.gameLFchar, ps.gameScrollChar, ps.MkPageBrkEveryNLFs);
}

bool WrapAllDialogs(FontState state) {
  if (!RequireDialogs(state) || !RequireFdt(state)) return false;
  const PreviewSettings& ps = state.preview;
  if (ps.gameLFchar.empty()) {
    AppendLog(state, kWrapEmptyLfLog);
    return false;
  }
  if (!RequireBorder(state)) return false;
  if (ps.MkPageBrkEveryNLFs > 0 && ps.gameScrollChar.empty()) {
    AppendLog(state, kPagesEmptyScrollLog);
    return false;
  }
  if (!TableTakesBreak(state, kLineBreakWord, WrittenLineBreak(ps)) ||
      (ps.MkPageBrkEveryNLFs > 0 && !TableTakesBreak(state, kNewPageWord, ps.gameScrollChar)))
    return false;
  DialogUndoStep undo = BeginDialogUndo(state.dialogs, u"расстановка переносов во всех диалогах");
  const std::vector<DialogRecord> before = state.dialogs.records;
  const WrapDialogsResult result = WrapDialogTexts(LoadedDialogs(state), state.fdt, ps);
  KeepDifferencesForUndo(undo, before, state.dialogs);
  CommitDialogUndo(state.dialogs, std::move(undo));
  AppendLogLines(state, result.log);
  if (result.changed > 0) state.dialogs.changed = true;
  AppendLog(state, u"Расставили переносы, изменено диалогов:" + NumText(result.changed));
  return true;
}

bool AskAndWrapAllDialogs(FontState state) {
  if (!RequireDialogs(state) || !RequireFdt(state)) return false;
  // The answers go into a copy: a cancelled question leaves every value as it was.
  PreviewSettings asked = state.preview;
  // A string not set yet starts as the FDT's record with that flag.
  const auto current = [&](const std::u16string& value, std::u16string_view flag, std::u16string_view fallback) {
    if (!value.empty()) return value;
    return FirstRecordWithFlag(state.fdt, flag).value_or(std::u16string(fallback));
  };
  const std::u16string border = asked.WrapRightLimitPix > 0 ? DecText(asked.WrapRightLimitPix) : u"230";
  if (!AskNumber(state, asked.WrapRightLimitPix, kBorderPrompt, kBorderTitle, border) ||
      !AskText(state, asked.gameLFchar, kLfPrompt, kLfTitle, current(asked.gameLFchar, u"NEWLINE", u"\\")) ||
      !AskNumber(state, asked.MkPageBrkEveryNLFs, kLinesPrompt, kLinesTitle, DecText(asked.MkPageBrkEveryNLFs)))
    return false;
  if (asked.MkPageBrkEveryNLFs > 0 &&
      !AskText(state, asked.gameScrollChar, kPagePrompt, kPageTitle, current(asked.gameScrollChar, u"SCROLL", u"")))
    return false;
  state.preview = std::move(asked);
  return WrapAllDialogs(state);
}

void CheckAllDialogsWrap(FontState state, const std::u16string& reportFile) {
  if (!RequireDialogs(state) || !RequireFdt(state) || !RequireBorder(state)) return;
  const std::vector<OverBorderLine> lines = CheckWrap(LoadedDialogs(state), state.fdt, state.preview);
  std::u16string report;
  for (const OverBorderLine& line : lines) {
    report += OverBorderReportLine(line);
    report += kCrLf;
  }
  if (!WriteTextOutput(state, reportFile, report, IsYes(state.ctx.settings.WriteTextInUnicode))) return;
  AppendLog(state,
            u"Строк за правой границей:" + NumText(static_cast<long long>(lines.size())) + u", список в файле " +
                reportFile,
            lines.empty() ? kColourGreen : kColourDarkRed);
}

}  // namespace vorkat
