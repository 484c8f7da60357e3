// The entry dialog "FDT entry" of the FDT editor: one glyph's tag split
// into its fields and joined again.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;

namespace vorkat::ui {

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
