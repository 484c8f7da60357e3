// Timings of the window program: appending many log lines to the pane, and
// the script editor over 100,000 dialogs.
// Run: QT_QPA_PLATFORM=offscreen vorkat-bench-gui
#include <QApplication>
#include <QListView>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QKeyEvent>
#include <QPushButton>

#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "editor/editor_search.h"
#include "font/font_commands.h"
#include "tests/support/temp_dir.h"
#include "ui/editor/x_editor_window.h"
#include "ui/font/text_preview_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/main_window.h"
#include "ui/viewer/rom_viewer_window.h"

#include <QCheckBox>
#include <algorithm>
#include <ctime>

namespace {

double Ms(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Opens the viewer on a 32 MiB ROM and pages through it with the difference view on.
void BenchViewer(vorkat::AppState& state, QWidget& mainWindow) {
  using namespace vorkat;
  state.rom.bytes.assign(32u << 20, 0);
  std::uint32_t x = 99;
  for (std::size_t i = 0; i < state.rom.bytes.size(); ++i) {
    x = x * 1664525u + 1013904223u;
    state.rom.bytes[i] = static_cast<std::uint8_t>(x >> 24);
  }
  state.rom.isLoaded = true;
  state.rom.fileName = u"big.gba";
  state.originalRom.bytes.assign(state.rom.bytes.begin(), state.rom.bytes.end());
  for (std::size_t i = 0; i < state.originalRom.bytes.size(); i += 97) state.originalRom.bytes[i] ^= 1;
  state.originalRom.isLoaded = true;

  auto t0 = std::chrono::steady_clock::now();
  ui::FindFormCommand("menuROMViewer")->open(&mainWindow, state);
  auto* view = mainWindow.findChild<ui::ROMView*>(QStringLiteral("ROMView"));
  view->repaint();
  QApplication::processEvents();
  std::printf("%-60s %9.1f ms\n", "open the viewer on a 32 MiB ROM (shown and painted)", Ms(t0));

  view->findChild<QCheckBox*>(QStringLiteral("ShowDiff"))->setChecked(true);
  auto* hex = view->findChild<QWidget*>(QStringLiteral("HexView"));
  auto* text = view->findChild<QWidget*>(QStringLiteral("TxtView"));
  for (const QSize size : {view->size(), QSize(1600, 1100)}) {
    view->resize(size);
    QApplication::processEvents();
    double worst = 0, total = 0, hexMs = 0;
    const int pages = 200;
    const std::clock_t cpu0 = std::clock();
    for (int i = 0; i < pages; ++i) {
      auto t1 = std::chrono::steady_clock::now();
      ScrollDown(state, view->model(), view->model().Rows);
      view->Redraw();
      const auto t2 = std::chrono::steady_clock::now();
      hex->repaint();
      hexMs += Ms(t2);
      text->repaint();
      const double ms = Ms(t1);
      worst = std::max(worst, ms);
      total += ms;
    }
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC / pages;
    std::printf("%-60s %9.2f ms (worst %.2f ms, hex pane %.2f ms, CPU %.2f ms)\n",
                QStringLiteral("page down + repaint, difference view, %1 x %2 cells (mean of 200)")
                    .arg(view->model().Columns)
                    .arg(view->model().Rows)
                    .toUtf8()
                    .constData(),
                total / pages, worst, hexMs / pages, cpuMs);
  }
}

// The ROM tiles window on the same ROM: a page of 32 x 32 GBA4 tiles at
// zoom 2 painted while the view moves down by rows.
void BenchTiles(vorkat::AppState& state, QWidget& mainWindow) {
  using namespace vorkat;
  ui::FindFormCommand("menuRomTiles")->open(&mainWindow, state);
  auto* form = mainWindow.findChild<QWidget*>(QStringLiteral("RomTilesForm"));
  form->findChild<QLineEdit*>(QStringLiteral("fldTilesPerRow"))->setText(QStringLiteral("32"));
  form->findChild<QPushButton*>(QStringLiteral("btnTilesApply"))->click();
  auto* canvas = form->findChild<QWidget*>(QStringLiteral("picTiles"));
  canvas->setFixedSize(32 * 8 * 2, 32 * 8 * 2);
  QApplication::processEvents();
  const int pages = 200;
  double total = 0, worst = 0;
  for (int i = 0; i < pages; ++i) {
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(canvas, &down);
    auto t1 = std::chrono::steady_clock::now();
    canvas->repaint();
    const double ms = Ms(t1);
    total += ms;
    worst = std::max(worst, ms);
  }
  std::printf("%-60s %9.2f ms (worst %.2f ms)\n", "tile window: paint a page of 32x32 GBA4 tiles, zoom 2 (mean of 200)",
              total / pages, worst);
}

// Prints a 2,000-character dialog into the shown preview: 250 glyphs of
// 8 x 12 cut from a generated font sheet, a line break every 30 characters.
void BenchPreview(vorkat::AppState& state, QWidget& mainWindow) {
  using namespace vorkat;
  testing::TempDir dir;
  QImage sheet(16 * 8, 16 * 12, QImage::Format_RGB32);
  for (int y = 0; y < sheet.height(); ++y)
    for (int x = 0; x < sheet.width(); ++x)
      sheet.setPixel(x, y, (x * 7 + y * 3) % 5 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  sheet.save(QString::fromStdU16String(dir.File("sheet.bmp")), "BMP");
  std::u16string fdt = u"8,12=FontWidthFontHeight\r\n0," + dir.File("sheet.bmp") +
                       u"=FontFileName\r\n0,16=FontClipRows\r\n0,16=FontClipCols\r\n0,1=interletterspacing\r\n"
                       u"0_NEWLINE,=<$VBCRLF>\r\n";
  for (int k = 0; k < 250; ++k)
    fdt +=
        DecText(4 + k % 5) + u",#" + DecText(k) + u"=" + std::u16string(1, static_cast<char16_t>(0x21 + k)) + u"\r\n";
  dir.WriteText("font.fdt", fdt);
  LoadFontDescriptionFile(state, dir.File("font.fdt"));

  auto* preview = ui::PreviewWindow(&mainWindow, state);
  preview->show();
  preview->SetPictureSize(QSize(320, 820));  // every glyph lands on the picture
  preview->LoadFntPics();
  std::u16string dialog;
  for (int i = 0; dialog.size() < 2000; ++i)
    dialog += (i % 30 == 29) ? std::u16string(u"\r\n")
                             : std::u16string(1, static_cast<char16_t>(0x21 + (i * 37) % 250));
  dialog.resize(2000);
  const int rounds = 200;
  double worst = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    const auto t1 = std::chrono::steady_clock::now();
    preview->PrintText(dialog);
    worst = std::max(worst, Ms(t1));
  }
  std::printf("%-60s %9.3f ms (worst %.3f ms, %s)\n", "print a 2,000-character dialog into the preview (mean of 200)",
              Ms(t0) / rounds, worst, state.glyphsLoaded ? "glyphs loaded" : "NO GLYPHS");
  preview->repaint();
  const auto t2 = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    preview->PrintText(dialog);
    preview->repaint();
  }
  std::printf("%-60s %9.3f ms\n", "the same print with the window repainted (mean of 200)", Ms(t2) / rounds);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorkat;
  QApplication app(argc, argv);
  ui::GuiHost host;
  AppState state(host);
  ui::MainForm form(state);
  host.Attach(&form, &state);
  form.show();
  auto t0 = std::chrono::steady_clock::now();
  {
    LongOperation op(state);
    for (int i = 0; i < 100000; ++i)
      AppendLog(state, u"Записали диалог номер" + NumText(i), i % 7 ? kColourDefault : kColourDarkRed);
  }
  form.FlushLog();
  QApplication::processEvents();
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  auto* pane = form.findChild<QPlainTextEdit*>(QStringLiteral("LogText"));
  std::printf("%-60s %9.1f ms (%d blocks)\n", "append 100,000 log lines (window, shown)", ms,
              pane->document()->blockCount());

  // 100,000 dialogs of about 200 characters with two line breaks each.
  const int count = 100000;
  state.dialogs.records.resize(count + 1);
  for (int i = 0; i < count; ++i) {
    DialogRecord& d = state.dialogs.records[static_cast<std::size_t>(i)];
    d.dlgID = DecText(i);
    d.dlgText = u"Диалог" + NumText(i) +
                u": Hello there, traveller!\r\nThe road to the castle is long "
                u"and the bridge is out.<$0A>\r\nCome back when you have found the key, and bring some "
                u"bread for the guard.<$END>";
  }
  state.dialogs.records[count - 1].dlgText += u" needle";
  state.dialogs.lastIndex = count - 1;
  state.dialogs.isLoaded = true;

  auto elapsed = [](auto t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
  };
  t0 = std::chrono::steady_clock::now();
  ui::FindFormCommand("menuXXEditor")->open(&form, state);
  auto* editor = form.findChild<ui::XEditorForm*>(QStringLiteral("xEditor"));
  QApplication::processEvents();
  std::printf("%-60s %9.1f ms (%d rows)\n", "open the editor on 100,000 dialogs (shown, painted)", elapsed(t0),
              editor->findChild<QListView*>()->model()->rowCount());

  std::u16string search = u"NEEDLE";
  t0 = std::chrono::steady_clock::now();
  const int hit = SearchInDialogs(state, search, -1, true);
  std::printf("%-60s %9.1f ms (dialog %d)\n", "list search over 100,000 dialogs (hit in the last)", elapsed(t0), hit);

  editor->OpenDialog(50000);
  auto* box = editor->findChild<QPlainTextEdit*>(QStringLiteral("txtDialog"));
  auto* accept = editor->findChild<QPushButton*>(QStringLiteral("btnAcceptChanges"));
  box->insertPlainText(QStringLiteral("x"));
  QApplication::processEvents();
  t0 = std::chrono::steady_clock::now();
  accept->click();
  QApplication::processEvents();
  std::printf("%-60s %9.3f ms\n", "accept an edit among 100,000 dialogs (one row repainted)", elapsed(t0));

  BenchViewer(state, form);
  BenchTiles(state, form);
  BenchPreview(state, form);
  return 0;
}
