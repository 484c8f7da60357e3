// The main window: menu tree, log pane, progress bar, stop button and clock.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <string>
#include <vector>

#include "app/recent_files.h"
#include "core/host.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class MainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainForm(AppState& state, QWidget* parent = nullptr);

  // Log lines arrive here from the host and are shown in batches.
  void QueueLogLine(std::u16string_view line, std::uint32_t colour, bool first);
  void FlushLog();
  void ClearLogPane();
  void ShowProgressState(const ProgressState& progress);
  // Called at each yield of a long operation: refuses other commands until it ends.
  void EnterBusyYield();

  // Runs one menu command by object name, as a click would.
  void RunMenuCommand(const QString& objectName);
  void SyncCheckMarks();
  // After a command or an operation started elsewhere: shows the log and the
  // check marks, and closes the window when the user asked to while it ran.
  void AfterCommand();
  QAction* Action(const QString& objectName) const;

  // The recent files and the file prompts' last files, read from `path` and kept there.
  void UseRecentFiles(const QString& path);
  const RecentFiles& Recent() const { return recent_; }
  // A file chosen in a prompt: the next prompt with the same filters starts there.
  void FileChosen(std::u16string_view filters, const std::u16string& name);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildMenus();
  // The title (ROM name, "*" for unsaved changes) and the status bar.
  void UpdateStatus();
  void LeaveBusy();
  // Shows the lines logged before the window was made.
  void ShowEarlierLog();
  // File > Последние файлы, filled each time it opens.
  void FillRecentMenu();
  void SaveRecent();

  struct PendingLine {
    std::u16string text;
    std::uint32_t colour;
    bool first;
  };

  AppState& state_;
  QPlainTextEdit* log_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* stop_ = nullptr;
  QPushButton* clock_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* errors_ = nullptr;  // the count of bright-red lines of this run and the latest
  QTimer* timer1_ = nullptr;
  QTimer flushTimer_;
  QTimer busyTimer_;
  std::vector<PendingLine> pending_;
  std::vector<QWidget*> disabledWindows_;
  bool busyShown_ = false;
  bool exiting_ = false;
  bool closeAfterOperation_ = false;
  RecentFiles recent_;
  QString recentPath_;  // empty: kept for this run only
};

}  // namespace vorkat::ui
