// The window "Относительный поиск": a word searched by the differences of
// its letters' codes, the hits in a list, and a table drafted from one.
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class RelativeHitsModel;

class RelativeSearchForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  RelativeSearchForm(AppState& state, QWidget* parent);
  void LoadFields() override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // The hits of a ROM opened before the one loaded now are dropped.
  void ForgetStaleHits();
  void Run();
  void MakeTable();
  void SelectionChanged();

  AppState& state_;
  RelativeHitsModel* model_ = nullptr;
  QLineEdit* word_ = nullptr;
  QComboBox* width_ = nullptr;
  QLineEdit* start_ = nullptr;
  QLineEdit* end_ = nullptr;
  QPushButton* run_ = nullptr;
  QPushButton* makeTable_ = nullptr;
  QTableView* hits_ = nullptr;
  QLabel* count_ = nullptr;
  std::size_t rangeRomSize_ = 0;  // the ROM size the range fields were set for
};

}  // namespace vorkat::ui
