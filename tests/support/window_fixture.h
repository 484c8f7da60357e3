// What the window tests share: a scripted host, the program state, a stand-in
// main window, a scratch folder, and the windows opened through their menu
// commands.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <string>

#include "app/state.h"
#include "tests/support/rom_fixture.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/form_commands.h"

namespace vorkat::testing {

struct WindowFixture {
  ScriptedHost host;
  AppState state{host};
  std::unique_ptr<QWidget> main = std::make_unique<QWidget>();
  TempDir dir;

  // Runs the menu command; the window it opened (by object name), or nullptr.
  QWidget* Open(const char* menu, const char* window) {
    const ui::FormCommand* command = ui::FindFormCommand(menu);
    if (!command) return nullptr;
    command->open(main.get(), state);
    return main->findChild<QWidget*>(QLatin1String(window));
  }
  template <class T>
  T* Find(const char* name) {
    return main->findChild<T*>(QLatin1String(name));
  }
  QLineEdit* Field(const char* name) { return Find<QLineEdit>(name); }
  void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
  // Selects the field's text and types over it.
  void Retype(const char* name, const QString& text) {
    QLineEdit* f = Field(name);
    f->selectAll();
    QTest::keyClicks(f, text);
  }
  std::u16string File(const char* name) const { return dir.File(name); }
};

}  // namespace vorkat::testing
