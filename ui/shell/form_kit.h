// The small toolkit every window builds with: named fields and buttons,
// labelled grid rows, open-or-raise, and the one way a window refreshes
// from the state: LoadFields() each time it is shown.
#pragma once

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QWidget>

#include <initializer_list>

namespace vorkat {
struct AppState;
}

namespace vorkat::ui {

QLineEdit* TextField(QWidget* parent, const char* objectName, const QString& text = {});
// A field for a number, wide enough for ten digits.
QLineEdit* NumberField(QWidget* parent, const char* objectName);
QPushButton* Button(QWidget* parent, const char* objectName, const QString& caption);

// Adds a row to a form grid: the caption as a label bound to the field (its
// buddy, so the caption names the field for the keyboard and for screen
// readers), the field, and an optional widget after it.
void AddRow(QGridLayout* grid, const QString& caption, QWidget* field, QWidget* after = nullptr);

// A row of buttons: `left` at the left edge, `right` at the right edge.
QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right);

// A panel of controls that scrolls up and down when the window is lower than
// the panel (a tall form on a small or scaled screen).
QScrollArea* VerticalScroll(QWidget* parent, QLayout* content);

// Gives the window its preferred size where the screen has room for it, else
// as much as the screen offers (never below what its layout needs).
void ResizeWithinScreen(QWidget* window, QSize preferred);

// Escape closes the tool window (a dialog's Escape already rejects it).
void CloseWithEscape(QWidget* window);
// The tool window's "Закрыть" button ("btnClose"); Escape closes it too.
QPushButton* CloseButton(QWidget* window);

// A window that shows values of the state: it fills its fields from the
// state each time it is shown.
template <class Base>
class StateWindow : public Base {
 public:
  using Base::Base;
  virtual void LoadFields() = 0;

 protected:
  void showEvent(QShowEvent* event) override {
    LoadFields();
    Base::showEvent(event);
  }
};

// Shows the main window's child window of that object name, creating it on
// first use, and brings it to the front.
template <class Form>
Form* OpenOrRaise(QWidget* mainWindow, AppState& state, const char* objectName) {
  auto* form = mainWindow->findChild<Form*>(QLatin1String(objectName));
  if (!form) form = new Form(state, mainWindow);
  form->show();
  form->raise();
  form->activateWindow();
  return form;
}

}  // namespace vorkat::ui
