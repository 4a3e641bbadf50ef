#include "link/BasicProtocol_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/LoginJob_Unt.h"

#include <QProcess>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Sends a request on the open line and gathers the reply frame.
QByteArray Exchange(int fd, const QByteArray &request)
{
    if (::write(fd, request.constData(), size_t(request.size())) != request.size())
        return {};
    QByteArray reply;
    const bool complete = QTest::qWaitFor([&] {
        char buffer[512];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0)
            reply.append(buffer, int(got));
        return reply.size() >= 9 && reply.size() >= 9 + TBasicProtocol().GetDataLength(reply);
    }, 5000);
    return complete ? reply : QByteArray();
}

} // namespace

// The k80x-sim program: prints the line's path, then serves on it.
class TestSimTool : public QObject
{
    Q_OBJECT

private slots:
    void servesOnThePrintedPath()
    {
        QProcess tool;
        tool.start(QStringLiteral(K80X_SIM_PATH),
                   {"--model", "k801", "--records", "6", "--latency", "0"});
        QVERIFY2(tool.waitForStarted(), qPrintable(tool.errorString()));
        QVERIFY(QTest::qWaitFor([&] { return tool.canReadLine(); }, 10000));
        const QString path = QString::fromLocal8Bit(tool.readLine()).trimmed();
        QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));

        const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY2(fd >= 0, qPrintable(path));
        const TVersionProtocol version;
        QCOMPARE(version.ReplyModel(Exchange(fd, version.VersionRequest())), QStringLiteral("K801"));
        const THistoryProtocol history;
        const TBasicProtocol codec;
        QVERIFY(codec.GetData(Exchange(fd, history.HistoryRecordRequest(6))) != QByteArray(64, char(0xFF)));
        QCOMPARE(codec.GetData(Exchange(fd, history.HistoryRecordRequest(7))), QByteArray(64, char(0xFF)));
        ::close(fd);

        QCOMPARE(tool.state(), QProcess::Running);
        tool.terminate();
        QVERIFY(tool.waitForFinished(5000));
    }

    void servesAsANetworkServer_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("raw TCP") << "--tcp" << "tcp://127.0.0.1:";
        QTest::newRow("RFC 2217") << "--rfc2217" << "rfc2217://127.0.0.1:";
    }

    void servesAsANetworkServer()
    {
        QFETCH(QString, option);
        QFETCH(QString, prefix);
        QProcess tool;
        tool.start(QStringLiteral(K80X_SIM_PATH), {"--model", "K803", "--latency", "0", option, "0"});
        QVERIFY2(tool.waitForStarted(), qPrintable(tool.errorString()));
        QVERIFY(QTest::qWaitFor([&] { return tool.canReadLine(); }, 10000));
        const QString name = QString::fromLocal8Bit(tool.readLine()).trimmed();
        QVERIFY2(name.startsWith(prefix), qPrintable(name));

        TDeviceSession session;
        QString error;
        QVERIFY2(session.open(name, &error), qPrintable(error));
        TLoginJob login(&session, QStringLiteral("5937"));
        QVERIFY(login.start());
        QVERIFY(QTest::qWaitFor([&] { return !login.isRunning(); }, 20000));
        QCOMPARE(login.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(login.Identity().model, QStringLiteral("K803"));
        session.close();

        QCOMPARE(tool.state(), QProcess::Running);
        tool.terminate();
        QVERIFY(tool.waitForFinished(5000));
    }

    void refusesBadOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown model") << QStringList{"--model", "K900"};
        QTest::newRow("records not a number") << QStringList{"--records", "many"};
        QTest::newRow("records above the log size") << QStringList{"--records", "20001"};
        QTest::newRow("negative latency") << QStringList{"--latency", "-5"};
        QTest::newRow("password too long") << QStringList{"--password", "59371"};
        QTest::newRow("both network servers") << QStringList{"--tcp", "0", "--rfc2217", "0"};
        QTest::newRow("TCP port above 65535") << QStringList{"--tcp", "65536"};
        QTest::newRow("RFC 2217 port not a number") << QStringList{"--rfc2217", "telnet"};
    }

    void refusesBadOptions()
    {
        QFETCH(QStringList, arguments);
        QProcess tool;
        tool.start(QStringLiteral(K80X_SIM_PATH), arguments);
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 2);
        QCOMPARE(tool.readAllStandardOutput(), QByteArray());
        QVERIFY(tool.readAllStandardError().startsWith("k80x-sim: "));
    }
};

QTEST_GUILESS_MAIN(TestSimTool)
#include "tst_SimTool.moc"
