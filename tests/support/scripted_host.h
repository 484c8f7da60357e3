// A host for tests: answers prompts from queues and records what it was shown.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/host.h"

namespace vorkat {

class ScriptedHost : public Host {
 public:
  struct Message {
    std::u16string text;
    std::u16string title;
    MsgButtons buttons;
    MsgIcon icon;
    MsgAnswer answer;
  };
  struct Prompt {
    std::u16string kind;  // "file", "files", "input"
    std::u16string title;
    std::u16string text;  // filters, or the input prompt
    bool forSave = false;
  };

  // Answers, taken from the front. An empty queue cancels (file, input) or
  // takes the negative answer (No, Cancel).
  std::deque<std::u16string> fileNames;
  std::deque<std::vector<std::u16string>> fileLists;
  std::deque<std::optional<std::u16string>> inputs;
  std::deque<MsgAnswer> answers;

  // What the program did.
  std::vector<Message> messages;
  std::vector<Prompt> prompts;
  std::vector<ProgressState> progressCalls;
  std::vector<std::u16string> logLines;
  std::vector<std::uint32_t> logColours;  // one per line of logLines
  int processEventsCalls = 0;
  int beeps = 0;
  int unanswered = 0;

  // Runs at each ProcessEvents, e.g. to press the stop button mid-operation.
  std::function<void()> onProcessEvents;

  void LogAppended(std::u16string_view line, std::uint32_t colour, bool first) override;
  void LogCleared() override;
  std::u16string AskFileName(bool forSave, std::u16string_view title, std::u16string_view filters) override;
  std::vector<std::u16string> AskFileNames(std::u16string_view title, std::u16string_view filters) override;
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view defaultText) override;
  MsgAnswer MessageBox(std::u16string_view text, MsgButtons buttons, MsgIcon icon, std::u16string_view title) override;
  void Progress(const ProgressState& progress) override;
  void ProcessEvents() override;
  void Beep() override;
};

}  // namespace vorkat
