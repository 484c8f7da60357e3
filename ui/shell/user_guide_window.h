// The window that shows the user guide (docs/USER_GUIDE.md) with its pictures.
#pragma once

#include <QString>

class QWidget;

namespace vorkat::ui {

// The guide's file: docs/ next to the program's folder, else the source tree's.
QString UserGuidePath();

// Shows the guide in a window of the main window (created on first use).
void ShowUserGuide(QWidget* mainWindow);

}  // namespace vorkat::ui
