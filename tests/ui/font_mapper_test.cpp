#include <QCheckBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "app/app.h"
#include "codec/table_loader.h"
#include "font/font_commands.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"
#include "ui/fonttools/font_mapper_window.h"
#include "ui/shell/form_commands.h"
#include "ui/shell/gui_host.h"

using namespace vorkat;
using vorkat::testing::TempDir;

class FontMapperTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void autoBuildsTheLineAndClosingHandsTheListToTheFdt() {
    TempDir dir;
    QImage glyph(8, 8, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    QVERIFY(glyph.save(ui::ToQ(dir.File("g.bmp")), "BMP"));
    ScriptedHost host;
    AppState state(host);
    LoadTableText(state, u"TrTableType=SBCS\r\n0A=x<$VBCRLF>\r\n41=A", u"t.tbl");
    state.fdt.lines = {u"8,16=FontWidthFontHeight", u"5,a.bmp=a", u"5,b.bmp=b"};
    ReparseFontDescription(state);

    QWidget main;
    ui::FindFormCommand("menuFontMapper")->open(&main, state);
    QVERIFY(host.messages.front().text.starts_with(u"Сохранения исправленного FDT НЕТУ!"));
    auto* form = main.findChild<ui::FontMapperForm*>(QStringLiteral("FontMapperForm"));
    QVERIFY(form && form->isVisible());
    auto* mapview = form->findChild<QListView*>(QStringLiteral("mapview"));
    auto* tableview = form->findChild<QListView*>(QStringLiteral("tableview"));
    QCOMPARE(mapview->model()->rowCount(), 3);
    QCOMPARE(tableview->model()->index(0, 0).data().toString(), QStringLiteral("0A = x\r\n"));

    auto* files = form->findChild<QTreeView*>(QStringLiteral("fileBrowser"));
    files->setCurrentIndex(static_cast<QFileSystemModel*>(files->model())->index(ui::ToQ(dir.File("g.bmp"))));
    form->findChild<QCheckBox*>(QStringLiteral("chkAutoConstruct"))->setChecked(true);
    tableview->setCurrentIndex(tableview->model()->index(0, 0));
    auto* line = form->findChild<QLineEdit*>(QStringLiteral("fldMapTextLine"));
    QCOMPARE(line->text(), QStringLiteral("3,") + ui::ToQ(dir.File("g.bmp")) + QStringLiteral("=x"));
    form->findChild<QPushButton*>(QStringLiteral("btnWidthPlus"))->click();
    form->findChild<QPushButton*>(QStringLiteral("btnAddLine"))->click();
    form->close();

    QCOMPARE(state.fdt.lines.size(), std::size_t{4});
    QCOMPARE(state.fdt.lastMappingIndex, 2);
    QCOMPARE(state.fdt.mappings[2].width, 4);
    QCOMPARE(state.fdt.mappings[2].text, std::u16string(u"x"));
  }
};

QTEST_MAIN(FontMapperTest)
#include "font_mapper_test.moc"
