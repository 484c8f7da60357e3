// The window "Font Mapper": FDT mapping lines built by hand from a glyph
// file and a table entry; the list replaces the FDT's lines when it closes.
#pragma once

#include <QWidget>

#include <string>

#include "ui/shell/form_kit.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QStringListModel;
class QTreeView;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class TableListModel;

class FontMapperForm : public StateWindow<QWidget> {
  Q_OBJECT

 public:
  FontMapperForm(AppState& state, QWidget* parent);
  // Fills mapview from the FDT's lines and tableview from the table.
  void LoadFields() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FileChosen(const QModelIndex& index);
  void TableLineChosen(const QModelIndex& index);
  void Construct();
  void StepWidth(int step);
  void AddLine();
  void DeleteLine();

  AppState& state_;
  QFileSystemModel* files_ = nullptr;
  QTreeView* fileView_ = nullptr;
  QComboBox* pattern_ = nullptr;
  QLabel* picPreview_ = nullptr;
  TableListModel* tableModel_ = nullptr;
  QListView* tableView_ = nullptr;
  QStringListModel* mapModel_ = nullptr;
  QListView* mapView_ = nullptr;
  QLineEdit* charCode_ = nullptr;
  QLineEdit* charText_ = nullptr;
  QLineEdit* charWidth_ = nullptr;
  QLineEdit* mapTextLine_ = nullptr;
  QCheckBox* autoConstruct_ = nullptr;
  std::u16string charFileName_;
};

}  // namespace vorkat::ui
