// The window of Options ▸ "Формат указателей" ▸ OFFSET: width, base and byte
// order of offset pointers (value = text offset - base).
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class OffsetFormatForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  OffsetFormatForm(AppState& state, QWidget* parent);
  // Shows the program-wide offset format, or 2 bytes from 0 little-endian.
  void LoadFields() override;

 private:
  void Choose();

  AppState& state_;
  QComboBox* width_ = nullptr;
  QLineEdit* base_ = nullptr;
  QCheckBox* bigEndian_ = nullptr;
};

}  // namespace vorkat::ui
