// The hits of a relative search as a table: offset, implied codes, and the
// bytes around the hit read through the table the hit implies.
#pragma once

#include <QAbstractTableModel>

#include "core/core_state.h"

#include <cstdint>
#include <string>

#include "search/relative_search.h"

namespace vorkat {}

namespace vorkat::ui {

class RelativeHitsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  RelativeHitsModel(CoreState state, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Replaces the list with the hits of a search for `word`.
  void Show(std::u16string_view word, int width, std::vector<RelativeHit> hits);
  const RelativeHit& Hit(int row) const { return hits_[static_cast<std::size_t>(row)]; }
  const std::u16string& WordText() const { return wordText_; }
  int Width() const { return word_.width; }
  // Empties the list when another ROM was opened since the search; true when it did.
  bool ForgetIfRomChanged();

 private:
  CoreState state_;
  std::u16string wordText_;
  RelativeWord word_;
  std::vector<RelativeHit> hits_;
  std::uint64_t romGeneration_ = 0;  // of the ROM the hits were found in
};

}  // namespace vorkat::ui
