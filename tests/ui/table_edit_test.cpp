#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include "app/app.h"
#include "codec/table_loader.h"
#include "tests/support/scripted_host.h"
#include "ui/codec/table_editor_window.h"
#include "ui/shell/form_commands.h"

using namespace vorkat;

class TableEditTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void editsTheLoadedTableThroughItsFields() {
    ScriptedHost host;
    AppState state(host);
    LoadTableText(state, u"TrTableType=SBCS\r\n41=A\r\n42=B", u"t.tbl");
    QWidget main;
    ui::FindFormCommand("menuTableEditor")->open(&main, state);
    auto* form = main.findChild<ui::TableEditForm*>(QStringLiteral("TableEditForm"));
    QVERIFY(form && form->isVisible());
    auto* list = form->findChild<QListView*>(QStringLiteral("tableview"));
    QCOMPARE(list->model()->rowCount(), 2);

    list->setCurrentIndex(list->model()->index(1, 0));
    auto* code = form->findChild<QLineEdit*>(QStringLiteral("fldCharCode"));
    auto* text = form->findChild<QLineEdit*>(QStringLiteral("fldCharText"));
    QCOMPARE(code->text(), QStringLiteral("42"));
    QCOMPARE(text->text(), QStringLiteral("B"));

    code->setText(QStringLiteral("20"));
    text->setText(QStringLiteral("<$SPACE>"));
    form->findChild<QPushButton*>(QStringLiteral("btnAddEntry"))->click();
    QCOMPARE(state.table.entries[0x20], std::u16string(u" "));
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("20 =  "));

    form->findChild<QPushButton*>(QStringLiteral("btnDeleteEntry"))->click();
    QVERIFY(state.table.entries[0x20].empty());
    QCOMPARE(list->model()->rowCount(), 2);

    form->findChild<QComboBox*>(QStringLiteral("selTableType"))->setEditText(QStringLiteral("DBCS"));
    QCOMPARE(state.table.type, std::u16string(u"DBCS"));
  }
};

QTEST_MAIN(TableEditTest)
#include "table_edit_test.moc"
