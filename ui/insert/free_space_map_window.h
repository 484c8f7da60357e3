// The window "Карта свободного места": the free space as a horizontal bar
// (free, used by dialogs, ignored zones) with the dialogs that did not fit
// beneath it at the same scale; hovering a block names its dialog.
#pragma once

#include <QDialog>

#include "insert/free_space_report.h"
#include "ui/shell/form_kit.h"

class QLabel;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class FreeSpaceBar;

class FreeSpaceMapForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  FreeSpaceMapForm(AppState& state, QWidget* parent);
  // Works the layout out anew (the last calculation, or a dry run).
  void LoadFields() override;
  const FreeSpaceLayout& layout() const { return layout_; }

 private:
  AppState& state_;
  FreeSpaceLayout layout_;
  FreeSpaceBar* bar_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* outside_ = nullptr;  // the dialogs placed outside the declared space, in red
};

}  // namespace vorkat::ui
