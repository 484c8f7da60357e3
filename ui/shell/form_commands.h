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

std::span<const FormCommand> ExtractWindows();    // ui/extract/extract_windows.cpp
std::span<const FormCommand> InsertWindows();     // ui/insert/insert_windows.cpp
std::span<const FormCommand> CodecWindows();      // ui/codec/codec_windows.cpp
std::span<const FormCommand> ViewerWindows();     // ui/viewer/viewer_windows.cpp
std::span<const FormCommand> EditorWindows();     // ui/editor/editor_windows.cpp
std::span<const FormCommand> SearchWindows();     // ui/search/search_windows.cpp
std::span<const FormCommand> FontToolsWindows();  // ui/fonttools/fonttools_windows.cpp
std::span<const FormCommand> TilesWindows();      // ui/tiles/tiles_windows.cpp

const FormCommand* FindFormCommand(std::string_view objectName);

}  // namespace vorkat::ui
