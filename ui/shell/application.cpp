#include "ui/shell/application.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/version.h"
#include "core/context.h"
#include "core/runtime.h"

namespace vorkat::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("vorkat"));
  setApplicationVersion(QString::fromUtf8(ProgramVersion().data(), static_cast<qsizetype>(ProgramVersion().size())));
  // The desktop entry org.vorkat.vorkat.desktop: the window is shown as its program.
  setDesktopFileName(QStringLiteral("org.vorkat.vorkat"));
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1x%1/apps/org.vorkat.vorkat.png").arg(size), QSize(size, size));
  setWindowIcon(icon);
  LoadQtTranslations(*this);
}

bool LoadQtTranslations(QCoreApplication& app) {
  auto* qtTexts = new QTranslator(&app);
  if (!qtTexts->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qtTexts;
    return false;
  }
  return QCoreApplication::installTranslator(qtTexts);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  if (!ctx_) return QApplication::notify(receiver, event);
  bool handled = false;
  RunGuarded(*ctx_, [&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace vorkat::ui
