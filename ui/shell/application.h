// The Qt application object of the window program: an allocation failure in
// any window's event handler (a button of a tool window, say) ends that
// command only, as it does for menu commands and batch lines.
#pragma once

#include <QApplication>

namespace vorkat {
struct CoreState;
}

namespace vorkat::ui {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}
  void SetState(CoreState* state) { state_ = state; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  CoreState* state_ = nullptr;
};

}  // namespace vorkat::ui
