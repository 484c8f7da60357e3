#include "ui/codec/table_list_model.h"

#include <algorithm>

#include "codec/table_edit.h"
#include "codec/translation_table.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

int TableListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(codes_.size());
}

QVariant TableListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) return {};
  const std::int32_t code = CodeAt(index.row());
  // The table may have lost the entry since the last refresh (a load from the main window).
  if (static_cast<std::size_t>(code) >= table_.entries.size()) return {};
  return ToQ(TableListItemText(table_, code));
}

void TableListModel::Refresh() {
  beginResetModel();
  codes_ = TableListCodes(table_);
  endResetModel();
}

int TableListModel::RowOf(std::int32_t code) const {
  auto it = std::lower_bound(codes_.begin(), codes_.end(), code);
  return it != codes_.end() && *it == code ? static_cast<int>(it - codes_.begin()) : -1;
}

}  // namespace vorkat::ui
