// The window program's own state, kept beside the settings file and apart
// from it (vorkat-window.ini): the main window's place, size and bars.
#pragma once

#include <QString>

class QMainWindow;

namespace vorkat::ui {

void RestoreWindowState(QMainWindow& window, const QString& path);
void SaveWindowState(const QMainWindow& window, const QString& path);

}  // namespace vorkat::ui
