#include "ui/shell/form_kit.h"

#include <QScreen>
#include <QKeyEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace vorkat::ui {

QLineEdit* TextField(QWidget* parent, const char* objectName, const QString& text) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(QLatin1String(objectName));
  return field;
}

QLineEdit* NumberField(QWidget* parent, const char* objectName) {
  QLineEdit* field = TextField(parent, objectName);
  field->setMinimumWidth(140);
  return field;
}

QPushButton* Button(QWidget* parent, const char* objectName, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(objectName));
  return button;
}

void AddRow(QGridLayout* grid, const QString& caption, QWidget* field, QWidget* after) {
  const int row = grid->rowCount() == 1 && !grid->itemAtPosition(0, 0) ? 0 : grid->rowCount();
  auto* label = new QLabel(caption, field->parentWidget());
  label->setBuddy(field);
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1);
  if (after) grid->addWidget(after, row, 2);
}

QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : left) row->addWidget(w);
  row->addStretch();
  for (QWidget* w : right) row->addWidget(w);
  return row;
}

QScrollArea* VerticalScroll(QWidget* parent, QLayout* content) {
  auto* panel = new QWidget;
  panel->setLayout(content);
  auto* area = new QScrollArea(parent);
  area->setWidget(panel);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setMinimumWidth(panel->minimumSizeHint().width() + area->verticalScrollBar()->sizeHint().width());
  return area;
}

void ResizeWithinScreen(QWidget* window, QSize preferred) {
  QSize size = preferred;
  if (const QScreen* screen = window->screen()) size = size.boundedTo(screen->availableGeometry().size() * 0.9);
  window->resize(size.expandedTo(window->minimumSizeHint()));
}

namespace {

// An Escape that no control of the window took closes it, as in a dialog.
class EscapeCloses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    static_cast<QWidget*>(watched)->close();
    return true;
  }
};

}  // namespace

void CloseWithEscape(QWidget* window) { window->installEventFilter(new EscapeCloses(window)); }

QPushButton* CloseButton(QWidget* window) {
  QPushButton* close = Button(window, "btnClose", QStringLiteral("Закрыть"));
  close->setAutoDefault(false);
  QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
  CloseWithEscape(window);
  return close;
}

}  // namespace vorkat::ui
