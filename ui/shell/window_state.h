// The window program's own state, kept beside the settings file and apart
// from it (vorkat-window.ini): the main window's place, size and bars, the
// recent files and the last file of each kind of file prompt.
#pragma once

#include <QString>

class QMainWindow;

namespace vorkat {
struct RecentFiles;
}

namespace vorkat::ui {

void RestoreWindowState(QMainWindow& window, const QString& path);
void SaveWindowState(const QMainWindow& window, const QString& path);
void LoadRecentFiles(RecentFiles& recent, const QString& path);
void SaveRecentFiles(const RecentFiles& recent, const QString& path);

}  // namespace vorkat::ui
