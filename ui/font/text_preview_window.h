// The preview window "X-Preview": the picture the renderer draws a dialog
// on (usually over a screenshot of the game's text box), with its
// background, size, brush and save, and the glyph store it draws from.
#pragma once

#include <QImage>
#include <QWidget>

#include <string_view>

#include "ui/font/font_pictures.h"

class QMenuBar;
class QScrollArea;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class PreviewPicture;

class XViewForm : public QWidget {
  Q_OBJECT

 public:
  XViewForm(AppState& state, QWidget* parent);

  // The glyph load: builds the glyph store from the loaded FDT with the
  // progress bar, its log lines and messages; sets state.glyphsLoaded.
  bool LoadFntPics();
  // Prints a text: the checks, the layout of the core and the drawing;
  // scroll and more codes pause with a message box. Draws nothing (and moves
  // no pen) while the window is hidden.
  void PrintText(std::u16string_view text);

  // The window's commands.
  void LoadBackground();
  void ClearPicture();
  void ChooseBackgroundColour();
  void AskPictureSize();
  void SavePicture();
  void ShowHelp();

  // Paints the brush (white) with its top-left corner at (x, y).
  void PaintBrush(int x, int y);
  // The double click: offers (x, y) as the default print position.
  void PickPrintPosition(int x, int y);

  // The picture as shown: background and everything drawn since the last clear.
  const QImage& Picture() const { return picture_; }
  // The whole factor the picture is shown at (1 .. 4).
  int Zoom() const { return zoom_; }
  void SetZoom(int factor);
  // Sets the background colour without the colour chooser (the chooser's result).
  void SetBackgroundColour(const QColor& colour);
  // Sets the picture's size (the answers of "Размер картинки"); it stops following its background.
  void SetPictureSize(const QSize& size);

 Q_SIGNALS:
  // The window was hidden or closed: the editor's "Окно X-preview" loses its check mark.
  void Hidden();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  bool LoadBackgroundFile(const std::u16string& name);
  // Rebuilds the picture to clear to (size, colour, background) and clears.
  void Rebuild();
  void Shown();

  AppState& state_;
  PreviewPicture* view_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QImage background_;  // the loaded background picture; null for a plain colour
  QColor colour_ = Qt::white;
  QSize fixedSize_;  // set by "Размер картинки": the picture stops following its background
  QImage base_;      // what a clear brings back
  QImage picture_;
  QImage sheet_;  // the font sheet of the last glyph load
  GlyphStore store_;
  bool firstShow_ = true;
  int zoom_ = 1;
};

// The preview window of the main window, created hidden on first use.
XViewForm* PreviewWindow(QWidget* mainWindow, AppState& state);

}  // namespace vorkat::ui
