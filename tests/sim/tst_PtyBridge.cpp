#include "sim/PtyBridge_Unt.h"

#include "link/BasicProtocol_Unt.h"
#include "link/MasterProtocol_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A program's end of the line: the slave opened with plain POSIX calls,
// non-blocking so that the simulator keeps running in this thread.
class TClient
{
public:
    explicit TClient(const QString &path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~TClient() { close(); }

    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Reads until count bytes arrived, the line hung up or the time is out.
    QByteArray read(int count, int timeoutMs = 5000)
    {
        QByteArray received;
        const bool done = QTest::qWaitFor([&] {
            char buffer[512];
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got > 0)
                received.append(buffer, int(got));
            else if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
                m_hungUp = true;
            return received.size() >= count || m_hungUp;
        }, timeoutMs);
        Q_UNUSED(done);
        return received;
    }

    bool hungUp() const { return m_hungUp; }

private:
    int m_fd;
    bool m_hungUp = false;
};

QByteArray PasswordRequest(const QString &password)
{
    TPasswordProtocol protocol;
    protocol.SetPasswordText(password);
    return protocol.PasswordRequest();
}

} // namespace

class TestPtyBridge : public QObject
{
    Q_OBJECT

private slots:
    void exchangesThroughTheSlave()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K801);
        device.setLatencyMs(0);
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));
        QVERIFY(bridge.slavePath().startsWith(QLatin1String("/dev/")));
        QVERIFY(QFileInfo::exists(bridge.slavePath()));

        TClient client(bridge.slavePath());
        QVERIFY(client.isOpen());
        QVERIFY(client.write(PasswordRequest("5937")));
        QVERIFY(TPasswordProtocol().PasswordAccepted(client.read(10)));

        // Raw line: CR, LF, Ctrl-C and 0xFF pass unchanged both ways.
        QByteArray page(256, '\0');
        for (int index = 0; index < page.size(); ++index)
            page[index] = char(index);
        const TMasterProtocol master;
        QVERIFY(client.write(master.ConfigWriteRequest(1, page)));
        QCOMPARE(client.read(10).size(), 10);
        QCOMPARE(device.configImage().mid(256, 256), page);
        QVERIFY(client.write(master.ConfigReadRequest(1)));
        QCOMPARE(TBasicProtocol().GetData(client.read(265)), page);

        QVERIFY(client.write(TSendHandle::TextCommand(QStringLiteral("5937"), "DOC1")));
        QVERIFY(QTest::qWaitFor([&] { return device.relayBits() == 1; }, 5000));
    }

    void survivesClientsComingAndGoing()
    {
        TDeviceSimulator device;
        device.setLatencyMs(0);
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));
        for (int round = 0; round < 3; ++round) {
            TClient client(bridge.slavePath());
            QVERIFY(client.isOpen());
            QVERIFY(client.write(PasswordRequest(round == 1 ? "0000" : "5937")));
            const QByteArray reply = client.read(10);
            QCOMPARE(TPasswordProtocol().PasswordAccepted(reply), round != 1);
            client.close();
            QTest::qWait(50);
            QVERIFY(bridge.isOpen());
        }
        QCOMPARE(device.requestLog().size(), 3);
    }

    // The tool's own serial stack opens the slave like any serial port.
    void servesASerialPort()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K803);
        device.setLatencyMs(0);
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));

        QSerialPort port(bridge.slavePath());
        port.setBaudRate(QSerialPort::Baud115200);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.write(TMasterProtocol().ConfigReadRequest(0));
        QByteArray reply;
        QVERIFY(QTest::qWaitFor([&] {
            reply += port.readAll();
            return reply.size() >= 265;
        }, 5000));
        QCOMPARE(TBasicProtocol().GetData(reply), device.configImage().left(256));
        port.close();
        QVERIFY(bridge.isOpen());
    }

    void closeMasterHangsUpTheLine()
    {
        TDeviceSimulator device;
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));
        TClient client(bridge.slavePath());
        QVERIFY(client.isOpen());

        bridge.closeMaster();
        QVERIFY(!bridge.isOpen());
        QVERIFY(bridge.slavePath().isEmpty());
        QCOMPARE(client.read(1, 2000), QByteArray());
        QVERIFY(client.hungUp());

        // Replies after the line is gone go nowhere, without harm.
        device.ReceiveFromHost(PasswordRequest("5937"));
        QVERIFY(QTest::qWaitFor([&] { return !device.replyPending(); }, 5000));
    }
};

QTEST_GUILESS_MAIN(TestPtyBridge)
#include "tst_PtyBridge.moc"
