// The one door between the program's logic and whoever runs it: the Qt
// window, the console, or a test script. The core never talks to a user in
// any other way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorkat {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct ProgressState {
  std::int64_t minimum = 0;
  std::int64_t maximum = 100;
  std::int64_t value = 0;
  bool visible = false;
};

class Host {
 public:
  virtual ~Host() = default;

  // The log model already holds the line; the host shows it.
  virtual void LogAppended(std::u16string_view line, std::uint32_t colour, bool first) = 0;
  virtual void LogCleared() = 0;

  // Filters: one "description|patterns" pair per CR LF separated line.
  // Returns the chosen path, or an empty text when cancelled.
  virtual std::u16string AskFileName(bool forSave, std::u16string_view title, std::u16string_view filters) = 0;
  // Multi-selection open prompt; empty when cancelled.
  virtual std::vector<std::u16string> AskFileNames(std::u16string_view title, std::u16string_view filters) = 0;
  // Returns nullopt when cancelled.
  virtual std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                                 std::u16string_view defaultText) = 0;
  virtual MsgAnswer MessageBox(std::u16string_view text, MsgButtons buttons, MsgIcon icon,
                               std::u16string_view title) = 0;

  virtual void Progress(const ProgressState& progress) = 0;
  // Lets the window system deliver pending events (stop button, clock).
  virtual void ProcessEvents() = 0;
  virtual void Beep() = 0;
};

}  // namespace vorkat
