// The login window on network serial servers: a typed address logs in, is
// remembered and offered again; a server that refuses says so at once.
#include "app/Login_Frm.h"
#include "session/DeviceConnection_Unt.h"
#include "link/PortNames_Unt.h"
#include "link/SerialPort_Unt.h"
#include "platform/DeviceWatcher_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/SimTcpServer_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace MainWindowFixture;

namespace {

constexpr int ReplyWaitMs = 8000;

void Login(TFormLogin &login, const QString &portName)
{
    login.SetLanguageForTest(1);
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    auto *ports = login.findChild<QComboBox *>(QStringLiteral("cbb_ComPort"));
    QVERIFY(ports && ports->isEditable());
    ports->setEditText(portName);
    auto *edit = login.findChild<QLineEdit *>(QStringLiteral("edt_Password"));
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestLoginNetwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TDeviceSimulator::InstallDemoPorts(); }
    void init()
    {
        const QString name = QCoreApplication::applicationName();
        QSettings(name, name).clear();
    }

    void recentPortsKeepNetworkNamesNewestFirst_data()
    {
        QTest::addColumn<QStringList>("remembered");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("newest first, usual spelling")
            << QStringList{"tcp://10.0.0.5:4001", "RFC2217://gw:2217"}
            << QStringList{"rfc2217://gw:2217", "tcp://10.0.0.5:4001"};
        QTest::newRow("used again moves to the front")
            << QStringList{"tcp://a:1", "tcp://b:2", "tcp://a:1"} << QStringList{"tcp://a:1", "tcp://b:2"};
        QTest::newRow("serial, demo and malformed names are not kept")
            << QStringList{"/dev/ttyUSB0", "demo:K802", "tcp://a", "tcp://a:70000", "tcp://c:3"}
            << QStringList{"tcp://c:3"};
        QTest::newRow("eight at most")
            << QStringList{"tcp://h:1", "tcp://h:2", "tcp://h:3", "tcp://h:4", "tcp://h:5",
                           "tcp://h:6", "tcp://h:7", "tcp://h:8", "tcp://h:9"}
            << QStringList{"tcp://h:9", "tcp://h:8", "tcp://h:7", "tcp://h:6",
                           "tcp://h:5", "tcp://h:4", "tcp://h:3", "tcp://h:2"};
    }

    void recentPortsKeepNetworkNamesNewestFirst()
    {
        QFETCH(QStringList, remembered);
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("k80x.ini"));
        {
            QSettings settings(file, QSettings::IniFormat);
            TRecentPorts recent(&settings);
            for (const QString &name : remembered)
                recent.Remember(name);
        }
        // Kept between runs: a new reader of the same file sees them.
        QSettings settings(file, QSettings::IniFormat);
        QCOMPARE(TRecentPorts(&settings).Names(), names);
    }

    void typedAddressLogsInAndIsOfferedAgain()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K802);
        device.setLatencyMs(1);
        TSimTcpServer server(&device, TSimTcpServer::TMode::Rfc2217);
        QVERIFY(server.listen(0));
        {
            TFormLogin login;
            Login(login, server.portName());
            QTRY_COMPARE_WITH_TIMEOUT(login.result(), int(QDialog::Accepted), ReplyWaitMs);
            QCOMPARE(login.Connection()->PortName(), server.portName());
        }
        TFormLogin again;
        auto *ports = again.findChild<QComboBox *>(QStringLiteral("cbb_ComPort"));
        const int listed = ports->findText(server.portName());
        QVERIFY(listed >= 0);
        // After the serial ports, before the demo devices.
        QCOMPARE(ports->itemText(listed + 1), QStringLiteral("demo:K801"));
    }

    // The list follows the watcher's readings of the ports (made on its own
    // thread). Untouched, the first serial port is chosen; a port the user
    // picked or typed stays when a device comes or goes meanwhile.
    void portListFollowsTheWatcherAndKeepsTheChoice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("untouched") << QString() << QStringLiteral("/dev/ttyUSB7");
        QTest::newRow("typed address") << QStringLiteral("tcp://10.0.0.9:4001") << QStringLiteral("tcp://10.0.0.9:4001");
        QTest::newRow("picked demo device") << QStringLiteral("demo:K803") << QStringLiteral("demo:K803");
    }

    void portListFollowsTheWatcherAndKeepsTheChoice()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        TFormLogin login;
        auto *watcher = login.findChild<TDeviceWatcher *>();
        QVERIFY(watcher);
        QSignalSpy firstReading(watcher, &TDeviceWatcher::PortsRead);
        QTRY_COMPARE(firstReading.size(), 1);
        auto *ports = login.findChild<QComboBox *>(QStringLiteral("cbb_ComPort"));
        if (!typed.isEmpty()) {
            ports->lineEdit()->clear();
            QTest::keyClicks(ports->lineEdit(), typed);
        }
        emit watcher->PortsRead({QStringLiteral("/dev/ttyUSB7")});
        QCOMPARE(ports->itemText(0), QStringLiteral("/dev/ttyUSB7"));
        QCOMPARE(ports->currentText(), expected);
    }

    void refusedAddressSaysWhyAtOnce()
    {
        quint16 closed = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closed = probe.serverPort();
        }
        const QString name = QStringLiteral("tcp://127.0.0.1:%1").arg(closed);
        TFormLogin login;
        QElapsedTimer clock;
        clock.start();
        Login(login, name);
        QTRY_COMPARE_WITH_TIMEOUT(ErrorBoxText(&login),
                                  name + QStringLiteral(" refused the connection: no serial server listens on that port"),
                                  ReplyWaitMs);
        // Well before the five seconds of the password time-out.
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!login.ComPort()->Connected());
        QVERIFY(TRecentPorts().Names().isEmpty());
    }
};

QTEST_MAIN(TestLoginNetwork)
#include "tst_LoginNetwork.moc"
