// The k80x-cli program on network ports: simulated loggers behind loopback
// serial servers (raw TCP and RFC 2217) served by this test's event loop, so
// the simulators show what reached a device.
#include "base/GbkText_Unt.h"
#include "fixtures/CliRun.h"
#include "config/ConfigImage_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/SimTcpServer_Unt.h"
#include "fixtures/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using namespace TestFiles;

namespace {

constexpr int kRunTimeoutMs = 120000;

// A simulated logger behind a loopback serial server.
struct TNetLogger
{
    TDeviceSimulator Device;
    TSimTcpServer Server;

    TNetLogger(TDeviceSimulator::Model model, bool rfc2217)
        : Device(model), Server(&Device, rfc2217 ? TSimTcpServer::TMode::Rfc2217 : TSimTcpServer::TMode::RawTcp)
    {
        Device.setLatencyMs(1);
    }
    QString Port() const { return Server.portName(); }
};

std::unique_ptr<TNetLogger> OpenLogger(TDeviceSimulator::Model model, bool rfc2217)
{
    auto logger = std::make_unique<TNetLogger>(model, rfc2217);
    return logger->Server.listen(0) ? std::move(logger) : nullptr;
}

QStringList CsvLines(const QString &fileName)
{
    QStringList lines = TGbkText::Decode(FileBytes(fileName)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int FilledLines(const QStringList &lines)
{
    int filled = 0;
    for (const QString &line : lines)
        filled += QString(line).remove(QLatin1Char(',')).isEmpty() ? 0 : 1;
    return filled;
}

} // namespace

class TestCliNetwork : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_file = 0;

    QString NewFile(const QString &suffix)
    {
        return m_dir.filePath(QStringLiteral("n%1%2").arg(++m_file).arg(suffix));
    }

    CliRun::TRun Run(const QStringList &arguments, const QString &zone = QString())
    {
        QProcessEnvironment environment = CliRun::UserEnvironment(m_dir.path());
        if (!zone.isEmpty())
            environment.insert(QStringLiteral("TZ"), zone);
        return CliRun::Run(arguments, environment, kRunTimeoutMs);
    }

    static void TransportRows()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::newRow("raw TCP") << false;
        QTest::newRow("RFC 2217") << true;
    }

private slots:
    void readAndVerifiedWrite_data() { TransportRows(); }

    void readAndVerifiedWrite()
    {
        QFETCH(bool, rfc2217);
        auto logger = OpenLogger(TDeviceSimulator::Model::K802, rfc2217);
        QVERIFY(logger);
        // Another ID and description; the factory image around them is full
        // of 0xFF bytes, which RFC 2217 doubles on the way both ways.
        QByteArray custom = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K802);
        const QByteArray description = QByteArray("Cold room 7").leftJustified(60, '\0');
        custom.replace(ConfigMap::DeviceDescription, description.size(), description);
        qToLittleEndian(quint16(0xFFFF), custom.data() + ConfigMap::DeviceId);
        logger->Device.setConfigImage(custom);

        const QString file = NewFile(QStringLiteral(".bin"));
        const CliRun::TRun read = Run({"read", "--port", logger->Port(), "--out", file, "--lang", "en"});
        QVERIFY2(read.ExitCode == 0, qPrintable(read.Err + read.Out));
        QCOMPARE(FileBytes(file), custom);

