// The keyboard's way into a window's menus: a mnemonic (Alt + letter) for
// every menu and item, and F10 for the menu bar.
#pragma once

class QMenu;
class QMenuBar;
class QWidget;

namespace vorkat::ui {

// Gives every item of the menu bar and of its menus, submenus included, an
// underlined letter of its caption that no other item of the same menu has.
// Items that already have one keep it; a letter named in "(X)" at the end of
// a caption comes first, then the first letters of the words.
void AddMnemonics(QMenuBar* bar);
void AddMnemonics(QMenu* menu);

// F10 in `window` opens the menu bar's first menu for the arrow keys.
void FocusMenuBarWithF10(QWidget* window, QMenuBar* bar);

}  // namespace vorkat::ui
