// The editor's dialog list: one row per loaded dialog (0..lastIndex), its
// text with the CR LF pairs removed, made when a row is drawn.
#pragma once

#include <QAbstractListModel>

#include "script/script_state.h"

namespace vorkat {}

namespace vorkat::ui {

class DialogListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  DialogListModel(ScriptState state, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // The whole set may have changed (load, mass operations).
  void Refill();
  // One dialog's text changed.
  void DialogChanged(int row);

 private:
  ScriptState state_;
  int rows_ = 0;
};

}  // namespace vorkat::ui
