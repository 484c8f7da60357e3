// Direct text entry "Положить текст по адресу": writes typed text (through the
// table or as Windows-1251 bytes) into the ROM at an offset.
#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLineEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class VorkatTextForm : public QDialog {
  Q_OBJECT

 public:
  VorkatTextForm(AppState& state, std::int32_t address, QWidget* parent);

 private:
  void Insert();

  AppState& state_;
  QLineEdit* address_ = nullptr;
  QLineEdit* text_ = nullptr;
  QCheckBox* useTable_ = nullptr;
};

}  // namespace vorkat::ui
