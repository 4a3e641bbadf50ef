// Reading and writing the configuration against the built-in simulated logger.
#include "dialogs/BasicAnimate_Frm.h"
#include "app/K900_Frm.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "link/SerialPort_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "look/ComponentEx.h"
#include "sim/DeviceSimulator_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace MainWindowFixture;

namespace {

constexpr int FlowWaitMs = 60000;

// The values without the live relay status and sensor value cells, which
// a read fills from the current values it asks for after the image.
TConfigValues WithoutLiveValues(TConfigValues values)
{
    for (QStringList &row : values.lvDo)
        row[ConfigCells::DoStatus].clear();
    for (QStringList &row : values.lvTh)
        row[ConfigCells::ThValue].clear();
    return values;
}

// Runs one configuration flow of the window and waits for its end.
bool RunFlow(TFormK900 &window, void (TFormK900::*flow)())
{
    QSignalSpy finished(&window, &TFormK900::FlowFinished);
    QMetaObject::invokeMethod(&window, [&window, flow] { (window.*flow)(); }, Qt::QueuedConnection);
    if (!finished.wait(FlowWaitMs))
        return false;
    return finished.first().at(0).toBool();
}

} // namespace

class TestConfigFlows : public QObject
{
    Q_OBJECT

private slots:
    void readShowsTheDeviceImage_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("fault");

