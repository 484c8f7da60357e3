// The windows of the user guide, opened on the demo game as a translator
// would. Under `scripts/screenshots.sh` (a virtual X server) the pictures
// are written to docs/images; under the test run they are only checked.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QtTest>

#include "app/app.h"
#include "app/commands.h"
#include "batch/batch.h"
#include "codec/table_loader.h"
#include "insert/new_addresses.h"
#include "script/dialogs_file.h"
#include "tests/support/scripted_gui_host.h"
#include "tests/support/temp_dir.h"
#include "ui/editor/x_editor_window.h"
#include "ui/font/text_preview_window.h"
#include "ui/fonttools/fdt_editor_window.h"
#include "ui/shell/application.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/form_kit.h"
#include "ui/shell/gui_host.h"
#include "ui/shell/main_window.h"
#include "ui/viewer/rom_viewer_window.h"

using namespace vorkat;

class ScreenshotsTest : public QObject {
  Q_OBJECT

  // Shows the window: it must fit the screen (at any QT_SCALE_FACTOR).
  static void Fits(QWidget* window, const char* name) {
    QVERIFY2(window, name);
    window->show();
    window->raise();
    QApplication::processEvents();
    const QSize screen = window->screen()->availableGeometry().size();
    QVERIFY2(window->width() <= screen.width() && window->height() <= screen.height(),
             qPrintable(QStringLiteral("%1 is %2x%3 on a screen of %4x%5")
                            .arg(QLatin1String(name))
                            .arg(window->width())
                            .arg(window->height())
                            .arg(screen.width())
                            .arg(screen.height())));
  }

  // Saves the window's picture when a folder is named; checks it either way.
  static void Take(QWidget* window, const char* name) {
    Fits(window, name);
    const QPixmap picture = window->grab();
    QVERIFY2(!picture.isNull() && picture.width() > 100 && picture.height() > 100, name);
    const QByteArray folder = qgetenv("VORKAT_SCREENSHOT_DIR");
    if (!folder.isEmpty())
      QVERIFY2(picture.save(QString::fromLocal8Bit(folder) + u'/' + QLatin1String(name) + QStringLiteral(".png")),
               name);
  }

 private Q_SLOTS:
  // The pictures show Qt's own texts in Russian, as the program does.
  void initTestCase() { ui::LoadQtTranslations(*QCoreApplication::instance()); }

