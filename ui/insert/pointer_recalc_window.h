// The window "Разложить диалоги по ROM'у": edits the insertion parameters,
// then places the dialogs in free space and inserts them.
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class RecalcPtrsForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  RecalcPtrsForm(AppState& state, QWidget* parent);

  // Fills the fields, check boxes and the free size from the state.
  void LoadFields() override;

 private:
  void FieldChanged(QLineEdit* field);
  void CreateLogsToggled(bool on);
  void RefreshFreeSize();
  void Suggest();
  void TillTheEnd();
  void Continue();
  void Cancel();

  AppState& state_;
  QLineEdit* start_ = nullptr;
  QLineEdit* end_ = nullptr;
  QLineEdit* align_ = nullptr;
  QLineEdit* gap_ = nullptr;
  QLabel* freeSize_ = nullptr;
  QLabel* logName_ = nullptr;
  QCheckBox* mod4_ = nullptr;
  QCheckBox* createLogs_ = nullptr;
  QCheckBox* inPlace_ = nullptr;
  QLineEdit* padByte_ = nullptr;
  bool loading_ = false;
};

}  // namespace vorkat::ui
