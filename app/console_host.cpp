#include "app/console_host.h"

#include "batch/batch.h"
#include "app/app.h"
#include "app/state.h"

namespace vorkat {

ConsoleHost::ConsoleHost(std::FILE* out, std::FILE* err, bool colourOut, bool progressErr)
    : out_(out), err_(err), colour_(colourOut), progress_(progressErr) {}

void ConsoleHost::LogAppended(std::u16string_view line, std::uint32_t colour, bool) {
  // Written by length: a NUL inside the line must not end it.
  std::string text = ToUtf8(ReplaceAll(line, kCrLf, u"\n"));
  const bool coloured = colour_ && colour != 0;
  if (coloured)
    std::fputs(colour == kColourGreen ? "\x1b[32m" : colour == kColourDarkRed ? "\x1b[31m" : "\x1b[91m", out_);
  std::fwrite(text.data(), 1, text.size(), out_);
  std::fputs(coloured ? "\x1b[0m\n" : "\n", out_);
  std::fflush(out_);
}

void ConsoleHost::Unanswered(std::u16string_view title) {
  if (state_)
    AppendLog(*state_, u"Запрос \"" + std::u16string(title) + u"\" отменён: в консольном режиме отвечать некому");
}

std::u16string ConsoleHost::AskFileName(bool, std::u16string_view title, std::u16string_view) {
  Unanswered(title);
  return {};
}

std::vector<std::u16string> ConsoleHost::AskFileNames(std::u16string_view title, std::u16string_view) {
  Unanswered(title);
  return {};
}

std::optional<std::u16string> ConsoleHost::InputBox(std::u16string_view, std::u16string_view title,
                                                    std::u16string_view) {
  Unanswered(title);
  return std::nullopt;
}

MsgAnswer ConsoleHost::MessageBox(std::u16string_view text, MsgButtons buttons, MsgIcon, std::u16string_view title) {
  if (state_) AppendLog(*state_, std::u16string(title) + u": " + std::u16string(text));
  // Nobody answers here: a Yes/No question gets No, with or without a Cancel
  // (the run ends anyway, so the questions at its end must not keep it going).
  switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: Unanswered(title); return MsgAnswer::No;
    default: Unanswered(title); return MsgAnswer::Cancel;
  }
}

void ConsoleHost::Progress(const ProgressState& p) {
  if (!progress_) return;
  if (!p.visible) {
    std::fprintf(err_, "\r\x1b[K");
  } else {
    long long span = p.maximum - p.minimum;
    long long pct = span > 0 ? (p.value - p.minimum) * 100 / span : 0;
    std::fprintf(err_, "\r%3lld%%", pct);
  }
  std::fflush(err_);
}

int RunHeadless(AppState& state, const std::u16string& script) {
  state.BatchFileName = Trim(script);
  // The end of the run is unattended too: a settings file that cannot be
  // written is an error of the run.
  BatchScope unattended(state.ctx);
  const BatchResult result = RunBatch(state, state.BatchFileName);
  // Nobody can answer the exit question about the ROM here: say what is lost.
  if (state.rom.isLoaded && state.rom.modified) {
    AppendLog(state, u"Изменения в ROM'е не сохранены (в сценарии нет SAVEROM после них)", kColourDarkRed);
    state.rom.modified = false;
  }
  ExitProgram(state);
  if (!result.read) return 2;
  return result.stopped || state.ctx.errorLinesLogged > 0 ? 1 : 0;
}

}  // namespace vorkat
