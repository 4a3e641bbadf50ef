// The command-line tool names fields by captions it takes from the language
// tables; they must be the captions the window shows beside the same fields.
#include "cli/FieldCaptions_Unt.h"
#include "config/ConfigDiff_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QTest>

using namespace MainWindowFixture;

class TestFieldCaptions : public QObject
{
    Q_OBJECT

private slots:
    void sameAsTheWindow_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("language");
        for (int model = 0; model < 3; ++model) {
            for (const int language : {int(ConstLang::English), int(ConstLang::Chinese)}) {
                QTest::addRow("K80%d %s", model + 1, language == ConstLang::English ? "en" : "zh")
                    << model << language;
            }
        }
    }

    void sameAsTheWindow()
    {
        QFETCH(int, model);
        QFETCH(int, language);
        auto window = ConnectedWindow(QStringLiteral("K80%1").arg(model + 1));
        QVERIFY(window);
        Switch(*window, language);
        // Every byte changed: nearly every field the panes show differs.
        const QByteArray factory = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model(model));
        QByteArray changed = factory;
        for (char &byte : changed)
            byte = char(~byte);
        const QList<TFieldDiff> diffs = DiffConfigImages(factory, changed, model);
        int named = 0;
        for (const TFieldDiff &diff : diffs) {
            if (diff.Control.isEmpty())
                continue;
            TConfigError where;
            where.Control = diff.Control;
            where.Row = diff.Row;
            where.SubItem = diff.SubItem;
            const QString shown = window->Master()->CaptionOf(where);
            QCOMPARE(FieldCaptions::Caption(diff.Control, diff.Row, diff.SubItem, model, language), shown);
            QVERIFY2(shown != diff.Control, qPrintable(diff.Control));
            ++named;
        }
        QVERIFY2(named > 100, qPrintable(QString::number(named)));
    }
};

QTEST_MAIN(TestFieldCaptions)
#include "tst_FieldCaptions.moc"
