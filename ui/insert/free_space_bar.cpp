#include "ui/insert/free_space_bar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "app/state.h"
#include "core/text.h"
#include "insert/address_forms.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {
namespace {

constexpr int kMargin = 8;
constexpr int kBarHeight = 40;
constexpr int kStripGap = 14;
constexpr int kStripHeight = 18;
constexpr int kLegendHeight = 22;

const QColor kFree(0xB8, 0xE6, 0xB8);
const QColor kUsed(0x4A, 0x78, 0xC8);
const QColor kIgnored(0xA0, 0xA0, 0xA0);
const QColor kUnfit(0xD0, 0x40, 0x40);

QString BlockTip(const AppState& state, const PlacedBlock& b) {
  const std::u16string id = static_cast<std::size_t>(b.dialog) < state.dialogs.records.size()
                                ? state.dialogs.records[static_cast<std::size_t>(b.dialog)].dlgID
                                : std::u16string();
  std::u16string tip = u"Dialog ID=" + id + u", " + DecText(b.size) + u" байт";
  if (b.start >= 0)
    tip += u", адрес " + LongToAddrText(b.start);
  else
    tip += u", не поместился";
  return ToQ(tip);
}

}  // namespace

FreeSpaceBar::FreeSpaceBar(const AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
  setObjectName(QStringLiteral("barFreeSpace"));
  setMouseTracking(true);
  setMinimumSize(300, sizeHint().height());
}

void FreeSpaceBar::SetLayout(const FreeSpaceLayout* layout) {
  layout_ = layout;
  update();
}

QSize FreeSpaceBar::sizeHint() const {
  return {760, kMargin + kBarHeight + kStripGap + kStripHeight + kMargin + kLegendHeight};
}

QRect FreeSpaceBar::BarRect() const { return {kMargin, kMargin, width() - 2 * kMargin, kBarHeight}; }

QRect FreeSpaceBar::UnfitRect() const {
  return {kMargin, kMargin + kBarHeight + kStripGap, width() - 2 * kMargin, kStripHeight};
}

double FreeSpaceBar::BytesPerPixel() const {
  if (!layout_) return 1;
  const double span = std::max<double>(1, static_cast<double>(layout_->spaceEnd) - layout_->spaceStart);
  return span / std::max(1, BarRect().width());
}

void FreeSpaceBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect bar = BarRect();
  p.fillRect(bar, kFree);
  if (!layout_ || layout_->spaceEnd <= layout_->spaceStart) {
    p.drawRect(bar.adjusted(0, 0, -1, -1));
    return;
  }
  const double bpp = BytesPerPixel();
  // Each block is at least one pixel wide, so a short dialog stays visible.
  auto span = [&](std::int64_t start, std::int64_t length, const QRect& row, int x0, const QColor& colour) {
    const int x = x0 + static_cast<int>(std::floor(static_cast<double>(start) / bpp));
    const int w = std::max(1, static_cast<int>(std::ceil(static_cast<double>(length) / bpp)));
    if (x > row.right()) return;
    p.fillRect(QRect(x, row.top(), std::min(w, row.right() - x + 1), row.height()), colour);
  };
  for (const RomZone& z : layout_->ignored)
    span(z.start - layout_->spaceStart, std::int64_t{z.end} - z.start + 1, bar, bar.left(), kIgnored);
  for (const PlacedBlock& b : layout_->placed) span(b.start - layout_->spaceStart, b.size, bar, bar.left(), kUsed);
  p.setPen(Qt::black);
  p.drawRect(bar.adjusted(0, 0, -1, -1));

  const QRect strip = UnfitRect();
  std::int64_t at = 0;
  for (const PlacedBlock& b : layout_->unfit) {
    span(at, b.size, strip, strip.left(), kUnfit);
    at += b.size;
  }

  // The legend.
  int x = kMargin;
  const int y = strip.bottom() + kMargin;
  const std::pair<QColor, QString> legend[] = {{kFree, QStringLiteral("свободно")},
                                               {kUsed, QStringLiteral("занято диалогами")},
                                               {kIgnored, QStringLiteral("игнорируемые зоны")},
                                               {kUnfit, QStringLiteral("не поместились (в том же масштабе)")}};
  for (const auto& [colour, caption] : legend) {
    p.fillRect(QRect(x, y + 4, 12, 12), colour);
    p.drawRect(QRect(x, y + 4, 12, 12));
    x += 16;
    p.drawText(QPoint(x, y + 15), caption);
    x += p.fontMetrics().horizontalAdvance(caption) + 16;
  }
}

QString FreeSpaceBar::TipAt(QPoint point) const {
  if (!layout_) return {};
  const double bpp = BytesPerPixel();
  const QRect bar = BarRect();
  if (bar.contains(point)) {
    const auto from = layout_->spaceStart + static_cast<std::int64_t>(std::floor((point.x() - bar.left()) * bpp));
    const auto to = std::max(from + 1, layout_->spaceStart +
                                           static_cast<std::int64_t>(std::floor((point.x() - bar.left() + 1) * bpp)));
    if (const PlacedBlock* b = layout_->BlockIn(from, to)) return BlockTip(state_, *b);
    if (layout_->IgnoredAt(from))
      return QStringLiteral("игнорируемая зона, адрес %1").arg(ToQ(LongToAddrText(static_cast<std::int32_t>(from))));
    return QStringLiteral("свободно, адрес %1").arg(ToQ(LongToAddrText(static_cast<std::int32_t>(from))));
  }
  const QRect strip = UnfitRect();
  if (strip.contains(point)) {
    const auto offset = static_cast<std::int64_t>(std::floor((point.x() - strip.left()) * bpp));
    std::int64_t at = 0;
    for (const PlacedBlock& b : layout_->unfit) {
      // A block drawn one pixel wide is hit by its whole pixel.
      if (offset < at + std::max<std::int64_t>(b.size, static_cast<std::int64_t>(std::ceil(bpp))))
        return BlockTip(state_, b);
      at += b.size;
    }
  }
  return {};
}

bool FreeSpaceBar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = TipAt(help->pos());
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, this);
    return true;
  }
  return QWidget::event(event);
}

}  // namespace vorkat::ui
