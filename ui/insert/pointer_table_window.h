// The Tools window "Таблица указателей": a declared table (start, count,
// stride) read in the current pointer format into a pointer report.
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

class QLineEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class PointerTableForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  PointerTableForm(AppState& state, QWidget* parent);
  // Shows the pointer format the table is read in.
  void LoadFields() override;

 private:
  void Browse();
  void Read();

  AppState& state_;
  QLineEdit* start_ = nullptr;
  QLineEdit* count_ = nullptr;
  QLineEdit* stride_ = nullptr;
  QLineEdit* report_ = nullptr;
  QLabel* format_ = nullptr;
};

}  // namespace vorkat::ui
