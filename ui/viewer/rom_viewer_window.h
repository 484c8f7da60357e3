// The ROM viewer window "VorkatFile Viewer": a hexadecimal pane and a text
// pane painted from the viewer's page model, the jump list, the block
// operations and the highlight rules. Keys go to the panes.
#pragma once

#include <QWidget>

#include <optional>
#include <utility>

#include "viewer/viewer_model.h"

class QAction;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QScrollBar;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class ViewerPane;

class ROMView : public QWidget {
  Q_OBJECT

 public:
  ROMView(AppState& state, QWidget* parent);

  ViewerModel& model() { return model_; }
  const ViewerPage& page() const { return page_; }

  // Form_Load: position, block, table flag and highlight rules to their start.
  void FormLoad();
  // Rebuilds the page from the ROM and repaints the panes and status lines.
  void Redraw();
  // Shows the model's jump list in the list box (after a search added to it).
  void JumpListChanged();

  void HandleKey(QKeyEvent* event, bool hexPane);
  // A click on a cell moves the cursor there; with `extend` (Shift) and text
  // selection allowed it selects up to there, as dragging does.
  void ClickCell(bool hexPane, QPoint at, bool extend = false);
  void DragTo(bool hexPane, QPoint at);
  // Ctrl+C: the selection to the clipboard, as hex digits from the hex pane
  // or as text from the text pane.
  void CopySelection(bool hexPane);
  void Wheel(int steps);
  void Relayout();

  // Pixel metrics of the panes' fixed-pitch font.
  int charWidth() const { return charWidth_; }
  int lineHeight() const { return lineHeight_; }
  int ascent() const { return ascent_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildMenus();
  // The (row, column) of the page's cell at a point of a pane.
  std::optional<std::pair<int, int>> CellAt(bool hexPane, QPoint at) const;
  void RunBlockCommand(void (*operation)(CodecState, ViewerModel&));
  void LoadJumpListFile();
  void AskJumpTo();
  void OpenDirectText();
  void OpenSearch();
  void EditHighlights();
  void ShowHighlightRules();
  void DiffToggled(bool on);
  void OriginalToggled(bool on);
  void ToggleTable();

  AppState& state_;
  ViewerModel model_;
  ViewerPage page_;
  ViewerPane* offsetPane_ = nullptr;
  ViewerPane* hexPane_ = nullptr;
  ViewerPane* textPane_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  QComboBox* jumpList_ = nullptr;
  QComboBox* highlights_ = nullptr;
  QCheckBox* showOrig_ = nullptr;
  QCheckBox* showDiff_ = nullptr;
  QLabel* cursorStatus_ = nullptr;
  QLabel* blockStatus_ = nullptr;
  QAction* useTable_ = nullptr;
  QAction* textSelection_ = nullptr;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  int ascent_ = 12;
  bool syncingScroll_ = false;
};

}  // namespace vorkat::ui
