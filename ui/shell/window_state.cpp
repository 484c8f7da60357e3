#include "ui/shell/window_state.h"

#include <QMainWindow>
#include <QSettings>

namespace vorkat::ui {

void RestoreWindowState(QMainWindow& window, const QString& path) {
  QSettings file(path, QSettings::IniFormat);
  window.restoreGeometry(file.value(QStringLiteral("MainForm/geometry")).toByteArray());
  window.restoreState(file.value(QStringLiteral("MainForm/state")).toByteArray());
}

void SaveWindowState(const QMainWindow& window, const QString& path) {
  QSettings file(path, QSettings::IniFormat);
  file.setValue(QStringLiteral("MainForm/geometry"), window.saveGeometry());
  file.setValue(QStringLiteral("MainForm/state"), window.saveState());
}

}  // namespace vorkat::ui
