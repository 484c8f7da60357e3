// The window "Table Editor": the loaded table's entries in a list, one
// entry edited at a time, the table type and comment, and the fill of codes
// 20h-FFh from Windows-1251.
#pragma once

#include <QAbstractListModel>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "ui/shell/form_kit.h"

class QComboBox;
class QListView;
class QPlainTextEdit;

namespace vorkat {
struct AppState;
struct TranslationTable;
}  // namespace vorkat

namespace vorkat::ui {

// The entries of a table, one row per code that holds one, ascending.
class TableListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit TableListModel(const TranslationTable& table, QObject* parent = nullptr)
      : QAbstractListModel(parent), table_(table) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // Reads the codes again from the table.
  void Refresh();
  std::int32_t CodeAt(int row) const { return codes_[static_cast<std::size_t>(row)]; }
  int RowOf(std::int32_t code) const;

 private:
  const TranslationTable& table_;
  std::vector<std::int32_t> codes_;
};

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
