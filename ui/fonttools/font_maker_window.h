// The window "Font maker": a font sheet cut into one bitmap per cell, each
// glyph measured, and a starter FDT that maps the cells to character codes.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <string>

#include "ui/shell/form_kit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollBar;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class FontMakerForm : public QWidget {
  Q_OBJECT

 public:
  FontMakerForm(AppState& state, QWidget* parent);

 private:
  void LoadFontPicture();
  void CalcRowsCols();
  void SetRowsCols();
  void SetCharSize();
  void ShowCell(int cell);
  void DrawCell(int cell);
  void Measure();
  void ClearChar();
  bool SaveChar(const std::u16string& fileName);  // false, said in a box and the log, when not written
  void SaveCharAs();
  void CutAll();
  void ChooseWidthTable();
  void MarkUnsaved(bool unsaved);
  void ShowChar();
  std::int32_t Int(QLineEdit* field) const;
  // Every field holds a number as people type them; the first that does not
  // is refused aloud (FieldNumber) and false returned.
  bool NumbersTyped(std::initializer_list<QLineEdit*> fields);

  AppState& state_;
  QLineEdit* sizeWidth_ = nullptr;
  QLineEdit* sizeHeight_ = nullptr;
  QLineEdit* cellwidth_ = nullptr;
  QLineEdit* cellheight_ = nullptr;
  QLineEdit* rows_ = nullptr;
  QLineEdit* cols_ = nullptr;
  QLineEdit* charwidth_ = nullptr;
  QLineEdit* charheight_ = nullptr;
  QLineEdit* cellnumber_ = nullptr;
  QLineEdit* startFrom_ = nullptr;
  QLineEdit* outputDir_ = nullptr;
  QLineEdit* prefix_ = nullptr;
  QLineEdit* viewFileName_ = nullptr;
  QLineEdit* transpColor_ = nullptr;
  QCheckBox* charsInCols_ = nullptr;
  QComboBox* cellOrder_ = nullptr;
  QLineEdit* widthTable_ = nullptr;
  QScrollBar* cells_ = nullptr;
  QLabel* overview_ = nullptr;
  QLabel* charView_ = nullptr;
  QLabel* measuredWidth_ = nullptr;
  QLabel* measuredHeight_ = nullptr;
  QPushButton* save_ = nullptr;
  QImage sheet_;
  QImage charPicture_;
  std::u16string sheetFile_;
  std::int32_t sheetRows_ = 1;
  std::int32_t sheetCols_ = 1;
  std::int32_t lastWidth_ = 0;
};

}  // namespace vorkat::ui
