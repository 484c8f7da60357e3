// The window "Извлечение текста по адресам (справочники)": a list file of
// start offsets (or a start, step and count) and the output dialogs file.
#pragma once

#include <QWidget>

class QLineEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class AddrExtrForm : public QWidget {
  Q_OBJECT

 public:
  AddrExtrForm(AppState& state, QWidget* parent);

 private:
  void BrowseList();
  void BrowseOutput();
  void Continue();

  AppState& state_;
  QLineEdit* listFile_ = nullptr;
  QLineEdit* outFile_ = nullptr;
  QLineEdit* blockLength_ = nullptr;
  QLineEdit* start_ = nullptr;
  QLineEdit* step_ = nullptr;
  QLineEdit* count_ = nullptr;
};

}  // namespace vorkat::ui
