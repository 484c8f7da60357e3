// The table editor's list: the loaded table's entries, one row per code
// that holds one, ascending.
#pragma once

#include <QAbstractListModel>

#include <cstdint>
#include <vector>

namespace vorkat {
struct TranslationTable;
}

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

}  // namespace vorkat::ui
