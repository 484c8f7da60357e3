// The search window "Поиск последовательности байт в ROM": typed text turned
// into a byte pattern, searched with the masked search; hits are listed in
// the window (a double click jumps there in the viewer), go to the log and,
// when the viewer is shown, to its jump list.
#pragma once

#include <QDialog>

#include "ui/shell/form_kit.h"

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;
class QStringListModel;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

class ROMView;

class MaskedSrchForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  MaskedSrchForm(AppState& state, QWidget* parent);
  void LoadFields() override;

 private:
  // The viewer when it is shown, else nullptr.
  ROMView* VisibleViewer() const;
  void TextChanged();
  void Run();
  // Lists the hits (decimal offsets) with the `length` bytes found at each.
  void ShowHits(const std::vector<std::u16string>& found, std::size_t length);
  void JumpToHit(const QModelIndex& index);

  AppState& state_;
  QLineEdit* text_ = nullptr;
  QLineEdit* hex_ = nullptr;
  QCheckBox* useTable_ = nullptr;
  QCheckBox* clearJumps_ = nullptr;
  QPushButton* run_ = nullptr;
  QStringListModel* hits_ = nullptr;
  QListView* hitList_ = nullptr;
  std::vector<std::int32_t> hitOffsets_;
};

}  // namespace vorkat::ui
