// The window "Table Editor": the loaded table's entries in a list, one
// entry edited at a time, the table type and comment, and the fill of codes
// 20h-FFh from Windows-1251.
#pragma once

#include <QWidget>

#include "ui/shell/form_kit.h"

class QComboBox;
class QListView;
class QPlainTextEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class TableListModel;

class TableEditForm : public StateWindow<QWidget> {
  Q_OBJECT

 public:
  TableEditForm(AppState& state, QWidget* parent);
  // Refills the list (keeping the selected row) and shows the type and comment.
  void LoadFields() override;

 private:
  void ShowTableInListbox();
  void ItemChosen(const QModelIndex& index);
  void AddEntry();
  void DeleteEntry();
  void FillFromWin1251();

  AppState& state_;
  TableListModel* model_ = nullptr;
  QListView* list_ = nullptr;
  QLineEdit* code_ = nullptr;
  QLineEdit* text_ = nullptr;
  QComboBox* type_ = nullptr;
  QPlainTextEdit* comment_ = nullptr;
  bool loading_ = false;
};

}  // namespace vorkat::ui
