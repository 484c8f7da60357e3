#include "ui/fonttools/glyph_list_model.h"

#include <QMimeData>

#include "fonttools/font_tags.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

int GlyphListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(glyphs_.size());
}

QVariant GlyphListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Glyph& g = glyphs_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole || role == Qt::EditRole) return ToQ(FdtItemText(g.tag));
  if (role == Qt::DecorationRole && !g.picture.isNull()) return g.picture.scaled(g.picture.size() * kGlyphZoom);
  if (role == Qt::ToolTipRole) return ToQ(g.tag);
  return {};
}

bool GlyphListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  SetTag(index.row(), FdtItemTextEdited(glyphs_[static_cast<std::size_t>(index.row())].tag, FromQ(value.toString())));
  return true;
}

Qt::ItemFlags GlyphListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
}

QStringList GlyphListModel::mimeTypes() const { return {QLatin1String(kSheetCellMime)}; }

bool GlyphListModel::dropMimeData(const QMimeData* data, Qt::DropAction, int, int, const QModelIndex&) {
  if (!data->hasFormat(QLatin1String(kSheetCellMime))) return false;
  bool ok = false;
  const int cell = data->data(QLatin1String(kSheetCellMime)).toInt(&ok);
  if (ok) Q_EMIT cellDropped(cell);
  return ok;
}

void GlyphListModel::Reset(std::vector<Glyph> glyphs) {
  beginResetModel();
  glyphs_ = std::move(glyphs);
  endResetModel();
}

void GlyphListModel::Append(Glyph glyph) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  glyphs_.push_back(std::move(glyph));
  endInsertRows();
}

void GlyphListModel::Remove(int row) {
  beginRemoveRows({}, row, row);
  glyphs_.erase(glyphs_.begin() + row);
  endRemoveRows();
}

void GlyphListModel::SetTag(int row, std::u16string tag) {
  glyphs_[static_cast<std::size_t>(row)].tag = std::move(tag);
  Q_EMIT dataChanged(index(row), index(row));
}

}  // namespace vorkat::ui
