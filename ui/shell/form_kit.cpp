#include "ui/shell/form_kit.h"

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

}  // namespace vorkat::ui
