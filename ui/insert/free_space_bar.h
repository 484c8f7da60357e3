// The free space map's bar: the free space painted as a horizontal bar
// (free, used by dialogs, ignored zones) with the dialogs that did not fit
// beneath it at the same scale; its tooltip names the block under the pointer.
#pragma once

#include <QWidget>

#include "insert/free_space_report.h"

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

}  // namespace vorkat::ui
