#include "ui/shell/application.h"

#include "core/runtime.h"

namespace vorkat::ui {

bool Application::notify(QObject* receiver, QEvent* event) {
  if (!state_) return QApplication::notify(receiver, event);
  bool handled = false;
  RunGuarded(*state_, [&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace vorkat::ui
