#include "ui/editor/dialog_list_model.h"

#include <algorithm>

#include "editor/dialog_props.h"
#include "editor/editor_text.h"
#include "script/script_state.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

DialogListModel::DialogListModel(ScriptState state, QObject* parent) : QAbstractListModel(parent), state_(state) {}

int DialogListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant DialogListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
  // The set may have been replaced behind the view's back; read only what exists.
  if (!IsDialogIndex(state_, index.row())) return QString();
  return ToQ(DialogListLine(state_.dialogs.records[static_cast<std::size_t>(index.row())].dlgText));
}

void DialogListModel::Refill() {
  beginResetModel();
  const auto& d = state_.dialogs;
  rows_ = d.isLoaded ? static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(d.lastIndex + 1, 0)),
                                                              d.records.size()))
                     : 0;
  endResetModel();
}

void DialogListModel::DialogChanged(int row) {
  if (row < 0 || row >= rows_) return;
  const QModelIndex i = index(row);
  Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

}  // namespace vorkat::ui
