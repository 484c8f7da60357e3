#include "ui/shell/layout_keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <string_view>

namespace vorkat::ui {
namespace {

// The three letter rows of a PC keyboard from their first scan code (set 1,
// which Linux's evdev codes follow too).
struct LetterRow {
  quint32 firstScanCode;
  std::string_view latin;
  std::u16string_view russian;  // the same keys on the standard Russian layout
};
constexpr LetterRow kRows[] = {
    {0x10, "QWERTYUIOP", u"ЙЦУКЕНГШЩЗ"},
    {0x1E, "ASDFGHJKL", u"ФЫВАПРОЛД"},
    {0x2C, "ZXCVBNM", u"ЯЧСМИТЬ"},
};

// What the platform adds to a scan code: X11 and Wayland keycodes are evdev
// codes + 8; Windows gives the scan code itself. Elsewhere the code is not used.
int ScanCodeOffset() {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))) return 8;
  if (platform == QLatin1String("windows")) return 0;
  return -1;
}

int LetterOfScanCode(quint32 nativeScanCode) {
  const int offset = ScanCodeOffset();
  if (offset < 0 || nativeScanCode < static_cast<quint32>(offset)) return 0;
  const quint32 scanCode = nativeScanCode - static_cast<quint32>(offset);
  for (const LetterRow& row : kRows)
    if (scanCode >= row.firstScanCode && scanCode < row.firstScanCode + row.latin.size())
      return Qt::Key_A + (row.latin[scanCode - row.firstScanCode] - 'A');
  return 0;
}

int LetterOfRussianKey(int key) {
  for (const LetterRow& row : kRows)
    for (std::size_t i = 0; i < row.russian.size(); ++i)
      if (key == row.russian[i]) return Qt::Key_A + (row.latin[i] - 'A');
  return 0;
}

}  // namespace

int LatinLetterKey(const QKeyEvent* event) {
  const int key = event->key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  if (const int byScanCode = LetterOfScanCode(event->nativeScanCode())) return byScanCode;
  return LetterOfRussianKey(key);
}

}  // namespace vorkat::ui