        logger->Device.setConfigImage(TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K802));
        const CliRun::TRun write = Run({"write", "--port", logger->Port(), "--in", file, "--lang", "en"});
        QVERIFY2(write.ExitCode == 0, qPrintable(write.Err + write.Out));
        QVERIFY2(write.Out.contains(QStringLiteral("written and verified")), qPrintable(write.Out));
        QCOMPARE(logger->Device.configImage(), custom);
        QCOMPARE(logger->Server.clientCount(), 2);
    }

    void historyOfManyRecords_data() { TransportRows(); }

    void historyOfManyRecords()
    {
        QFETCH(bool, rfc2217);
        auto logger = OpenLogger(TDeviceSimulator::Model::K801, rfc2217);
        QVERIFY(logger);
        logger->Device.setHistoryRecordCount(600);
        const QString file = NewFile(QStringLiteral(".csv"));
        const CliRun::TRun run = Run({"history", "--port", logger->Port(), "--out", file, "--lang", "en"});
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err + run.Out));
        QVERIFY2(run.Out.contains(QStringLiteral("600 records saved")), qPrintable(run.Out));
        const QStringList lines = CsvLines(file);
        QCOMPARE(FilledLines(lines), 600);
        const THistoryTexts texts = THistoryTexts::ForLanguage(ConstLang::English);
        for (const int record : {0, 337, 599})
            QCOMPARE(lines.at(record),
                     THistoryCsv::JoinLine(HistoryRecord::RowCells(logger->Device.historyRecord(record), 0, texts)));
    }

    void historyIsoHasOffsetAndHeader()
    {
        auto logger = OpenLogger(TDeviceSimulator::Model::K803, false);
        QVERIFY(logger);
        logger->Device.setHistoryRecordCount(10);
        const QString file = NewFile(QStringLiteral(".csv"));
        // A zone west of UTC without summer time: every offset is -03:00.
        const CliRun::TRun run = Run({"history", "--port", logger->Port(), "--out", file, "--iso", "--lang", "en"},
                             QStringLiteral("America/Sao_Paulo"));
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err + run.Out));
        const QStringList lines = CsvLines(file);
        QCOMPARE(lines.size(), 11);
        QVERIFY2(lines.first().startsWith(QStringLiteral("Time (ISO 8601),")), qPrintable(lines.first()));
        const QByteArray record = logger->Device.historyRecord(9);
        const QString expected = QStringLiteral("20%1-%2-%3T%4:%5:%6-03:00")
                                     .arg(quint8(record.at(4)), 2, 10, QLatin1Char('0'))
                                     .arg(quint8(record.at(5)), 2, 10, QLatin1Char('0'))
                                     .arg(quint8(record.at(6)), 2, 10, QLatin1Char('0'))
                                     .arg(quint8(record.at(7)), 2, 10, QLatin1Char('0'))
                                     .arg(quint8(record.at(8)), 2, 10, QLatin1Char('0'))
                                     .arg(quint8(record.at(9)), 2, 10, QLatin1Char('0'));
        const QStringList last = THistoryCsv::SplitLine(lines.at(10));
        QCOMPARE(last.first(), expected);
        // The rest of the row as the header-less form has it, date and time left out.
        const THistoryTexts texts = THistoryTexts::ForLanguage(ConstLang::English);
        QCOMPARE(last.mid(1), HistoryRecord::RowCells(record, 2, texts).mid(2));
    }

    void parallelBatch_data()
    {
        QTest::addColumn<QString>("parallel");
        QTest::addColumn<int>("atOnce");
        QTest::newRow("one at a time by default") << QString() << 1;
        QTest::newRow("--parallel 3") << "3" << 3;
        QTest::newRow("--parallel 8 with fewer devices") << "8" << 3;
    }

    void parallelBatch()
    {
        QFETCH(QString, parallel);
        QFETCH(int, atOnce);
        // The first device has the longest log, so it ends last when they run together.
        std::vector<std::unique_ptr<TNetLogger>> loggers;
        for (const int records : {240, 40, 40}) {
            loggers.push_back(OpenLogger(TDeviceSimulator::Model::K801, records == 40));
            QVERIFY(loggers.back());
            loggers.back()->Device.setHistoryRecordCount(records);
        }
        // When each device heard its first and its last request.
        QElapsedTimer clock;
        clock.start();
        std::vector<std::pair<qint64, qint64>> spans(loggers.size(), {-1, -1});
        for (std::size_t index = 0; index < loggers.size(); ++index) {
            connect(&loggers[index]->Device, &TDeviceSimulator::requestReceived, this, [&, index] {
                if (spans[index].first < 0)
                    spans[index].first = clock.nsecsElapsed();
                spans[index].second = clock.nsecsElapsed();
            });
        }
        quint16 closed = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closed = probe.serverPort();
        }
        const QStringList ports{loggers[0]->Port(), QStringLiteral("tcp://127.0.0.1:%1").arg(closed),
                                loggers[1]->Port(), loggers[2]->Port()};
        QStringList arguments{"history", "--out", m_dir.filePath(QStringLiteral("p{port}.csv")), "--json", "--lang", "en"};
        for (const QString &port : ports)
            arguments << "--port" << port;
        if (!parallel.isEmpty())
            arguments << "--parallel" << parallel;
        const CliRun::TRun run = Run(arguments);
        // The highest exit code: the port nobody listens on.
        QCOMPARE(run.ExitCode, 4);
        int most = 0;
        for (const auto &span : spans) {
            int busy = 0;
            for (const auto &other : spans)
                busy += other.first <= span.first && span.first <= other.second ? 1 : 0;
            most = qMax(most, busy);
        }
        QCOMPARE(most, atOnce);
        const QJsonArray devices = QJsonDocument::fromJson(run.Out.toUtf8()).object().value("devices").toArray();
        QCOMPARE(devices.size(), 4);
        for (int index = 0; index < 4; ++index)
            QCOMPARE(devices.at(index).toObject().value("port").toString(), ports.at(index));
        QCOMPARE(devices.at(0).toObject().value("records").toInt(), 240);
        QCOMPARE(devices.at(1).toObject().value("exitCode").toInt(), 4);
        QCOMPARE(devices.at(3).toObject().value("records").toInt(), 40);
    }

    void parallelNeedsANumber_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("zero") << "0";
        QTest::newRow("above 64") << "65";
        QTest::newRow("a word") << "all";
    }

    void parallelNeedsANumber()
    {
        QFETCH(QString, value);
        const CliRun::TRun run = Run({"info", "--port", "tcp://127.0.0.1:1", "--parallel", value, "--lang", "en"});
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains(QStringLiteral("--parallel takes a number from 1 to 64, not \"%1\"").arg(value)),
                 qPrintable(run.Err));
    }

    void networkFaults_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("malformed address") << "tcp://10.0.0.5" << 2
                                           << "\"tcp://10.0.0.5\" is no network port: write tcp://HOST:PORT";
        QTest::newRow("port out of range") << "rfc2217://127.0.0.1:99999" << 2
                                           << "the port number must be from 1 to 65535";
        QTest::newRow("nobody listens") << "tcp://127.0.0.1:$CLOSED" << 4
                                        << "tcp://127.0.0.1:$CLOSED refused the connection";
        QTest::newRow("RFC 2217 to a raw TCP server") << "rfc2217://127.0.0.1:$RAW" << 4
                                                      << "does not speak RFC 2217";
    }

    void networkFaults()
    {
        QFETCH(QString, port);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        // A raw server whose logger would answer: it must hear nothing.
        auto raw = OpenLogger(TDeviceSimulator::Model::K802, false);
        QVERIFY(raw);
        quint16 closed = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closed = probe.serverPort();
        }
        const auto fill = [&](QString text) {
            return text.replace(QLatin1String("$CLOSED"), QString::number(closed))
                .replace(QLatin1String("$RAW"), QString::number(raw->Server.port()));
        };
        const QString file = NewFile(QStringLiteral(".bin"));
        QFile image(file);
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K802));
        image.close();

        const CliRun::TRun run = Run({"write", "--port", fill(port), "--in", file, "--lang", "en"});
        QCOMPARE(run.ExitCode, exitCode);
        QVERIFY2((run.Err + run.Out).contains(fill(message)), qPrintable(run.Err + run.Out));
        // A raw TCP server passes every byte on; the logger behind it got none.
        QVERIFY(raw->Device.requestLog().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliNetwork)
#include "tst_CliNetwork.moc"
