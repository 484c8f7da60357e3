// The range window "Вынимать текст из файла": start and end offsets of the
// scan extraction, kept in the settings between uses.
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

class QLineEdit;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class FromToAddrForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  FromToAddrForm(AppState& state, QWidget* parent);

  // Shows the stored range in the fields.
  void LoadFields() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // "Сколько байт": a count of 1 or more sets the end from the stored start.
  void ApplyBytesToDump();
  void WholeRom();
  void Extract();

  AppState& state_;
  QLineEdit* start_ = nullptr;
  QLineEdit* end_ = nullptr;
  QLineEdit* bytes_ = nullptr;
};

}  // namespace vorkat::ui
