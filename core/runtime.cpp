#include "core/runtime.h"
#include "core/core_state.h"
#include "core/log.h"
#include "core/numbers.h"
#include "core/text.h"

namespace vorkat {

void FlipYesNo(std::u16string& flag) { flag = flag == u"YES" ? u"NO" : u"YES"; }

void ToggleExtendedLogs(Context& ctx) { FlipYesNo(ctx.settings.ExtendedLogs); }
void ToggleWriteTextInUnicode(Context& ctx) { FlipYesNo(ctx.settings.WriteTextInUnicode); }

void YieldPoint(Context& ctx) {
  auto now = std::chrono::steady_clock::now();
  if (now - ctx.lastYield < ctx.yieldInterval) return;
  ctx.lastYield = now;
  if (ctx.progress.visible) ctx.host.Progress(ctx.progress);
  ctx.host.ProcessEvents();
}

void ShowProgress(Context& ctx, std::int64_t minimum, std::int64_t maximum, std::int64_t value) {
  ctx.progress = ProgressState{minimum, maximum, value, true};
  ctx.host.Progress(ctx.progress);
}

void HideProgress(Context& ctx) {
  ctx.progress.value = ctx.progress.maximum;
  ctx.progress.visible = false;
  ctx.host.Progress(ctx.progress);
}

MsgAnswer MsgBox(Context& ctx, std::u16string_view text, MsgButtons buttons, MsgIcon icon, std::u16string_view title) {
  return ctx.host.MessageBox(text, buttons, icon, title);
}

std::optional<std::u16string> InputBox(Context& ctx, std::u16string_view prompt, std::u16string_view title,
                                       std::u16string_view defaultText) {
  return ctx.host.InputBox(prompt, title, defaultText);
}

std::optional<std::int32_t> AskTypedNumber(Context& ctx, std::u16string_view prompt, std::u16string_view title,
                                           std::u16string_view defaultText, std::u16string* typed) {
  const auto answer = InputBox(ctx, prompt, title, defaultText);
  if (!answer || TrimBlanks(*answer).empty()) return std::nullopt;
  if (typed) *typed = *answer;
  if (const auto value = ParseTypedInt(*answer)) return value;
  const std::u16string refusal = NotANumberText(u"\"" + std::u16string(prompt) + u"\"", *answer);
  AppendLog(ctx, refusal, kColourBrightRed);
  MsgBox(ctx, refusal, MsgButtons::Ok, MsgIcon::Error);
  return std::nullopt;
}

bool RequireRom(CoreState state) {
  if (state.rom.isLoaded) return true;
  AppendLog(state, u"ROM еще не загружен");
  return false;
}

void ReportOutOfMemory(Context& ctx) {
  if (ctx.progress.visible) HideProgress(ctx);
  AppendLog(ctx, u"Не хватило памяти: команда прервана, загруженные данные остались прежними", kColourBrightRed);
}

}  // namespace vorkat
