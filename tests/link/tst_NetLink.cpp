// Network ports (tcp://, rfc2217://) on the loopback address: their names,
// the Telnet byte level, the line an RFC 2217 server is given, and every way
// a server can fail the session, each with its reason and nothing written.
#include "link/NetLink_Unt.h"
#include "link/SerialPort_Unt.h"
#include "link/TelnetCodec_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/LoginJob_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/SimTcpServer_Unt.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

constexpr int JobWaitMs = 60000;
constexpr int English = 1;

bool RunToEnd(TDeviceJob &job)
{
    if (!job.start())
        return false;
    return QTest::qWaitFor([&job] { return !job.isRunning(); }, JobWaitMs);
}

// A server of another kind: says its greeting on every connection and keeps
// what it receives.
class TForeignServer : public QObject
{
public:
    explicit TForeignServer(const QByteArray &greeting) : m_greeting(greeting)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_sockets << socket;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { m_received += socket->readAll(); });
                if (!m_greeting.isEmpty())
                    socket->write(m_greeting);
            }
        });
    }
    bool Listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 Port() const { return m_server.serverPort(); }
    const QByteArray &Received() const { return m_received; }

private:
    QTcpServer m_server;
    QByteArray m_greeting;
    QByteArray m_received;
    QList<QPointer<QTcpSocket>> m_sockets;
};

// A loopback port nothing listens on: taken from the system, then given back.
quint16 ClosedPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

// The data bytes in what a Telnet client sent, its negotiation left out.
QByteArray TelnetData(const QByteArray &wire)
{
    QList<Telnet::TEvent> events;
    return Telnet::TReader().Take(wire, &events);
}

} // namespace

class TestNetLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TComm::SetLanguage(English);
    }

    void readsNetworkNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("usualName");
        QTest::newRow("raw TCP to an IPv4 address")
            << "tcp://192.168.1.20:4001" << false << "192.168.1.20" << 4001 << "tcp://192.168.1.20:4001";
        QTest::newRow("RFC 2217 to a host name, prefix in capitals")
            << "RFC2217://serial-gw.plant.local:2217" << true << "serial-gw.plant.local" << 2217
            << "rfc2217://serial-gw.plant.local:2217";
        QTest::newRow("IPv6 in brackets") << "tcp://[::1]:65535" << false << "::1" << 65535 << "tcp://[::1]:65535";
        QTest::newRow("blanks around, port 1") << "  rfc2217://10.0.0.5:1 " << true << "10.0.0.5" << 1
                                               << "rfc2217://10.0.0.5:1";
    }

    void readsNetworkNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, rfc2217);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, usualName);
        QVERIFY(NetPorts::IsNetworkName(name));
        QString error;
        const std::optional<TNetAddress> address = NetPorts::Parse(name, English, &error);
        QVERIFY2(address, qPrintable(error));
        QCOMPARE(address->kind == TNetAddress::TKind::Rfc2217, rfc2217);
        QCOMPARE(address->host, host);
        QCOMPARE(int(address->port), port);
        QCOMPARE(address->Name(), usualName);
    }

    void otherNamesAreNoNetworkNames()
    {
        for (const char *name : {"/dev/ttyUSB0", "COM3", "demo:K802", "telnet://host:23", "tcp:/host:1"})
            QVERIFY2(!NetPorts::IsNetworkName(QString::fromLatin1(name)), name);
    }

    void refusesMalformedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString form = QStringLiteral(
            "\"%1\" is no network port: write tcp://HOST:PORT or rfc2217://HOST:PORT, e.g. tcp://192.168.1.20:4001");
        const QString range = QStringLiteral("\"%1\": the port number must be from 1 to 65535");
        const auto row = [](const char *tag, const QString &name, const QString &pattern) {
            QTest::newRow(tag) << name << pattern.arg(name);
        };
        row("no port", QStringLiteral("tcp://10.0.0.5"), form);
        row("empty port", QStringLiteral("tcp://10.0.0.5:"), form);
        row("no host", QStringLiteral("rfc2217://:4001"), form);
        row("port with a letter", QStringLiteral("tcp://10.0.0.5:40O1"), form);
        row("negative port", QStringLiteral("tcp://10.0.0.5:-1"), form);
        row("a path after the port", QStringLiteral("tcp://10.0.0.5:4001/dev/ttyS0"), form);
        row("IPv6 without brackets", QStringLiteral("tcp://::1:4001"), form);
        row("blank inside the host", QStringLiteral("tcp://plant gw:4001"), form);
        row("brackets around no IPv6 address", QStringLiteral("tcp://[gateway]:4001"), form);
        row("port 0", QStringLiteral("tcp://10.0.0.5:0"), range);
        row("port 65536", QStringLiteral("rfc2217://10.0.0.5:65536"), range);
        row("port of 20 digits", QStringLiteral("tcp://10.0.0.5:99999999999999999999"), range);
    }

    void refusesMalformedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!NetPorts::Parse(name, English, &error));
        QCOMPARE(error, message);

        // The port component refuses it on open and stays closed.
        TComm port;
        port.SetCommName(name);
        try {
            port.OpenPort();
            QFAIL("opened");
        } catch (const ECommsError &failure) {
            QCOMPARE(failure.message(), message);
        }
        QVERIFY(!port.Connected());
        QVERIFY(!port.WriteData(QByteArray("#")));
    }

    void malformedNameInChinese()
    {
        QString error;
        QVERIFY(!NetPorts::Parse(QStringLiteral("tcp://h:70000"), 0, &error));
        QCOMPARE(error, QStringLiteral("“tcp://h:70000”：端口号必须在1～65535之间"));
    }

    void telnetReaderSeparatesDataAndCommands_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("events");
        QTest::newRow("plain data") << QByteArray("#\x83\x00", 3) << QByteArray("#\x83\x00", 3) << "";
        QTest::newRow("doubled 0xFF is one data byte")
            << QByteArray("\x23\xFF\xFF\xFF\xFF\x01", 6) << QByteArray("\x23\xFF\xFF\x01", 4) << "";
        QTest::newRow("negotiation between data")
            << QByteArray("A\xFF\xFD\x2C" "B", 5) << QByteArray("AB") << "N253/44";
        QTest::newRow("subnegotiation with a doubled 0xFF in its value")
            << QByteArray("\xFF\xFA\x2C\x65\x00\x01\xFF\xFF\xFF\xF0Z", 11) << QByteArray("Z")
            << "S44:650001ff";
        QTest::newRow("bare command") << QByteArray("\xFF\xF1x", 3) << QByteArray("x") << "C241";
    }

    void telnetReaderSeparatesDataAndCommands()
    {
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, data);
        QFETCH(QString, events);
        const auto describe = [](const QList<Telnet::TEvent> &list) {
            QStringList parts;
            for (const Telnet::TEvent &event : list) {
                switch (event.kind) {
                case Telnet::TEvent::TKind::Negotiation:
                    parts << QStringLiteral("N%1/%2").arg(event.verb).arg(event.option);
                    break;
                case Telnet::TEvent::TKind::Subnegotiation:
                    parts << QStringLiteral("S%1:%2").arg(event.option).arg(QString::fromLatin1(event.payload.toHex()));
                    break;
                case Telnet::TEvent::TKind::Command:
                    parts << QStringLiteral("C%1").arg(event.verb);
                    break;
                }
            }
            return parts.join(QLatin1Char(';'));
        };
        // In one read, and cut after every byte.
        QList<Telnet::TEvent> whole;
        QCOMPARE(Telnet::TReader().Take(wire, &whole), data);
        QList<Telnet::TEvent> pieces;
        Telnet::TReader reader;
        QByteArray gathered;
        for (const char byte : wire)
            gathered += reader.Take(QByteArray(1, byte), &pieces);
        QCOMPARE(gathered, data);
        QCOMPARE(describe(pieces), describe(whole));
        QCOMPARE(describe(whole), events);
    }

    void everyByteSurvivesEscaping()
    {
        QByteArray all;
        for (int value = 0; value < 256; ++value)
            all.append(char(value));
        all += QByteArray(3, char(0xFF));
        const QByteArray wire = Telnet::Escape(all);
        QCOMPARE(wire.size(), all.size() + 4);
        QList<Telnet::TEvent> events;
        QCOMPARE(Telnet::TReader().Take(wire, &events), all);
        QVERIFY(events.isEmpty());
    }

    void rfc2217GivesTheServerTheLoggerLine()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K803);
        device.setLatencyMs(1);
        TSimTcpServer server(&device, TSimTcpServer::TMode::Rfc2217);
        QVERIFY2(server.listen(0), qPrintable(server.errorString()));
        TDeviceSession session;
        QString error;
        QVERIFY2(session.open(server.portName(), &error), qPrintable(error));
        TLoginJob login(&session, QStringLiteral("5937"));
        QVERIFY(RunToEnd(login));
        QCOMPARE(login.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(login.Identity().model, QStringLiteral("K803"));
        // The image holds many 0xFF bytes: each came doubled and was taken once.
        TConfigReadJob read(&session, login.Identity().modelIndex);
        read.SetAskValues(false);
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(read.Image().left(TDeviceSimulator::ImageSize), device.configImage());

        const TSimTcpServer::TLineSettings &line = server.lineSettings();
        QCOMPARE(line.baud, quint32(115200));
        QCOMPARE(line.dataSize, 8);
        QCOMPARE(line.parity, 1);   // none
        QCOMPARE(line.stopSize, 1); // one stop bit
        QCOMPARE(line.controls, (QList<int>{1, 9, 12})); // no flow control, DTR off, RTS off
        QCOMPARE(line.purges, 1);
        QCOMPARE(server.clientCount(), 1);
    }

    void answersTheServersOptionRequestsOnce()
    {
        // The server asks for a terminal type and offers echo, asks for and
        // offers status (twice each), then agrees to COM port control.
        QByteArray greeting;
        for (int round = 0; round < 2; ++round)
            greeting += Telnet::Negotiation(Telnet::DO, 24) + Telnet::Negotiation(Telnet::WILL, 1)
                + Telnet::Negotiation(Telnet::DO, 5) + Telnet::Negotiation(Telnet::WILL, 5);
        greeting += Telnet::Negotiation(Telnet::DO, Telnet::OptComPort);
        TForeignServer server(greeting);
        QVERIFY(server.Listen());
        TComm port;
        UseLoggerLine(port);
        port.SetCommName(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.Port()));
        port.OpenPort();
        // Written before the line is up: kept, then sent with 0xFF doubled.
        QVERIFY(port.WriteData(QByteArray("#\xFF\x01", 3)));
        QTRY_VERIFY(server.Received().endsWith(QByteArray("#\xFF\xFF\x01", 4)));
        const QByteArray wire = server.Received();
        QCOMPARE(wire.count(Telnet::Negotiation(Telnet::WONT, 24)), 1);
        QCOMPARE(wire.count(Telnet::Negotiation(Telnet::DONT, 1)), 1);
        QCOMPARE(wire.count(Telnet::Negotiation(Telnet::WONT, 5)), 1);
        QCOMPARE(wire.count(Telnet::Negotiation(Telnet::DONT, 5)), 1);
        // The DO answered our WILL: no second WILL for COM port control.
        QCOMPARE(wire.count(Telnet::Negotiation(Telnet::WILL, Telnet::OptComPort)), 1);
        QVERIFY(wire.contains(Telnet::ComPortCommand(Telnet::ComSetBaudRate, QByteArray("\x00\x01\xC2\x00", 4))));
        QVERIFY(wire.contains(Telnet::ComPortCommand(Telnet::ComPurgeData, QByteArray(1, char(3)))));
        QCOMPARE(TelnetData(wire), QByteArray("#\xFF\x01", 3));
        QVERIFY(port.Connected());
        QCOMPARE(port.LineError(), QString());
    }

    void serverFaultsEndTheLineWithTheirReason_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("rfc2217");
        QTest::addColumn<QString>("message");
        QTest::newRow("raw TCP, nobody listens") << "closed" << false
                                                 << "%1 refused the connection: no serial server listens on that port";
        QTest::newRow("RFC 2217, nobody listens") << "closed" << true
                                                  << "%1 refused the connection: no serial server listens on that port";
        const QString noRfc2217 = QStringLiteral(
            "%1 does not speak RFC 2217 (Telnet COM port control); a raw TCP server is reached with tcp://");
        QTest::newRow("RFC 2217 to a server that says nothing") << "silent" << true << noRfc2217;
        QTest::newRow("RFC 2217 to a server that greets in text") << "ssh" << true << noRfc2217;
        QTest::newRow("RFC 2217 to a server that refuses COM port control") << "refusing" << true << noRfc2217;
        QTest::newRow("raw TCP to a Telnet server") << "telnet" << false << "%1 speaks Telnet; reach it with rfc2217://%2";
    }

    void serverFaultsEndTheLineWithTheirReason()
    {
        QFETCH(QString, server);
        QFETCH(bool, rfc2217);
        QFETCH(QString, message);

        TDeviceSimulator device(TDeviceSimulator::Model::K802);
        TSimTcpServer refusing(&device, TSimTcpServer::TMode::Rfc2217);
        refusing.setRefuseComPort(true);
        std::unique_ptr<TForeignServer> foreign;
        quint16 port = 0;
        if (server == QLatin1String("closed")) {
            port = ClosedPort();
        } else if (server == QLatin1String("refusing")) {
            QVERIFY(refusing.listen(0));
            port = refusing.port();
        } else {
            QByteArray greeting;
            if (server == QLatin1String("ssh"))
                greeting = "SSH-2.0-OpenSSH_9.2p1\r\n";
            else if (server == QLatin1String("telnet"))
                greeting = QByteArray("\xFF\xFD\x18\xFF\xFD\x20", 6);
            foreign = std::make_unique<TForeignServer>(greeting);
            QVERIFY(foreign->Listen());
            port = foreign->Port();
        }
        QVERIFY(port != 0);
        const QString hostPort = QStringLiteral("127.0.0.1:%1").arg(port);
        const QString name = (rfc2217 ? QStringLiteral("rfc2217://") : QStringLiteral("tcp://")) + hostPort;

        TDeviceSession session;
        QSignalSpy lost(&session, &TDeviceSession::connectionLost);
        QString error;
        QVERIFY2(session.open(name, &error), qPrintable(error));
        QElapsedTimer clock;
        clock.start();
        TLoginJob login(&session, QStringLiteral("5937"));
        QVERIFY(RunToEnd(login));
        QCOMPARE(login.outcome(), TDeviceJob::TOutcome::LineLost);
        // Reported before the session's own reply time-out would have.
        QVERIFY2(clock.elapsed() < TNetLink::SetupTimeoutMs + 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lost.count(), 1);
        QCOMPARE(session.lineError(), QString(message).replace(QLatin1String("%1"), name).replace(QLatin1String("%2"), hostPort));
        QVERIFY(!session.isOpen());

        // Nothing reached a device: the simulator saw no request, and a
        // foreign RFC 2217 server got the negotiation only.
        QVERIFY(device.requestLog().isEmpty());
        if (foreign && rfc2217)
            QCOMPARE(TelnetData(foreign->Received()), QByteArray());
        // Opening again clears the reason.
        QVERIFY(session.open(name, &error));
        QCOMPARE(session.lineError(), QString());
        session.close();
    }

    void droppedConnectionIsALostLine_data()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::newRow("raw TCP") << false;
        QTest::newRow("RFC 2217") << true;
    }

    void droppedConnectionIsALostLine()
    {
        QFETCH(bool, rfc2217);
        TDeviceSimulator device(TDeviceSimulator::Model::K802);
        device.setLatencyMs(1);
        device.setHistoryRecordCount(400);
        TSimTcpServer server(&device, rfc2217 ? TSimTcpServer::TMode::Rfc2217 : TSimTcpServer::TMode::RawTcp);
        QVERIFY(server.listen(0));
        TDeviceSession session;
        QString error;
        QVERIFY(session.open(server.portName(), &error));
        QSignalSpy lost(&session, &TDeviceSession::connectionLost);
        THistoryReadJob read(&session, 100);
        connect(&read, &THistoryReadJob::pageRead, this, [&server](int page) {
            if (page == 3)
                server.dropClient();
        });
        QVERIFY(RunToEnd(read));
        // As with a pulled cable: the job ends lost after the pages that came.
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::LineLost);
        QCOMPARE(read.PagesRead(), 4);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(session.lineError(), QStringLiteral("%1 closed the connection").arg(server.portName()));
        QVERIFY(!session.isOpen());
        QVERIFY(!session.busy());
    }

    void secondClientIsTurnedAway()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K801);
        device.setLatencyMs(1);
        TSimTcpServer server(&device, TSimTcpServer::TMode::RawTcp);
        QVERIFY(server.listen(0));
        TDeviceSession first;
        QString error;
        QVERIFY(first.open(server.portName(), &error));
        TLoginJob login(&first, QStringLiteral("5937"));
        QVERIFY(RunToEnd(login));
        QCOMPARE(login.outcome(), TDeviceJob::TOutcome::Done);

        TDeviceSession second;
        QVERIFY(second.open(server.portName(), &error));
        TLoginJob other(&second, QStringLiteral("5937"));
        QVERIFY(RunToEnd(other));
        QCOMPARE(other.outcome(), TDeviceJob::TOutcome::LineLost);
        QCOMPARE(second.lineError(), QStringLiteral("%1 closed the connection").arg(server.portName()));
        QVERIFY(first.isOpen());
        QCOMPARE(server.clientCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNetLink)
#include "tst_NetLink.moc"
