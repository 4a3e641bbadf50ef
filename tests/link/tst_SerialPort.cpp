#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "link/VersionProtocol_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal pair: the component opens the slave end by its name, the
// test plays the device on the master end.
class TPtyPair
{
public:
    TPtyPair()
    {
        termios raw{};
        ::cfmakeraw(&raw);
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
            return;
        m_slaveName = QString::fromLocal8Bit(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~TPtyPair()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    TPtyPair(const TPtyPair &) = delete;
    TPtyPair &operator=(const TPtyPair &) = delete;

    bool isValid() const { return m_master >= 0 && m_slave >= 0; }
    QString slaveName() const { return m_slaveName; }

    // Writes all bytes as the device would, keeping the event loop going
    // while the line's buffer is full.
    bool send(const QByteArray &bytes)
    {
        const QDeadlineTimer deadline(10000);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(m_master, bytes.constData() + done,
                                            size_t(bytes.size() - done));
            if (written > 0) {
                done += written;
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            } else {
                if (deadline.hasExpired())
                    return false;
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
        }
        return true;
    }

    // Everything the component has written to the line so far.
    const QByteArray &received()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count <= 0)
                break;
            m_received.append(buffer, qsizetype(count));
        }
        return m_received;
    }

    // The device end goes away, as when a USB adapter is pulled.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // The output speed the terminal is set to (shared by every descriptor of it).
    speed_t lineSpeed() const
    {
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        return ::cfgetospeed(&tio);
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slaveName;
    QByteArray m_received;
};

// The line settings both windows of the program use.
void ConfigureAsUsed(TComm &comm, const QString &name)
{
    comm.SetCommName(name);
    UseLoggerLine(comm);
}

// count bytes running through every byte value, starting at seed.
QByteArray Pattern(int count, int seed = 0)
{
    QByteArray bytes(count, '\0');
    for (int index = 0; index < count; ++index)
        bytes[index] = char((index * 7 + seed) & 0xFF);
    return bytes;
}

QList<QByteArray> Chunks(const QSignalSpy &spy)
{
    QList<QByteArray> chunks;
    for (const QList<QVariant> &arguments : spy)
        chunks << arguments.at(0).toByteArray();
    return chunks;
}

QByteArray Joined(const QList<QByteArray> &chunks)
{
    QByteArray all;
    for (const QByteArray &chunk : chunks)
        all += chunk;
    return all;
}

QString OpenErrorText(int language)
{
    return language == 0 ? QStringLiteral("打开串口出错\r\n此串口不存在或被占用")
                         : QStringLiteral("Error opening serial port");
}