  void windowsOfTheDemo() {
    testing::TempDir dir;
    testing::ScriptedGuiHost host;
    AppState state(host);
    StartUp(state, FromPath(dir.path()));
    ui::MainForm form(state);
    host.Attach(&form, &state);
    ui::ResizeWithinScreen(&form, QSize(900, 560));
    form.show();

    const std::u16string demo = FromPath(std::filesystem::path(VORKAT_EXAMPLES_DIR) / "demo");
    OpenRom(state, demo + u"/demo.gba");
    state.ctx.settings.TableFileName = demo + u"/demo.tbl";
    LoadTable(state, true);
    state.dialogs.fileName = demo + u"/dialogs_ru.txt";
    LoadDialogs(state, true);
    QVERIFY(state.rom.isLoaded && state.table.isLoaded && state.dialogs.isLoaded);
    form.AfterCommand();
    Take(&form, "main_window");

    ui::FindFormCommand("menuXXEditor")->open(&form, state);
    auto* editor = form.findChild<ui::XEditorForm*>(QStringLiteral("xEditor"));
    editor->OpenDialog(1);
    Take(editor, "x_editor");
    editor->close();

    ui::FindFormCommand("menuROMViewer")->open(&form, state);
    auto* viewer = form.findChild<ui::ROMView*>(QStringLiteral("ROMView"));
    viewer->model().ViewTop = 0x100;
    viewer->Redraw();
    Take(viewer, "rom_viewer");
    viewer->close();

    state.insertion.FreeSpaceStartAddr = 0x4000;
    state.insertion.FreeSpaceEndAddr = 0xC000;
    state.insertion.AddressAlignBy = 4;
    ui::FindFormCommand("menuCalcPtrsAndPutDialogs")->open(&form, state);
    QWidget* insert = form.findChild<QWidget*>(QStringLiteral("RecalcPtrsandInsert"));
    Take(insert, "insertion");
    CalcNewAddresses(state);
    QTRY_VERIFY(insert->isEnabled());  // windows wait while an operation runs
    insert->findChild<QPushButton*>(QStringLiteral("btnFreeSpaceMap"))->click();
    Take(form.findChild<QWidget*>(QStringLiteral("FreeSpaceMap")), "free_space_map");

    // The windows the guide does not show fit too.
    ui::FDTeditForm fdtEditor(state, &form);
    Fits(&fdtEditor, "FDTeditForm");
    fdtEditor.close();
    Fits(ui::PreviewWindow(&form, state), "xview");
    for (const char* menu : {"menuFontMaker", "menuFontMapper", "menuTableEditor", "menuRomTiles", "menuROMSearcher"})
      ui::FindFormCommand(menu)->open(&form, state);
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible()) Fits(window, qPrintable(window->objectName()));
  }

  // The game's font: the demo's font.txt run in a copy (its FDT names the
  // sheet relative to the copy's root), then the tile window on the font,
  // the font maker on the sheet and the preview of a wrapped Russian dialog.
  void fontWindowsOfTheDemo() {
    testing::TempDir dir;
    std::filesystem::create_directories(dir.path() / "examples");
    std::filesystem::copy(std::filesystem::path(VORKAT_EXAMPLES_DIR) / "demo", dir.path() / "examples" / "demo",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(dir.path() / "examples" / "demo" / "out");
    struct BackToFolder {
      std::filesystem::path folder = std::filesystem::current_path();
      ~BackToFolder() { std::filesystem::current_path(folder); }
    } back;
    std::filesystem::current_path(dir.path());
    testing::ScriptedGuiHost host;
    AppState state(host);
    StartUp(state, FromPath(dir.path()));
    ui::MainForm form(state);
    host.Attach(&form, &state);
    RunBatch(state, u"examples/demo/font.txt");
    QVERIFY(state.fdt.isLoaded && state.dialogs.isLoaded && state.ctx.errorLinesLogged == 0);

    ui::FindFormCommand("menuRomTiles")->open(&form, state);
    auto* tiles = form.findChild<QWidget*>(QStringLiteral("RomTilesForm"));
    auto* offset = tiles->findChild<QLineEdit*>(QStringLiteral("fldTilesOffset"));
    offset->setText(QStringLiteral("&hC000"));
    Q_EMIT offset->returnPressed();
    ui::ResizeWithinScreen(tiles, QSize(760, 560));
    Take(tiles, "rom_tiles");
    tiles->close();

    ui::FindFormCommand("menuFontMaker")->open(&form, state);
    auto* maker = form.findChild<QWidget*>(QStringLiteral("FontMakerForm"));
    maker->findChild<QComboBox*>(QStringLiteral("cmbCellOrder"))->setCurrentIndex(1);
    maker->findChild<QLineEdit*>(QStringLiteral("fldStartFromNN"))->setText(QStringLiteral("&h20"));
    maker->findChild<QLineEdit*>(QStringLiteral("fldOutputDir"))->setText(QStringLiteral("examples/demo/glyphs"));
    host.answers.fileNames.push_back(u"examples/demo/font_ru.png");
    maker->findChild<QPushButton*>(QStringLiteral("btnLoadFontPicture"))->click();
    maker->findChild<QScrollBar*>(QStringLiteral("cellScroll"))->setValue(0x86 - 0x20);  // "Ж"
    Take(maker, "font_maker");
    maker->close();

    ui::XViewForm preview(state, &form);
    QVERIFY(preview.LoadFntPics());
    preview.SetPictureSize(QSize(240, 48));
    preview.show();
    preview.PrintText(state.dialogs.records[1].dlgText);
    Take(&preview, "text_preview");
  }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
