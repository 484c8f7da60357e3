#include "ui/shell/gui_host.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "app/recent_files.h"
#include "app/state.h"
#include "core/file_filters.h"
#include "core/numbers.h"
#include "core/runtime.h"
#include "ui/shell/main_window.h"

namespace vorkat::ui {

QColor FromBgr(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>(bgr >> 8 & 0xFF), static_cast<int>(bgr >> 16 & 0xFF));
}

QString ToQ(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

std::u16string FromQ(const QString& s) { return s.toStdU16String(); }

std::optional<std::int32_t> TypedNumber(const QLineEdit* field) { return ParseTypedInt(FromQ(field->text())); }

QString FieldCaption(const QLineEdit* field) {
  for (const QLabel* label : field->window()->findChildren<QLabel*>())
    if (label->buddy() == field) return label->text();
  return field->objectName();
}

std::optional<std::int32_t> FieldNumber(Context& ctx, const QLineEdit* field, std::optional<std::int32_t> empty) {
  if (empty && FromQ(field->text().trimmed()).empty()) return empty;
  if (const auto value = TypedNumber(field)) return value;
  const std::u16string refusal = NotANumberText(u"Поле \"" + FromQ(FieldCaption(field)) + u"\"", FromQ(field->text()));
  AppendLog(ctx, refusal, kColourBrightRed);
  MsgBox(ctx, refusal, MsgButtons::Ok, MsgIcon::Error);
  return std::nullopt;
}

QString Decimal(long long n) { return ToQ(DecText(n)); }

QString ToQtFilters(std::u16string_view filters) {
  QStringList out;
  for (const FileFilter& f : ParseFileFilters(filters)) out << ToQ(FilterCaption(f));
  return out.join(QStringLiteral(";;"));
}

QWidget* GuiHost::DialogParent() const {
  // The window the user is working in asked: its questions sit on it, centred and above it.
  if (QWidget* active = QApplication::activeWindow()) return active;
  return form_;
}

void GuiHost::LogAppended(std::u16string_view line, std::uint32_t colour, bool first) {
  if (form_) form_->QueueLogLine(line, colour, first);
}

void GuiHost::LogCleared() {
  if (form_) form_->ClearLogPane();
}

QString GuiHost::PromptStartOf(std::u16string_view filters, bool forSave) const {
  return form_ && state_ ? ToQ(PromptStart(form_->Recent(), *state_, std::u16string(filters), forSave)) : QString();
}

std::u16string GuiHost::AskFileName(bool forSave, std::u16string_view title, std::u16string_view filters) {
  // The prompt starts at the last file of its kind: its folder, and its name to save under.
  const QString start = PromptStartOf(filters, forSave);
  QString name = forSave ? QFileDialog::getSaveFileName(DialogParent(), ToQ(title), start, ToQtFilters(filters))
                         : QFileDialog::getOpenFileName(DialogParent(), ToQ(title), start, ToQtFilters(filters));
  if (!name.isEmpty() && form_) form_->FileChosen(filters, FromQ(name));
  return FromQ(name);
}

std::vector<std::u16string> GuiHost::AskFileNames(std::u16string_view title, std::u16string_view filters) {
  std::vector<std::u16string> out;
  for (const QString& n :
       QFileDialog::getOpenFileNames(DialogParent(), ToQ(title), PromptStartOf(filters, false), ToQtFilters(filters)))
    out.push_back(FromQ(n));
  if (!out.empty() && form_) form_->FileChosen(filters, out.front());
  return out;
}

std::optional<std::u16string> GuiHost::InputBox(std::u16string_view prompt, std::u16string_view title,
                                                std::u16string_view defaultText) {
  bool ok = false;
  QString text =
      QInputDialog::getText(DialogParent(), ToQ(title), ToQ(prompt), QLineEdit::Normal, ToQ(defaultText), &ok);
  if (!ok) return std::nullopt;
  return FromQ(text);
}

MsgAnswer GuiHost::MessageBox(std::u16string_view text, MsgButtons buttons, MsgIcon icon, std::u16string_view title) {
  QMessageBox box(DialogParent());
  box.setWindowTitle(ToQ(title));
  box.setText(ToQ(text));
  switch (icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::None: break;
  }
  switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
  }
}

void GuiHost::Progress(const ProgressState& progress) {
  if (form_) form_->ShowProgressState(progress);
}

void GuiHost::ProcessEvents() {
  if (form_) form_->EnterBusyYield();
  QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void GuiHost::Beep() { QApplication::beep(); }

}  // namespace vorkat::ui
