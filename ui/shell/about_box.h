// The box "About": the program's about text.
#pragma once

class QWidget;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

// Shows the about text in a modal box over the main window.
void ShowAbout(const AppState& state, QWidget* mainWindow);

}  // namespace vorkat::ui
