// The search window "Поиск последовательности байт в ROM": typed text turned
// into a byte pattern, searched with the masked search; hits go to the log
// and, when the viewer is shown, to its jump list.
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class ROMView;

class MaskedSrchForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  MaskedSrchForm(AppState& state, QWidget* parent);
  void LoadFields() override;

 private:
  // The viewer when it is shown, else nullptr.
  ROMView* VisibleViewer() const;
  void TextChanged();
  void Run();

  AppState& state_;
  QLineEdit* text_ = nullptr;
  QLineEdit* hex_ = nullptr;
  QCheckBox* useTable_ = nullptr;
  QCheckBox* clearJumps_ = nullptr;
  QPushButton* run_ = nullptr;
};

}  // namespace vorkat::ui