        // fault: 0 none, 1 first page dropped, 2 a page with a bad checksum, 3 a split page
        QTest::newRow("K802") << "K802" << 0;
        QTest::newRow("K803, first page dropped") << "K803" << 1;
        QTest::newRow("K801, corrupted page") << "K801" << 2;
        QTest::newRow("K802, split page") << "K802" << 3;
    }

    void readShowsTheDeviceImage()
    {
        QFETCH(QString, model);
        QFETCH(int, fault);
        auto window = ConnectedWindow(model);
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        if (fault == 1)
            device->dropReplies(1);
        else if (fault == 2)
            device->corruptChecksums(1);
        else if (fault == 3)
            device->splitReplies(1, 150);

        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));

        const TDecodeResult expected = DecodeImage(device->configImage(), window->ModelIndex());
        QVERIFY(expected.Ok());
        QTRY_VERIFY(!window->Session()->busy());
        const TConfigValues shown = WithoutLiveValues(window->Master()->ControlsToValues());
        QCOMPARE(shown.Texts, expected.Values.Texts);
        QCOMPARE(shown.Checks, expected.Values.Checks);
        QCOMPARE(shown.Combos, expected.Values.Combos);
        QCOMPARE(shown.lvDo, expected.Values.lvDo);
        QCOMPARE(shown.lvTh, expected.Values.lvTh);
        QCOMPARE(shown.lvTel, expected.Values.lvTel);
        QCOMPARE(shown.lvTimer, expected.Values.lvTimer);
        QCOMPARE(window->Connection()->Password(), expected.Values.Text("lbledt_Main_Password"));
    }

    void readThatCannotCompleteShowsNothing()
    {
        auto window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        auto *id = window->findChild<TLabeledEdit *>(QStringLiteral("lbledt_DeviseID"));
        id->setText(QStringLiteral("4321"));
        DemoSimulator(window->ComPort())->dropReplies(1000);

        // The edit is not saved: the read asks first, and Discard lets it go on.
        QVERIFY(window->EditsUnsaved());
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, window.get(), [&window, &answer] {
            if (QMessageBox *box = OpenBox(window.get(), "UnsavedEditsBox")) {
                answer.stop();
                box->button(QMessageBox::Discard)->click();
            }
        });
        answer.start(20);
        QVERIFY(!RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        QVERIFY(ErrorBoxText(window.get()).contains(QStringLiteral("Page 1 ")));
        QCOMPARE(id->text(), QStringLiteral("4321")); // nothing was blanked or half-filled
    }

    void writeBackUnchangedKeepsTheImage()
    {
        auto window = ConnectedWindow(QStringLiteral("K803"));
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        const TConfigValues before = WithoutLiveValues(window->Master()->ControlsToValues());
        const QByteArray imageBefore = device->configImage();
        QTRY_VERIFY(!window->Session()->busy());

        const int writesBefore = device->framesWithCommand(0x82);
        device->dropReplies(1); // the first page's acknowledgement is lost and the page resent
        QVERIFY(RunFlow(*window, &TFormK900::Pop_WirteMasterClick));
        QCOMPARE(device->framesWithCommand(0x82) - writesBefore, 17);

        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        const TConfigValues after = WithoutLiveValues(window->Master()->ControlsToValues());
        QCOMPARE(after.Texts, before.Texts);
        QCOMPARE(after.Checks, before.Checks);
        QCOMPARE(after.lvTh, before.lvTh);
        QCOMPARE(after.lvTimer, before.lvTimer);

        // What the encoder produced survives decode and encode byte for byte.
        const QByteArray written = device->configImage();
        const TEncodeResult again =
            EncodeImage(DecodeImage(written, window->ModelIndex()).Values, window->ModelIndex());
        QVERIFY(again.Ok());
        QCOMPARE(again.Image.toHex(), written.left(TDeviceSimulator::ImageSize).toHex());
        QCOMPARE(written.size(), imageBefore.size());
    }

    void editedValueReachesTheDevice()
    {
        auto window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        window->findChild<TLabeledEdit *>(QStringLiteral("lbledt_DeviseID"))
            ->setText(QStringLiteral("65535"));
        QVERIFY(RunFlow(*window, &TFormK900::Pop_WirteMasterClick));
        const TDecodeResult stored =
            DecodeImage(DemoSimulator(window->ComPort())->configImage(), window->ModelIndex());
        QCOMPARE(stored.Values.Text(QStringLiteral("lbledt_DeviseID")), QStringLiteral("65535"));
    }

    void badInputIsRefusedBeforeSending_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hexMode");
        QTest::addColumn<QString>("quoted"); // what the message quotes of the text

        QTest::newRow("device ID above 65535") << "lbledt_DeviseID" << "65536" << false << "65536";
        QTest::newRow("device ID 12a") << "lbledt_DeviseID" << "12a" << false << "12a";
        QTest::newRow("heartbeat interval abc") << "lbledt_GprsReconnSec" << "abc" << false << "abc";
        QTest::newRow("port with a decimal point") << "lbledt_TcpPort" << "80.5" << false << "80.5";
        QTest::newRow("login message with a bad hex pair") << "lbledt_GprsRegDat" << "01 AG" << true << "AG";
    }

    void badInputIsRefusedBeforeSending()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, hexMode);
        QFETCH(QString, quoted);
        auto window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        if (hexMode)
            window->findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(true);
        auto *edit = window->findChild<TLabeledEdit *>(control);
        QVERIFY(edit);
        edit->setText(text);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        // The read ends by asking for the live values; let those answers in first.
        QTRY_VERIFY(!window->Session()->busy());
        const int writesBefore = device->framesWithCommand(0x82);
        const int requestsBefore = int(device->requestLog().size());

        QVERIFY(!RunFlow(*window, &TFormK900::Pop_WirteMasterClick));
        QCOMPARE(device->framesWithCommand(0x82), writesBefore);
        QCOMPARE(int(device->requestLog().size()), requestsBefore);
        const QString message = ErrorBoxText(window.get());
        QVERIFY2(message.contains(edit->labelText()), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("\"%1\"").arg(quoted)), qPrintable(message));
    }

    void silentDeviceEndsTheWriteAtOnce()
    {
        auto window = ConnectedWindow(QStringLiteral("K801"));
        QVERIFY(window);
        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        // Pages 1..14 are confirmed, then the device stops answering.
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        QObject::connect(device, &TDeviceSimulator::requestReceived, device,
                         [device](const QByteArray &request) {
                             if (request.size() > 5 && quint8(request.at(1)) == 0x82
                                 && quint8(request.at(4)) == 14)
                                 device->dropReplies(1000);
                         });
        QVERIFY(!RunFlow(*window, &TFormK900::Pop_WirteMasterClick));
        const QString message = ErrorBoxText(window.get());
        // Page 15 of 16 got no answer, nor did the probe after it: page 16
        // is never tried.
        QVERIFY2(message.startsWith(QStringLiteral("The device stopped answering at 87 % of the write;")),
                 qPrintable(message));
        QCOMPARE(device->framesWithCommand(0x82) > 0, true);
        for (const QByteArray &request : device->requestLog())
            QVERIFY(!(request.size() > 5 && quint8(request.at(1)) == 0x82 && quint8(request.at(4)) == 15));
    }

    void stopDuringWriteSaysTheDeviceMayBeMixed()
    {
        auto window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        QVERIFY(RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick));
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        // The user presses Stop while page 3 is on its way.
        QObject::connect(device, &TDeviceSimulator::requestReceived, window.get(),
                         [](const QByteArray &request) {
                             if (request.size() > 5 && quint8(request.at(1)) == 0x82
                                 && quint8(request.at(4)) == 3 && TFormBasicAnimate::current())
                                 TFormBasicAnimate::current()->btn_Close->click();
                         });
        const int writesBefore = device->framesWithCommand(0x82);
        QVERIFY(!RunFlow(*window, &TFormK900::Pop_WirteMasterClick));
        QCOMPARE(ErrorBoxText(window.get()),
                 QStringLiteral("Writing was stopped; the device may hold a mix of old and new settings."));
        QCOMPARE(device->framesWithCommand(0x82) - writesBefore, 4); // pages 0 to 3, no more
    }
};

QTEST_MAIN(TestConfigFlows)
#include "tst_ConfigFlows.moc"
