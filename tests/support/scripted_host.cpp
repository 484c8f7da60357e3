#include "tests/support/scripted_host.h"

namespace vorkat {

namespace {
MsgAnswer NegativeAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::YesNo: return MsgAnswer::No;
    default: return MsgAnswer::Cancel;
  }
}
}  // namespace

void ScriptedHost::LogAppended(std::u16string_view line, std::uint32_t colour, bool) {
  logLines.emplace_back(line);
  logColours.push_back(colour);
}

void ScriptedHost::LogCleared() {
  logLines.clear();
  logColours.clear();
}

std::u16string ScriptedHost::AskFileName(bool forSave, std::u16string_view title, std::u16string_view filters) {
  prompts.push_back({u"file", std::u16string(title), std::u16string(filters), forSave});
  if (fileNames.empty()) {
    ++unanswered;
    return {};
  }
  std::u16string answer = fileNames.front();
  fileNames.pop_front();
  return answer;
}

std::vector<std::u16string> ScriptedHost::AskFileNames(std::u16string_view title, std::u16string_view filters) {
  prompts.push_back({u"files", std::u16string(title), std::u16string(filters), false});
  if (fileLists.empty()) {
    ++unanswered;
    return {};
  }
  auto answer = fileLists.front();
  fileLists.pop_front();
  return answer;
}

std::optional<std::u16string> ScriptedHost::InputBox(std::u16string_view prompt, std::u16string_view title,
                                                     std::u16string_view) {
  prompts.push_back({u"input", std::u16string(title), std::u16string(prompt), false});
  if (inputs.empty()) {
    ++unanswered;
    return std::nullopt;
  }
  auto answer = inputs.front();
  inputs.pop_front();
  return answer;
}

MsgAnswer ScriptedHost::MessageBox(std::u16string_view text, MsgButtons buttons, MsgIcon icon,
                                   std::u16string_view title) {
  MsgAnswer answer;
  if (answers.empty() || buttons == MsgButtons::Ok) {
    if (buttons != MsgButtons::Ok) ++unanswered;
    answer = NegativeAnswer(buttons);
  } else {
    answer = answers.front();
    answers.pop_front();
  }
  messages.push_back({std::u16string(text), std::u16string(title), buttons, icon, answer});
  return answer;
}

void ScriptedHost::Progress(const ProgressState& progress) { progressCalls.push_back(progress); }

void ScriptedHost::ProcessEvents() {
  ++processEventsCalls;
  if (onProcessEvents) onProcessEvents();
}

void ScriptedHost::Beep() { ++beeps; }

}  // namespace vorkat
