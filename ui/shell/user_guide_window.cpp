#include "ui/shell/user_guide_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/shell/form_kit.h"

namespace vorkat::ui {

QString UserGuidePath() {
  // Installed: bin/../share/vorkat/docs; a build tree beside the checkout: ../docs.
  const QDir bin(QCoreApplication::applicationDirPath());
  for (const QString& place :
       {QStringLiteral("../share/vorkat/docs/USER_GUIDE.md"), QStringLiteral("../docs/USER_GUIDE.md")}) {
    const QString path = bin.filePath(place);
    if (QFileInfo::exists(path)) return QFileInfo(path).absoluteFilePath();
  }
  return QStringLiteral(VORKAT_DOCS_DIR "/USER_GUIDE.md");
}

void ShowUserGuide(QWidget* mainWindow) {
  auto* window = mainWindow->findChild<QWidget*>(QStringLiteral("UserGuide"));
  if (!window) {
    window = new QWidget(mainWindow, Qt::Window);
    window->setObjectName(QStringLiteral("UserGuide"));
    window->setWindowTitle(QStringLiteral("Руководство пользователя"));
    auto* text = new QTextBrowser(window);
    text->setObjectName(QStringLiteral("UserGuideText"));
    text->setOpenExternalLinks(true);
    const QString path = UserGuidePath();
    text->setSearchPaths({QFileInfo(path).absolutePath()});
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
      text->setMarkdown(QString::fromUtf8(file.readAll()));
    else
      text->setPlainText(QStringLiteral("Не удалось открыть руководство: ") + path);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(text);
    layout->addLayout(ButtonRow({}, {CloseButton(window)}));
    ResizeWithinScreen(window, QSize(760, 640));
  }
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace vorkat::ui
