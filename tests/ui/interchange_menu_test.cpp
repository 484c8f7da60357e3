// File ▸ Export / Import from the main window: the XLIFF written is read by
// Qt's own XML reader as a translation tool would read it, and a translation
// filled in there comes back into the dialogs.
#include <QAction>
#include <QFile>
#include <QXmlStreamReader>
#include <QtTest>

#include "app/app.h"
#include "tests/support/scripted_gui_host.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/main_window.h"

using namespace vorkat;
using vorkat::testing::ScriptedGuiHost;

class InterchangeMenuTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void xliffExportReadsAsXliffAndImportTakesTheTranslation() {
    testing::TempDir dir;
    ScriptedGuiHost host;
    AppState state(host);
    ui::MainForm form(state);
    host.Attach(&form, &state);
    state.dialogs.records.assign(3, DialogRecord{});
    state.dialogs.records[0] = {u"10", u"A"};
    state.dialogs.records[0].dlgText = u"Hello & <welcome>\r\nfriend<$END>";
    state.dialogs.records[1] = {u"20", u"14"};
    state.dialogs.records[1].dlgText = u"Bye<$0A><$END>";
    state.dialogs.lastIndex = 1;
    state.dialogs.isLoaded = true;

    const std::u16string file = dir.File("script.xlf");
    host.answers.fileNames.push_back(file);
    host.answers.answers.push_back(MsgAnswer::No);  // no source file: a template
    form.Action(QStringLiteral("menuExportXLIFF"))->trigger();

    QFile xml(QString::fromStdU16String(file));
    QVERIFY(xml.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&xml);
    QStringList ids;
    QStringList sourceCodes;
    bool inSource = false;
    while (!reader.atEnd()) {
      reader.readNext();
      if (reader.isStartElement() && reader.name() == QLatin1String("trans-unit"))
        ids << reader.attributes().value(QLatin1String("id")).toString();
      if (reader.name() == QLatin1String("source")) inSource = reader.isStartElement();
      if (inSource && reader.isStartElement() && reader.name() == QLatin1String("ph"))
        sourceCodes << reader.readElementText();
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(ids, (QStringList{QStringLiteral("10"), QStringLiteral("20")}));
    QCOMPARE(sourceCodes, (QStringList{QStringLiteral("<$END>"), QStringLiteral("<$0A>"), QStringLiteral("<$END>")}));

    // A translator fills in the second target; the import takes it.
    xml.seek(0);
    QString text = QString::fromUtf8(xml.readAll());
    xml.close();
    const int second =
        text.indexOf(QLatin1String("<target state=\"needs-translation\">"), text.indexOf(QLatin1String("id=\"20\"")));
    text.replace(second, text.indexOf(QLatin1String("</target>"), second) - second,
                 QStringLiteral(
                     "<target state=\"translated\">Пока<ph id=\"1\">&lt;$0A&gt;</ph><ph id=\"2\">&lt;$END&gt;</ph>"));
    QVERIFY(xml.open(QIODevice::WriteOnly | QIODevice::Truncate));
    xml.write(text.toUtf8());
    xml.close();
    host.answers.fileNames.push_back(file);
    form.Action(QStringLiteral("menuImportXLIFF"))->trigger();
    QCOMPARE(state.dialogs.records[1].dlgText, std::u16string(u"Пока<$0A><$END>"));
    QCOMPARE(state.dialogs.records[0].dlgText, std::u16string(u"Hello & <welcome>\r\nfriend<$END>"));
    QVERIFY(state.dialogs.changed);
  }
};

QTEST_MAIN(InterchangeMenuTest)
#include "interchange_menu_test.moc"
