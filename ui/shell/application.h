// The Qt application object of the window program: an allocation failure in
// any window's event handler (a button of a tool window, say) ends that
// command only, as it does for menu commands and batch lines.
#pragma once

#include <QApplication>

namespace vorkat {
struct Context;
}

namespace vorkat::ui {

class Application : public QApplication {
 public:
  // Also names the program for the desktop and gives every window its icon.
  Application(int& argc, char** argv);
  void SetContext(Context* ctx) { ctx_ = ctx; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Context* ctx_ = nullptr;
};

// The program speaks Russian: Qt's own texts (standard buttons, file and
// colour dialogs) too, when Qt's Russian translations (qtbase_ru) are
// installed. False when they are not.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace vorkat::ui
