// The FDT editor's glyph list: one row per glyph, its tag shown in markup
// form with the glyph's picture as icon; sheet cells are dropped onto it.
#pragma once

#include <QAbstractListModel>
#include <QImage>

#include <string>
#include <vector>

namespace vorkat::ui {

// The drag format of a font sheet cell: the cell's number.
inline constexpr auto kSheetCellMime = "application/x-vorkat-sheet-cell";
// Glyphs and the sheet are shown at this many times their size.
inline constexpr int kGlyphZoom = 2;

// The glyph list: text in markup form, the picture as icon, the tag behind.
class GlyphListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  struct Glyph {
    std::u16string tag;
    QImage picture;
  };
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  // An in-place edit changes the tag's text (markup converted).
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

  void Reset(std::vector<Glyph> glyphs);
  void Append(Glyph glyph);
  void Remove(int row);
  void SetTag(int row, std::u16string tag);
  const std::vector<Glyph>& Glyphs() const { return glyphs_; }

 Q_SIGNALS:
  // A sheet cell was dropped onto the list.
  void cellDropped(int cell);

 private:
  std::vector<Glyph> glyphs_;
};

}  // namespace vorkat::ui
