// The Qt host with every prompt answered from the scripted host's queues
// instead of a modal dialog (window tests only).
#pragma once

#include <functional>
#include <utility>

#include "tests/support/scripted_host.h"
#include "ui/shell/gui_host.h"

namespace vorkat::testing {

class ScriptedGuiHost : public ui::GuiHost {
 public:
  ScriptedHost answers;
  // Runs once at the next yield of an operation, e.g. to close the window.
  std::function<void()> atNextYield;

  std::u16string AskFileName(bool forSave, std::u16string_view title, std::u16string_view filters) override {
    return answers.AskFileName(forSave, title, filters);
  }
  std::vector<std::u16string> AskFileNames(std::u16string_view title, std::u16string_view filters) override {
    return answers.AskFileNames(title, filters);
  }
  MsgAnswer MessageBox(std::u16string_view text, MsgButtons b, MsgIcon i, std::u16string_view title) override {
    return answers.MessageBox(text, b, i, title);
  }
  std::optional<std::u16string> InputBox(std::u16string_view p, std::u16string_view t, std::u16string_view d) override {
    return answers.InputBox(p, t, d);
  }
  void ProcessEvents() override {
    ui::GuiHost::ProcessEvents();
    if (auto f = std::exchange(atNextYield, nullptr)) f();
  }
};

}  // namespace vorkat::testing
