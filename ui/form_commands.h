// Menu commands that open a window. Each subsystem with windows lists its
// own; the main window looks a menu item up here before the core commands.
#pragma once

#include <span>
#include <string_view>

class QWidget;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

struct FormCommand {
  std::string_view objectName;  // the menu item
  // Shows the window (creating it on first use as a child of mainWindow and
  // keeping it hidden between uses; find it again with findChild by its
  // object name).
  void (*open)(QWidget* mainWindow, AppState& state);
};

std::span<const FormCommand> ExtractWindows();  // extract/extract_windows_form.cpp
std::span<const FormCommand> InsertWindows();   // insert/insert_windows_form.cpp
std::span<const FormCommand> CodecWindows();    // ui/codec_windows.cpp
std::span<const FormCommand> ViewerWindows();   // ui/viewer_windows.cpp
std::span<const FormCommand> EditorWindows();   // ui/editor_windows.cpp
std::span<const FormCommand> SearchWindows();   // ui/search_windows.cpp
std::span<const FormCommand> FontToolsWindows();  // ui/fonttools_windows.cpp

const FormCommand* FindFormCommand(std::string_view objectName);

}  // namespace vorkat::ui