// Opens comm and returns the error text, or a null text when it opened.
QString OpenFailure(TComm &comm)
{
    try {
        comm.OpenPort();
    } catch (const ECommsError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TDeviceSimulator::InstallDemoPorts(); }

    void init() { TComm::SetLanguage(1); }

    void burstArrivesInChunks_data()
    {
        QTest::addColumn<int>("byteCount");
        QTest::addColumn<QList<int>>("chunkSizes");

        QTest::newRow("one byte") << 1 << QList<int>{1};
        QTest::newRow("60 bytes") << 60 << QList<int>{60};
        QTest::newRow("265-byte page reply") << 265 << QList<int>{265};
        QTest::newRow("exactly 4096 bytes") << 4096 << QList<int>{4096};
        QTest::newRow("4097 bytes") << 4097 << QList<int>{4096, 1};
        QTest::newRow("10000 bytes") << 10000 << QList<int>{4096, 4096, 1808};
    }
    void burstArrivesInChunks()
    {
        QFETCH(int, byteCount);
        QFETCH(QList<int>, chunkSizes);

        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        QVERIFY(comm.Connected());

        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        QList<QThread *> threads;
        connect(&comm, &TComm::OnReceiveData, this,
                [&threads] { threads << QThread::currentThread(); });

        const QByteArray burst = Pattern(byteCount);
        QVERIFY(pty.send(burst));
        QTRY_COMPARE_WITH_TIMEOUT(Joined(Chunks(spy)).size(), burst.size(), 10000);
        // Nothing may follow once the line is quiet.
        QTest::qWait(400);

        const QList<QByteArray> chunks = Chunks(spy);
        QList<int> sizes;
        for (const QByteArray &chunk : chunks)
            sizes << int(chunk.size());
        QCOMPARE(sizes, chunkSizes);
        QCOMPARE(Joined(chunks), burst);
        for (QThread *thread : threads)
            QCOMPARE(thread, QCoreApplication::instance()->thread());
        comm.ClosePort();
    }

    void chunkCompleteTestEndsChunkEarly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("early");

        const TBasicProtocol codec;
        const QByteArray page = codec.BuildFrame(0x83, codec.IntToAddress(0x4000), Pattern(256));
        QByteArray badSum = page;
        badSum[badSum.size() - 1] = char(badSum.at(badSum.size() - 1) ^ 0x01);
        QTest::newRow("whole page reply") << page << true;
        QTest::newRow("reply without data") << codec.BuildFrame(0x82, codec.IntToAddress(0)) << true;
        QTest::newRow("first half of a reply") << page.left(130) << false;
        QTest::newRow("bad checksum") << badSum << false;
        QTest::newRow("progress digits") << QByteArray("5060") << false;
    }
    void chunkCompleteTestEndsChunkEarly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, early);

        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        // A long pause, so that only the test can end the chunk soon.
        comm.SetReadIntervalTimeout(3000);
        comm.SetChunkComplete([](const QByteArray &gathered) {
            return TBasicProtocol().IsWholeFrame(gathered);
        });
        comm.OpenPort();

        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        QVERIFY(pty.send(bytes));
        QTest::qWait(1500);
        QCOMPARE(spy.count(), early ? 1 : 0);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QCOMPARE(spy.at(0).at(0).toByteArray(), bytes);
    }

    void pausesSeparateChunks_data()
    {
        QTest::addColumn<quint32>("readInterval");
        QTest::addColumn<int>("sliceCount");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("expectedChunks");

        QTest::newRow("two bursts 150 ms apart") << 100u << 2 << 150 << 2;
        QTest::newRow("three bursts 400 ms apart") << 100u << 3 << 400 << 3;
        // The slices span longer than the interval: each one restarts the pause.
        QTest::newRow("12 slices 50 ms apart with a 300 ms interval") << 300u << 12 << 50 << 1;
    }
    void pausesSeparateChunks()
    {
        QFETCH(quint32, readInterval);
        QFETCH(int, sliceCount);
        QFETCH(int, gapMs);
        QFETCH(int, expectedChunks);

        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        // Set while open: the new interval must take effect at once.
        comm.SetReadIntervalTimeout(readInterval);

        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        QByteArray sent;
        for (int slice = 0; slice < sliceCount; ++slice) {
            if (slice > 0)
                QTest::qWait(gapMs);
            const QByteArray bytes = Pattern(40, slice * 13);
            QVERIFY(pty.send(bytes));
            sent += bytes;
        }
        QTRY_COMPARE_WITH_TIMEOUT(Joined(Chunks(spy)).size(), sent.size(), 10000);
        QTest::qWait(int(readInterval) + 300);
        QCOMPARE(spy.count(), expectedChunks);
        QCOMPARE(Joined(Chunks(spy)), sent);
    }

    void readTotalTimeoutCapsChunk()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.SetReadIntervalTimeout(2000);
        comm.SetReadTotalTimeoutConstant(300);
        comm.OpenPort();

        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        QByteArray sent;
        QElapsedTimer clock;
        clock.start();
        // A steady trickle that never pauses for the read interval.
        while (clock.elapsed() < 1000) {
            const QByteArray bytes = Pattern(10, int(sent.size()));
            QVERIFY(pty.send(bytes));
            sent += bytes;
            QTest::qWait(40);
        }
        QTRY_COMPARE_WITH_TIMEOUT(Joined(Chunks(spy)).size(), sent.size(), 10000);
        QVERIFY2(spy.count() >= 2, qPrintable(QString::number(spy.count())));
        QCOMPARE(Joined(Chunks(spy)), sent);
    }

    void writesKeepOrder()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();

        const QList<QByteArray> writes = {
            TVersionProtocol().VersionRequest(),
            Pattern(265, 1),
            QByteArray("5937DOO1\r\n"),
            Pattern(3000, 2),
            QByteArray(1, '\x23'),
        };
        QByteArray expected;
        for (const QByteArray &bytes : writes) {
            QVERIFY(comm.WriteData(bytes.constData(), quint16(bytes.size())));
            expected += bytes;
        }
        QTRY_COMPARE_WITH_TIMEOUT(pty.received().size(), expected.size(), 10000);
        QCOMPARE(pty.received(), expected);
    }

    void sendDataTextAndEmptyQueue()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();

        QSignalSpy textSpy(&comm, &TComm::OnSendData);
        QSignalSpy emptySpy(&comm, &TComm::OnSendDataEmpty);
        QVERIFY(comm.WriteData(QByteArray::fromHex("2301a0")));
        QCOMPARE(textSpy.count(), 1);
        QCOMPARE(textSpy.at(0).at(0).toString(), QStringLiteral("23 01 A0 "));
        QTRY_VERIFY_WITH_TIMEOUT(emptySpy.count() >= 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(pty.received(), QByteArray::fromHex("2301a0"), 10000);
    }

    void writeRefused_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");

        QTest::newRow("count 0 on an open port") << true << QByteArray("#\x05") << 0;
        QTest::newRow("closed port") << false << QByteArray("#\x05") << 2;
    }
    void writeRefused()
    {
        QFETCH(bool, open);
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);

        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        if (open)
            comm.OpenPort();
        QSignalSpy textSpy(&comm, &TComm::OnSendData);

        QVERIFY(!comm.WriteData(bytes.constData(), quint16(count)));
        QTest::qWait(300);
        QCOMPARE(textSpy.count(), 0);
        QVERIFY(pty.received().isEmpty());
    }

    void openWhenAlreadyOpen_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");

        QTest::newRow("Chinese") << 0 << QStringLiteral("此串口已经打开");
        QTest::newRow("English") << 1 << QStringLiteral("This serial port already opened");
    }
    void openWhenAlreadyOpen()
    {
        QFETCH(int, language);
        QFETCH(QString, text);

        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        TComm::SetLanguage(language);

        QCOMPARE(OpenFailure(comm), text);
        QVERIFY(comm.Connected());

        // The open port still works both ways.
        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        QVERIFY(pty.send(Pattern(20)));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        QCOMPARE(spy.at(0).at(0).toByteArray(), Pattern(20));
        QVERIFY(comm.WriteData(Pattern(9, 5)));
        QTRY_COMPARE_WITH_TIMEOUT(pty.received(), Pattern(9, 5), 10000);
    }

    void openMissingPort_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");

        QTest::newRow("Chinese, missing device") << 0 << QStringLiteral("/dev/k80x-no-such-port");
        QTest::newRow("English, missing device") << 1 << QStringLiteral("/dev/k80x-no-such-port");
        QTest::newRow("English, COM name") << 1 << QStringLiteral("COM2");
        QTest::newRow("English, empty name") << 1 << QString();
        QTest::newRow("English, unknown demo model") << 1 << QStringLiteral("demo:K999");
    }
    void openMissingPort()
    {
        QFETCH(int, language);
        QFETCH(QString, name);

        TComm comm;
        comm.SetCommName(name);
        TComm::SetLanguage(language);
        QCOMPARE(OpenFailure(comm), OpenErrorText(language));
        QVERIFY(!comm.Connected());
        QVERIFY(DemoSimulator(&comm) == nullptr);
        QVERIFY(!comm.WriteData(Pattern(3)));
    }

    void portHeldElsewhereIsRefused()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm first;
        ConfigureAsUsed(first, pty.slaveName());
        first.OpenPort();

        TComm second;
        ConfigureAsUsed(second, pty.slaveName());
        QCOMPARE(OpenFailure(second), OpenErrorText(1));
        QVERIFY(!second.Connected());
        QVERIFY(!second.WriteData(Pattern(3)));

        // The holder is not disturbed.
        QSignalSpy spy(&first, &TComm::OnReceiveData);
        QVERIFY(pty.send(Pattern(30)));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        QCOMPARE(spy.at(0).at(0).toByteArray(), Pattern(30));

        // Once released, the port is free for the next one, as when the login
        // window hands the port over to the main window.
        first.ClosePort();
        QCOMPARE(OpenFailure(second), QString());
        QVERIFY(second.Connected());
        QSignalSpy secondSpy(&second, &TComm::OnReceiveData);
        QVERIFY(pty.send(Pattern(12, 3)));
        QTRY_COMPARE_WITH_TIMEOUT(secondSpy.count(), 1, 10000);
        QCOMPARE(secondSpy.at(0).at(0).toByteArray(), Pattern(12, 3));
    }

    void destroyingOpenComponentReleasesPort()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        {
            TComm comm;
            ConfigureAsUsed(comm, pty.slaveName());
            comm.OpenPort();
            QVERIFY(comm.WriteData(Pattern(5)));
        }
        TComm next;
        ConfigureAsUsed(next, pty.slaveName());
        QCOMPARE(OpenFailure(next), QString());
        QVERIFY(next.Connected());
    }

    void constructionSwitchesToEnglish()
    {
        TComm::SetLanguage(0);
        QCOMPARE(TComm::Language(), 0);
        TComm comm;
        QCOMPARE(TComm::Language(), 1);
        comm.SetCommName(QStringLiteral("/dev/k80x-no-such-port"));
        QCOMPARE(OpenFailure(comm), OpenErrorText(1));
    }

    void baudRateChangeWhileOpenReapplies_data()
    {
        QTest::addColumn<quint32>("baudRate");
        QTest::addColumn<int>("speed");

        QTest::newRow("9600") << 9600u << int(B9600);
        QTest::newRow("57600") << 57600u << int(B57600);
        QTest::newRow("230400") << 230400u << int(B230400);
    }
    void baudRateChangeWhileOpenReapplies()
    {
        QFETCH(quint32, baudRate);
        QFETCH(int, speed);

        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        QCOMPARE(int(pty.lineSpeed()), int(B115200));

        const int settingsBefore = comm.settingsApplyCount();
        const int timeoutsBefore = comm.timeoutsApplyCount();
        comm.SetBaudRate(baudRate);
        QCOMPARE(comm.BaudRate(), baudRate);
        QCOMPARE(comm.settingsApplyCount(), settingsBefore + 1);
        QCOMPARE(comm.timeoutsApplyCount(), timeoutsBefore);
        QCOMPARE(int(pty.lineSpeed()), speed);

        // The same value again changes nothing.
        comm.SetBaudRate(baudRate);
        QCOMPARE(comm.settingsApplyCount(), settingsBefore + 1);

        // A time-out property re-applies the time-outs only.
        comm.SetReadTotalTimeoutConstant(50);
        QCOMPARE(comm.timeoutsApplyCount(), timeoutsBefore + 1);
        QCOMPARE(comm.settingsApplyCount(), settingsBefore + 1);
    }

    void settingsWhileClosedAreOnlyStored()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.SetBaudRate(19200);
        comm.SetParity(TParity::Even);
        comm.SetReadIntervalTimeout(250);
        QCOMPARE(comm.settingsApplyCount(), 0);
        QCOMPARE(comm.timeoutsApplyCount(), 0);
        QCOMPARE(comm.BaudRate(), 19200u);
        QCOMPARE(comm.Parity(), TParity::Even);
        QCOMPARE(comm.ReadIntervalTimeout(), 250u);

        // Opening applies what was stored.
        comm.OpenPort();
        QCOMPARE(int(pty.lineSpeed()), int(B19200));
        QVERIFY(comm.settingsApplyCount() >= 1);
        QVERIFY(comm.timeoutsApplyCount() >= 1);

        // Closed again: stored, not applied.
        comm.ClosePort();
        const int settingsClosed = comm.settingsApplyCount();
        comm.SetBaudRate(4800);
        QCOMPARE(comm.settingsApplyCount(), settingsClosed);
        QCOMPARE(comm.BaudRate(), 4800u);
    }

    void closeWhenClosedDoesNothing()
    {
        TComm comm;
        QSignalSpy hangupSpy(&comm, &TComm::OnRequestHangup);
        QSignalSpy emptySpy(&comm, &TComm::OnSendDataEmpty);
        comm.ClosePort();
        comm.ClosePort();
        QVERIFY(!comm.Connected());
        QCOMPARE(comm.settingsApplyCount(), 0);
        QCOMPARE(hangupSpy.count(), 0);
        QCOMPARE(emptySpy.count(), 0);
    }

    void reopenAfterClose()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        for (int round = 0; round < 3; ++round) {
            comm.OpenPort();
            QVERIFY(comm.Connected());
            QVERIFY(pty.send(Pattern(16, round)));
            QTRY_COMPARE_WITH_TIMEOUT(spy.count(), round + 1, 10000);
            QCOMPARE(spy.at(round).at(0).toByteArray(), Pattern(16, round));
            comm.ClosePort();
            QVERIFY(!comm.Connected());
        }
    }

    void vanishedPortReportedOnce()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        auto *port = comm.findChild<QSerialPort *>();
        QVERIFY(port != nullptr);
        QSignalSpy portErrors(port, &QSerialPort::errorOccurred);
        QSignalSpy hangupSpy(&comm, &TComm::OnRequestHangup);
        QSignalSpy lineErrorSpy(&comm, &TComm::OnReceiveError);
        // More than the line takes before the device end goes: the write
        // fails too, and still only one loss is reported.
        QVERIFY(comm.WriteData(Pattern(60000)));
        QTest::qWait(100);

        pty.closeMaster();
        QTRY_COMPARE_WITH_TIMEOUT(hangupSpy.count(), 1, 10000);
        QTest::qWait(500);
        QCOMPARE(hangupSpy.count(), 1);
        QCOMPARE(lineErrorSpy.count(), 0);
        // A port that keeps reporting errors would run into the thousands here.
        QVERIFY2(portErrors.count() < 20, qPrintable(QString::number(portErrors.count())));

        QVERIFY(comm.Connected());
        QVERIFY(!comm.WriteData(Pattern(4)));
        comm.ClosePort();
        QVERIFY(!comm.Connected());
        QCOMPARE(hangupSpy.count(), 1);
    }

    void vanishedPortClosedFromHangupHandler()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        connect(&comm, &TComm::OnRequestHangup, &comm, &TComm::ClosePort);
        QSignalSpy hangupSpy(&comm, &TComm::OnRequestHangup);

        pty.closeMaster();
        QTRY_COMPARE_WITH_TIMEOUT(hangupSpy.count(), 1, 10000);
        QVERIFY(!comm.Connected());
        QTest::qWait(300);
        QCOMPARE(hangupSpy.count(), 1);
    }

    void closeFromReceiveHandler()
    {
        TPtyPair pty;
        QVERIFY(pty.isValid());
        TComm comm;
        ConfigureAsUsed(comm, pty.slaveName());
        comm.OpenPort();
        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        // The owner closes in the middle of a burst that fills several chunks.
        connect(&comm, &TComm::OnReceiveData, &comm, &TComm::ClosePort);

        QVERIFY(pty.send(Pattern(9000)));
        QTRY_VERIFY_WITH_TIMEOUT(!comm.Connected(), 10000);
        QTest::qWait(300);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toByteArray(), Pattern(9000).left(spy.at(0).at(0).toByteArray().size()));

        // The component opens again normally afterwards.
        disconnect(&comm, &TComm::OnReceiveData, &comm, &TComm::ClosePort);
        comm.OpenPort();
        QVERIFY(comm.Connected());
    }

    void demoDeviceAnswersVersion_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("model");

        QTest::newRow("K801") << QStringLiteral("demo:K801") << QStringLiteral("K801");
        QTest::newRow("K802") << QStringLiteral("demo:K802") << QStringLiteral("K802");
        QTest::newRow("K803, lower case") << QStringLiteral("demo:k803") << QStringLiteral("K803");
    }
    void demoDeviceAnswersVersion()
    {
        QFETCH(QString, name);
        QFETCH(QString, model);

        TComm comm;
        ConfigureAsUsed(comm, name);
        comm.OpenPort();
        QVERIFY(comm.Connected());
        QVERIFY(DemoSimulator(&comm) != nullptr);
        QCOMPARE(DemoSimulator(&comm)->baudRate(), 115200u);

        QSignalSpy spy(&comm, &TComm::OnReceiveData);
        QSignalSpy emptySpy(&comm, &TComm::OnSendDataEmpty);
        const TVersionProtocol version;
        QVERIFY(comm.WriteData(version.VersionRequest()));
        // Queued: the simulated device has not seen the request yet.
        QCOMPARE(DemoSimulator(&comm)->requestLog().size(), 0);

        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        QTest::qWait(300);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(emptySpy.count(), 1);
        const QByteArray reply = spy.at(0).at(0).toByteArray();
        QVERIFY(version.CheckFrame(reply));
        QCOMPARE(version.ReplyModel(reply), model);

        // Exclusive per component only, and it closes like a real port.
        QCOMPARE(OpenFailure(comm), QStringLiteral("This serial port already opened"));
        TComm other;
        ConfigureAsUsed(other, name);
        QCOMPARE(OpenFailure(other), QString());
        comm.ClosePort();
        QVERIFY(DemoSimulator(&comm) == nullptr);
        QVERIFY(!comm.WriteData(version.VersionRequest()));
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_SerialPort.moc"
