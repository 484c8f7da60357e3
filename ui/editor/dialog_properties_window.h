// The window "Свойства диалога": the insertion attributes of one dialog,
// edited by hand and written back with "Update".
#pragma once

#include <QDialog>

#include <cstdint>

#include "editor/dialog_props.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class DlgPropsForm : public QDialog {
  Q_OBJECT

 public:
  DlgPropsForm(AppState& state, QWidget* parent);

  // SelectedDialogNum, then ShowDlg.
  void SetDialog(std::int32_t index);
  // ShowDlg: the fields from the selected dialog.
  void ShowDlg();
  // Before the fields are replaced: pending edits ("Update" enabled) are
  // offered for saving with the close question.
  void SettlePending();
  std::int32_t SelectedDialogNum() const { return selected_; }

 Q_SIGNALS:
  void closed();

 public Q_SLOTS:
  // Closing (also with Escape): the close question, then `closed`.
  void reject() override;

 private:
  DialogPropsFields Fields() const;
  void UpdateCheck();
  void UpdateDlgProps();
  void Browse();
  void LenReCalc();
  void TickChanged(bool ticked);
  void PointerChangeTyped();

  AppState& state_;
  std::int32_t selected_ = -1;
  bool loading_ = false;
  QLineEdit* id_ = nullptr;
  QLineEdit* oldSize_ = nullptr;
  QLineEdit* newSize_ = nullptr;
  QLineEdit* extractedFrom_ = nullptr;
  QLineEdit* newAddr_ = nullptr;
  QLineEdit* oldPtr_ = nullptr;
  QLineEdit* newPtr_ = nullptr;
  QLineEdit* doPtrChange_ = nullptr;
  QCheckBox* doPtrTick_ = nullptr;
  QLineEdit* listFile_ = nullptr;
  QLineEdit* zones_ = nullptr;
  QLineEdit* comments_ = nullptr;
  QPushButton* update_ = nullptr;
};

}  // namespace vorkat::ui
