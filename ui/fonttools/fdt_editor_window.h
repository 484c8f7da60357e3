// The window "FDT editor": a font sheet cut into a grid, its cells dragged
// (or added with Enter) onto a list of glyphs, each glyph's tag edited in
// the entry dialog, and the FDT saved with one bitmap per glyph.
#pragma once

#include <QDialog>
#include <QImage>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class GlyphListModel;
class SheetView;

class FDTeditForm : public QDialog {
  Q_OBJECT

 public:
  FDTeditForm(AppState& state, QWidget* parent);
  // True once the editor saved an FDT (its lines are then the FDT's lines).
  bool Saved() const { return saved_; }
  // Glyphs, tags or font settings changed since the FDT was loaded or saved.
  bool Edited() const { return edited_; }
  // Close, Escape and the window's close: edits not saved are asked about first.
  void reject() override;
  // Refresh and Reset: edits not saved are asked about first, as on closing.
  void Refresh();
  void Reset();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadFromFdt();
  void LoadPicture();
  void SetGrid();
  void AddCell(int cell);
  void EditEntry(const QModelIndex& index);
  void AskTranspColor();
  void LoadUnknownPicture();
  bool SaveFdt();
  // The close question: true when the edits may go (none, saved, or No).
  bool EditsMayGo();
  void ResetForm();
  void ShowSheet();
  // The transparent colour and the unknown-character picture as the FDT in
  // memory has them; the editor changes its own copies until a save.
  void TakeHeaderFromFdt();

  AppState& state_;
  GlyphListModel* model_ = nullptr;
  QListView* list_ = nullptr;
  SheetView* sheetView_ = nullptr;
  QLabel* charPreview_ = nullptr;
  QLabel* unknownPreview_ = nullptr;
  QLineEdit* rows_ = nullptr;
  QLineEdit* cols_ = nullptr;
  QCheckBox* grid_ = nullptr;
  QImage sheet_;
  QImage unknownPicture_;
  std::int32_t transpColor_ = 0;
  std::u16string unknownName_;
  std::int32_t unknownWidth_ = 0;
  std::int32_t pRows_ = 0;
  std::int32_t pCols_ = 0;
  bool saved_ = false;
  bool edited_ = false;
};
}  // namespace vorkat::ui
