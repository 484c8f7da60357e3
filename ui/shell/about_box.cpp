#include "ui/shell/about_box.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/state.h"
#include "core/text.h"
#include "ui/shell/gui_host.h"

namespace vorkat::ui {

void ShowAbout(const AppState& state, QWidget* mainWindow) {
  QDialog box(mainWindow);
  box.setObjectName(QStringLiteral("AboutBox"));
  box.setWindowTitle(QStringLiteral("About"));
  auto* layout = new QVBoxLayout(&box);
  auto* text = new QTextBrowser(&box);
  text->setPlainText(ToQ(ReplaceAll(state.AboutText, kCrLf, u"\n")));
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
  layout->addWidget(buttons);
  box.exec();
}

}  // namespace vorkat::ui
