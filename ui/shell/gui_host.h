// The Qt host: log and progress go to the main window, prompts are Qt dialogs.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>

#include <string>
#include <vector>

#include "core/host.h"

namespace vorkat {
struct AppState;
struct Context;
}  // namespace vorkat

class QLineEdit;
class QWidget;

namespace vorkat::ui {

class MainForm;

// A number typed into a field (decimal, "&h" or "0x" hexadecimal, as
// ParseTypedInt reads it); none for any other text.
std::optional<std::int32_t> TypedNumber(const QLineEdit* field);
// The same, refusing any other text aloud: a bright-red line and a message
// naming the field's label and the text. An empty field gives `empty` when
// one is given.
std::optional<std::int32_t> FieldNumber(Context& ctx, const QLineEdit* field,
                                        std::optional<std::int32_t> empty = std::nullopt);
// The caption of the label that names the field (its object name without one).
QString FieldCaption(const QLineEdit* field);
// A number as a field shows it: decimal, no leading blank.
QString Decimal(long long n);

// A colour of the core (0x00BBGGRR, as the log and the viewer give them).
QColor FromBgr(std::uint32_t bgr);

QString ToQ(std::u16string_view s);
std::u16string FromQ(const QString& s);
// "desc|patterns" lines (CR LF separated) as a Qt name filter list.
QString ToQtFilters(std::u16string_view filters);

class GuiHost : public Host {
 public:
  void Attach(MainForm* form, AppState* state) {
    form_ = form;
    state_ = state;
  }

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

 protected:
  // The window a question belongs to: the active window, else the main window.
  QWidget* DialogParent() const;
  // Where a file prompt with these filters opens (the main window's recent files).
  QString PromptStartOf(std::u16string_view filters, bool forSave) const;

  MainForm* form_ = nullptr;
  AppState* state_ = nullptr;
};

}  // namespace vorkat::ui
