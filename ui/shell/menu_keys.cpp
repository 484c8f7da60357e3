#include "ui/shell/menu_keys.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace vorkat::ui {
namespace {

// The letter after a single '&', or a null character.
QChar MnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return text[i + 1].toLower();
    ++i;  // "&&" is a shown ampersand
  }
  return {};
}

// Where the mnemonic goes in `text`: the candidates in the order of preference.
QList<qsizetype> Candidates(const QString& text) {
  QList<qsizetype> out;
  const qsizetype n = text.size();
  if (n >= 3 && text[n - 1] == u')' && text[n - 3] == u'(' && text[n - 2].isLetter()) out << n - 2;
  for (qsizetype i = 0; i < n; ++i)
    if (text[i].isLetterOrNumber() && (i == 0 || !text[i - 1].isLetterOrNumber())) out << i;
  for (qsizetype i = 0; i < n; ++i)
    if (text[i].isLetterOrNumber()) out << i;
  return out;
}

void AddMnemonics(const QList<QAction*>& actions) {
  QList<QChar> used;
  for (QAction* a : actions)
    if (const QChar m = MnemonicOf(a->text()); !m.isNull()) used << m;
  for (QAction* a : actions) {
    if (a->isSeparator() || a->text().isEmpty() || !MnemonicOf(a->text()).isNull()) continue;
    QString text = a->text();
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    for (qsizetype at : Candidates(text)) {
      const QChar letter = text[at].toLower();
      if (used.contains(letter)) continue;
      used << letter;
      text.insert(at, u'&');
      break;
    }
    a->setText(text);
  }
  for (QAction* a : actions)
    if (QMenu* sub = a->menu()) AddMnemonics(sub->actions());
}

}  // namespace

void AddMnemonics(QMenuBar* bar) { AddMnemonics(bar->actions()); }

void AddMnemonics(QMenu* menu) { AddMnemonics(menu->actions()); }

void FocusMenuBarWithF10(QWidget* window, QMenuBar* bar) {
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
  QObject::connect(f10, &QShortcut::activated, bar, [bar] {
    bar->setFocus(Qt::MenuBarFocusReason);
    if (!bar->actions().isEmpty()) bar->setActiveAction(bar->actions().first());
  });
}

}  // namespace vorkat::ui
