#include "ui/shell/window_state.h"

#include <QMainWindow>
#include <QSettings>
#include <QStringList>

#include "app/recent_files.h"
#include "ui/shell/gui_host.h"

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

namespace {

constexpr struct {
  RecentKind kind;
  const char* key;
} kRecentKeys[] = {{RecentKind::Rom, "Recent/rom"},
                   {RecentKind::Table, "Recent/table"},
                   {RecentKind::Dialogs, "Recent/dialogs"}};

}  // namespace

void LoadRecentFiles(RecentFiles& recent, const QString& path) {
  QSettings file(path, QSettings::IniFormat);
  for (const auto& k : kRecentKeys) {
    std::vector<std::u16string>& list = recent.List(k.kind);
    list.clear();
    for (const QString& name : file.value(QLatin1String(k.key)).toStringList())
      if (list.size() < RecentFiles::kKept) list.push_back(FromQ(name));
  }
  const int count = file.beginReadArray(QStringLiteral("LastChosen"));
  for (int i = 0; i < count; ++i) {
    file.setArrayIndex(i);
    recent.lastChosen[FromQ(file.value(QStringLiteral("filters")).toString())] =
        FromQ(file.value(QStringLiteral("file")).toString());
  }
  file.endArray();
}

void SaveRecentFiles(const RecentFiles& recent, const QString& path) {
  QSettings file(path, QSettings::IniFormat);
  for (const auto& k : kRecentKeys) {
    QStringList names;
    for (const std::u16string& name : recent.List(k.kind)) names << ToQ(name);
    file.setValue(QLatin1String(k.key), names);
  }
  file.beginWriteArray(QStringLiteral("LastChosen"), static_cast<int>(recent.lastChosen.size()));
  int i = 0;
  for (const auto& [filters, name] : recent.lastChosen) {
    file.setArrayIndex(i++);
    file.setValue(QStringLiteral("filters"), ToQ(filters));
    file.setValue(QStringLiteral("file"), ToQ(name));
  }
  file.endArray();
}

}  // namespace vorkat::ui
