// The headless host of vorkat-cli: the log goes to standard output as it
// grows, prompts are answered as cancelled, progress goes to a terminal.
#pragma once

#include <cstdio>

#include "core/host.h"

namespace vorkat {

struct AppState;

class ConsoleHost : public Host {
 public:
  ConsoleHost(std::FILE* out, std::FILE* err, bool colourOut, bool progressErr);
  void Attach(AppState* state) { state_ = state; }

  void LogAppended(std::u16string_view line, std::uint32_t colour, bool first) override;
  void LogCleared() override {}
  std::u16string AskFileName(bool forSave, std::u16string_view title, std::u16string_view filters) override;
  std::vector<std::u16string> AskFileNames(std::u16string_view title, std::u16string_view filters) override;
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view defaultText) override;
  MsgAnswer MessageBox(std::u16string_view text, MsgButtons buttons, MsgIcon icon, std::u16string_view title) override;
  void Progress(const ProgressState& progress) override;
  void ProcessEvents() override {}
  void Beep() override {}

 private:
  void Unanswered(std::u16string_view title);

  std::FILE* out_;
  std::FILE* err_;
  bool colour_;
  bool progress_;
  AppState* state_ = nullptr;
};

// Runs a script headless, then the exit sequence. Returns the exit status:
// 0 when every command ran without an error line, 1 when any logged an error
// (bright red) or the script was stopped, 2 when it could not be read.
int RunHeadless(AppState& state, const std::u16string& script);

}  // namespace vorkat
