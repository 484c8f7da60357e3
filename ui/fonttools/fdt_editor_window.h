// The window "FDT editor": a font sheet cut into a grid, its cells dragged
// (or added with Enter) onto a list of glyphs, each glyph's tag edited in
// the entry dialog, and the FDT saved with one bitmap per glyph.
#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;

namespace vorkat {
struct AppState;
struct FdtEntry;
}  // namespace vorkat

namespace vorkat::ui {

// The glyph list: text in markup form, the picture as icon, the tag behind.
class GlyphListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  struct Glyph {
    std::u16string tag;
    QImage picture;
  };
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // An in-place edit changes the tag's text (markup converted).
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

  void Reset(std::vector<Glyph> glyphs);
  void Append(Glyph glyph);
  void Remove(int row);
  void SetTag(int row, std::u16string tag);
  const std::vector<Glyph>& Glyphs() const { return glyphs_; }

 Q_SIGNALS:
  // A sheet cell was dropped onto the list.
  void cellDropped(int cell);

 private:
  std::vector<Glyph> glyphs_;
};

class SheetView;

class FDTeditForm : public QDialog {
  Q_OBJECT

 public:
  FDTeditForm(AppState& state, QWidget* parent);
  // True once the editor saved an FDT (its lines are then the FDT's lines).
  bool Saved() const { return saved_; }

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
  void SaveFdt();
  void ResetForm();
  void ShowSheet();

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
  std::int32_t pRows_ = 0;
  std::int32_t pCols_ = 0;
  bool saved_ = false;
};

// The entry dialog of one glyph: width, the four control flags, other
// flags, picture file and text.
class FDTentForm : public QDialog {
  Q_OBJECT

 public:
  FDTentForm(const std::u16string& tag, QWidget* parent);
  std::u16string Tag() const;

 private:
  QLineEdit* width_ = nullptr;
  QCheckBox* newLine_ = nullptr;
  QCheckBox* cls_ = nullptr;
  QCheckBox* scroll_ = nullptr;
  QCheckBox* more_ = nullptr;
  QLineEdit* other_ = nullptr;
  QLineEdit* picture_ = nullptr;
  QLineEdit* text_ = nullptr;
};

}  // namespace vorkat::ui
