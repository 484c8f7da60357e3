// Letter keys whatever the keyboard layout: under the Russian layout Qt
// reports the Cyrillic letter of a key, so the program's letter keys are
// matched by the physical key as well.
#pragma once

class QKeyEvent;

namespace vorkat::ui {

// Qt::Key_A .. Qt::Key_Z for the key's Latin letter: the letter itself, else
// the letter of that physical key (its native scan code, or its place on the
// standard Russian layout); 0 for a key that is no letter.
int LatinLetterKey(const QKeyEvent* event);

}  // namespace vorkat::ui
