#include "ui/shell/application.h"

#include "core/context.h"
#include "core/runtime.h"

namespace vorkat::ui {

bool Application::notify(QObject* receiver, QEvent* event) {
  if (!ctx_) return QApplication::notify(receiver, event);
  bool handled = false;
  RunGuarded(*ctx_, [&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace vorkat::ui
