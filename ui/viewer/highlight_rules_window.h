// The highlight rule editor "Highlight options": one rule per line,
// "hex digits,cells,colour".
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace vorkat {
struct AppState;
struct ViewerModel;
}  // namespace vorkat

namespace vorkat::ui {

class HighLColorEditForm : public QDialog {
  Q_OBJECT

 public:
  HighLColorEditForm(AppState& state, ViewerModel& view, QWidget* parent);

 private:
  AppState& state_;
  ViewerModel& view_;
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace vorkat::ui
