// Fields are named by captions taken from the language tables, without any
// window; they must be the captions the window shows beside the same fields
// (an edit's label, a box's text, the label beside a combo box, a list row
// and its column header).
#include "config/ConfigDiff_Unt.h"
#include "config/FieldCaptions_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "look/ComponentEx.h"
#include "sim/DeviceSimulator_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

using namespace MainWindowFixture;

namespace {

// What the window shows beside a field, read from its widgets.
QString ShownBeside(const QWidget &window, const TFieldDiff &diff)
{
    QWidget *control = window.findChild<QWidget *>(ConstLang::CaptionControl(diff.Control));
    if (auto *view = qobject_cast<QTreeWidget *>(control)) {
        const QTreeWidgetItem *row = view->topLevelItem(diff.Row);
        return (row ? row->text(0).trimmed() : QStringLiteral("<no row>")) + QStringLiteral(" / ")
               + view->headerItem()->text(diff.SubItem + 1);
    }
    if (auto *edit = qobject_cast<TLabeledEdit *>(control))
        return edit->labelText();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    return QStringLiteral("<no caption on screen>");
}

} // namespace

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
            const QString caption = FieldCaptions::Caption(diff.Control, diff.Row, diff.SubItem, model, language);
            QCOMPARE(caption, ShownBeside(*window, diff));
            QCOMPARE(DiffCaption(diff, model, language), caption);
            TConfigError where;
            where.Control = diff.Control;
            where.Row = diff.Row;
            where.SubItem = diff.SubItem;
            QCOMPARE(window->Master()->CaptionOf(where), caption);
            QVERIFY2(caption != diff.Control, qPrintable(diff.Control));
            ++named;
        }
        QVERIFY2(named > 100, qPrintable(QString::number(named)));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("subItem");
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::newRow("labelled edit") << "lbledt_Master_DevDes" << -1 << -1 << 0 << 1
                                       << "Device description(Max.60 characters)";
        QTest::newRow("labelled edit, Chinese") << "lbledt_Master_DevDes" << -1 << -1 << 0 << 0
                                                << QString::fromUtf8("设备描述(最多输入60个字符)");
        QTest::newRow("check box") << "chk_Auto_Armed" << -1 << -1 << 1 << 1 << "Arm automatically when power on";
        QTest::newRow("combo box by its label") << "cbb_GPRS_TcpUdp" << -1 << -1 << 1 << 1 << "GPRS Protocol";
        QTest::newRow("phone cell") << "lvTel" << 2 << 1 << 1 << 1 << "3 / Dial";
        QTest::newRow("phone cell, Chinese") << "lvTel" << 0 << 0 << 1 << 0 << QString::fromUtf8("1 / 报警号码");
        QTest::newRow("K803 sensor row") << "lvTh" << 1 << 0 << 2 << 1 << "Temperature2 / Channel Name(Max.40)";
        QTest::newRow("relay row") << "lvDo" << 1 << 0 << 0 << 1 << "DOUT2 / Channel Name(Max.40)";
        QTest::newRow("reserved bytes of the first page") << "" << 98 << -1 << 0 << 1 << "reserved bytes of page 1";
        QTest::newRow("a timer's byte") << "" << 689 << -1 << 0 << 1 << "Timer 5";
        QTest::newRow("a timer's byte, Chinese") << "" << 689 << -1 << 0 << 0 << QString::fromUtf8("定时5");
        QTest::newRow("auto-arm switch byte") << "" << 95 << -1 << 0 << 1 << "Auto Arm after Disarmed";
        QTest::newRow("relay block byte") << "" << 342 + 164 + 43 << -1 << 0 << 1 << "DO2 settings";
        QTest::newRow("unused sensor slot") << "" << 772 + 40 * 9 << -1 << 0 << 1 << "Sensor slot 10";
        QTest::newRow("between upload interval and power-loss delay") << "" << 760 << -1 << 0 << 1 << "reserved bytes of page 3";
    }

    void captions()
    {
        QFETCH(QString, control);
        QFETCH(int, row);
        QFETCH(int, subItem);
        QFETCH(int, model);
        QFETCH(int, language);
        QFETCH(QString, caption);
        QCOMPARE(FieldCaptions::Caption(control, row, subItem, model, language), caption);
    }
};

QTEST_MAIN(TestFieldCaptions)
#include "tst_FieldCaptions.moc"
