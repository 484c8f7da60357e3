// The window "Карта свободного места": the free space as a horizontal bar
// (free, used by dialogs, ignored zones) with the dialogs that did not fit
// beneath it at the same scale; hovering a block names its dialog.
#pragma once

#include <QDialog>
#include <QWidget>

#include "insert/free_space_report.h"
#include "ui/shell/form_kit.h"

class QLabel;

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

// The bar itself: paints a layout, answers tooltips from it.
class FreeSpaceBar : public QWidget {
  Q_OBJECT

 public:
  FreeSpaceBar(const AppState& state, QWidget* parent);
  void SetLayout(const FreeSpaceLayout* layout);
  QSize sizeHint() const override;

  // The text the tooltip shows for a point of the widget; empty off the bar.
  QString TipAt(QPoint point) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  double BytesPerPixel() const;
  QRect BarRect() const;
  QRect UnfitRect() const;

  const AppState& state_;
  const FreeSpaceLayout* layout_ = nullptr;
};

class FreeSpaceMapForm : public StateWindow<QDialog> {
  Q_OBJECT

 public:
  FreeSpaceMapForm(AppState& state, QWidget* parent);
  // Works the layout out anew (the last calculation, or a dry run).
  void LoadFields() override;
  const FreeSpaceLayout& layout() const { return layout_; }

 private:
  AppState& state_;
  FreeSpaceLayout layout_;
  FreeSpaceBar* bar_ = nullptr;
  QLabel* summary_ = nullptr;
};

}  // namespace vorkat::ui
