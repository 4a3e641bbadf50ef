// Unattended collection into the history archive: k80x-cli history
// --archive [--new] against simulated loggers on pseudo-terminals served by
// this test's event loop, k80x-cli archive list|export without a device, and
// the archive shared with another writer (the window's) at the same time.
#include "base/GbkText_Unt.h"
#include "fixtures/CliRun.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "session/DeviceRequests_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"
#include "fixtures/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace TestFiles;

namespace {

constexpr int kRunTimeoutMs = 60000;

struct TLogger
{
    TDeviceSimulator Device;
    TPtyBridge Bridge{&Device};

    explicit TLogger(int model) : Device(TDeviceSimulator::Model(model)) { Device.setLatencyMs(1); }
    QString Port() const { return Bridge.slavePath(); }
};

QStringList CsvLines(const QString &fileName)
{
    QStringList lines = TGbkText::Decode(FileBytes(fileName)).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The line the window's export writes for a record the device holds.
QString RecordLine(const TDeviceSimulator &device, int index, int model)
{
    return THistoryCsv::JoinLine(HistoryRecord::RowCells(device.historyRecord(index), model,
                                                         THistoryTexts::ForLanguage(ConstLang::English)));
}

} // namespace

class TestCliArchive : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString DataHome() const { return m_dir->filePath(QStringLiteral("data")); }
    QString ArchivePath() const { return DataHome() + QStringLiteral("/k80x/history-archive.sqlite"); }

    // Runs k80x-cli while this test's event loop serves the loggers (and
    // runs whatever else the test set going).
    CliRun::TRun Run(const QStringList &arguments)
    {
        return CliRun::Run(arguments, CliRun::UserEnvironment(m_dir->path()), kRunTimeoutMs);
    }

    QJsonObject ListJson()
    {
        const CliRun::TRun run = Run({"archive", "list", "--json"});
        if (run.ExitCode != 0)
            return {};
        return QJsonDocument::fromJson(run.Out.toUtf8()).object();
    }

    int ArchivedRecords(const QString &imei)
    {
        for (const QJsonValue &device : ListJson().value(QStringLiteral("devices")).toArray()) {
            if (device.toObject().value(QStringLiteral("imei")).toString() == imei)
                return device.toObject().value(QStringLiteral("records")).toInt();
        }
        return 0;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    // A first collection stores the whole log; a second with --new reads
    // only what came after, and a log restarted on the device is noticed
    // and read from its start. Export gives back every archived record.
    void collectNewAndExport()
    {
        TLogger logger(1);
        QVERIFY(logger.Bridge.open());
        logger.Device.setHistoryRecordCount(30);
        const QString imei = logger.Device.imei();

        const CliRun::TRun first = Run({"history", "--port", logger.Port(), "--archive", "--lang", "en"});
        QVERIFY2(first.ExitCode == 0, qPrintable(first.Err));
        QVERIFY2(first.Out.contains(QStringLiteral("30 new records archived (30 records of this device")),
                 qPrintable(first.Out));
        QCOMPARE(ArchivedRecords(imei), 30);
        {
            // The limits in force go with the download: the configuration
            // is read before the log.
            THistoryArchive archive(ArchivePath());
            QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
            const TArchivedConfiguration kept = archive.ConfigurationFor(imei, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
            QVERIFY(kept.IsValid());
            QCOMPARE(kept.image, logger.Device.configImage());
        }

        // Collected again: nothing new, nothing stored twice.
        logger.Device.appendHistoryRecords(12);
        const QByteArray before = logger.Device.historyRecord(29);
        const CliRun::TRun again = Run({"history", "--port", logger.Port(), "--archive", "--new", "--lang", "en"});
        QVERIFY2(again.ExitCode == 0, qPrintable(again.Err));
        QVERIFY2(again.Out.contains(QStringLiteral("12 new records archived (42 records")), qPrintable(again.Out));
        QCOMPARE(logger.Device.historyRecord(29), before);

        const QString csv = m_dir->filePath(QStringLiteral("all.csv"));
        const CliRun::TRun exported = Run({"archive", "export", "--imei", imei, "--out", csv, "--lang", "en"});
        QVERIFY2(exported.ExitCode == 0, qPrintable(exported.Err));
        QVERIFY(exported.Out.contains(QStringLiteral("42 records of %1").arg(imei)));
        // The window's export: the records, then the grid's empty rows.
        const QStringList lines = CsvLines(csv);
        QCOMPARE(lines.size(), THistoryGridModel::RecordRowCount);
        QCOMPARE(lines.at(0), RecordLine(logger.Device, 0, 1));
        QCOMPARE(lines.at(41), RecordLine(logger.Device, 41, 1));
        QCOMPARE(QString(lines.at(42)).remove(QLatin1Char(',')), QString());

        // The log was erased and written again: fewer records, other times.
        logger.Device.setHistoryRecordCount(5, 60);
        const CliRun::TRun restarted = Run({"history", "--port", logger.Port(), "--archive", "--new", "--lang", "en"});
        QVERIFY2(restarted.ExitCode == 0, qPrintable(restarted.Err));
        QVERIFY2(restarted.Out.contains(QStringLiteral("no longer holds the last archived record 42")),
                 qPrintable(restarted.Out));
        QVERIFY(restarted.Out.contains(QStringLiteral("5 new records archived (47 records")));
    }

    // With --archive and --out the same download also goes to CSV.
    void collectAlsoToCsv()
    {
        TLogger logger(0);
        QVERIFY(logger.Bridge.open());
        logger.Device.setHistoryRecordCount(8);
        const QString csv = m_dir->filePath(QStringLiteral("log.csv"));
        const CliRun::TRun run = Run({"history", "--port", logger.Port(), "--archive", "--out", csv, "--json"});
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
        const QJsonObject result = QJsonDocument::fromJson(run.Out.toUtf8()).object();
        const QJsonObject device = result.value(QStringLiteral("devices")).toArray().first().toObject();
        QCOMPARE(device.value(QStringLiteral("archived")).toInt(), 8);
        QCOMPARE(device.value(QStringLiteral("records")).toInt(), 8);
        QCOMPARE(CsvLines(csv).first(), RecordLine(logger.Device, 0, 0));
        QCOMPARE(ArchivedRecords(logger.Device.imei()), 8);
    }

    // The window stores its batches while the tool collects into the same
    // archive: neither waits for ever, neither loses a record.
    void windowAndToolShareTheArchive()
    {
        TLogger logger(1);
        QVERIFY(logger.Bridge.open());
        logger.Device.setHistoryRecordCount(600);
        QVERIFY(QDir().mkpath(QFileInfo(ArchivePath()).absolutePath()));
        THistoryArchive window(ArchivePath());
        QCOMPARE(window.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(window.JournalMode(), QStringLiteral("wal"));

        // Another device's records, a batch every few milliseconds, for as
        // long as the tool runs.
        const QByteArray raw = logger.Device.historyRecord(0);
        int number = 0;
        int failedBatches = 0;
        QTimer batches;
        connect(&batches, &QTimer::timeout, this, [&] {
            QVector<TArchivedRecord> records;
            for (int index = 0; index < 50; ++index) {
                QByteArray record = raw;
                // Each its own second, so none is a duplicate of another.
                record[5] = char(number % 60);
                record[4] = char((number / 60) % 60);
                records.append(TArchivedRecord{++number, record});
            }
            if (window.Store(QStringLiteral("860000000000999"), QStringLiteral("K802"), records) < 0)
                ++failedBatches;
        });
        batches.start(5);
        const CliRun::TRun run = Run({"history", "--port", logger.Port(), "--archive", "--lang", "en"});
        batches.stop();
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
        QCOMPARE(failedBatches, 0);
        QVERIFY(number > 0);
        QCOMPARE(window.RecordCount(logger.Device.imei()), 600);
        QCOMPARE(window.RecordCount(QStringLiteral("860000000000999")), number);
        QCOMPARE(ArchivedRecords(QStringLiteral("860000000000999")), number);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("archiveExists");
        QTest::addColumn<QString>("error");
        QTest::newRow("--new without --archive")
            << QStringList{"history", "--port", "demo:K802", "--new", "--out", "x.csv"} << false
            << "--new reads after the last archived record and needs --archive";
        QTest::newRow("no archive yet") << QStringList{"archive", "list"} << false << "no history archive yet";
        QTest::newRow("device not archived")
            << QStringList{"archive", "export", "--imei", "123", "--out", "x.csv"} << true
            << "The archive holds no records of the device 123.";
        QTest::newRow("export without --out") << QStringList{"archive", "export", "--imei", "123"} << true
                                              << "--out is needed";
        QTest::newRow("unknown action") << QStringList{"archive", "purge"} << true
                                        << "archive takes list or export, not \"purge\"";
    }

    // Each refusal says why, exits 2 and leaves the archive as it was (or
    // makes none).
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, archiveExists);
        QFETCH(QString, error);
        if (archiveExists) {
            QVERIFY(QDir().mkpath(QFileInfo(ArchivePath()).absolutePath()));
            THistoryArchive archive(ArchivePath());
            QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        }
        const CliRun::TRun run = Run(arguments << QStringLiteral("--lang") << QStringLiteral("en"));
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains(error), qPrintable(run.Err));
        QCOMPARE(QFile::exists(ArchivePath()), archiveExists);
    }

    // A file that is not an archive is named and left as it is; nothing is
    // read from the device.
    void damagedArchiveStopsCollectionBeforeReading()
    {
        TLogger logger(1);
        QVERIFY(logger.Bridge.open());
        QVERIFY(QDir().mkpath(QFileInfo(ArchivePath()).absolutePath()));
        const QByteArray garbage(4096, 'x');
        QVERIFY(WriteFile(ArchivePath(), garbage));
        const CliRun::TRun run = Run({"history", "--port", logger.Port(), "--archive", "--lang", "en"});
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains(QStringLiteral("is damaged or is not a history archive")), qPrintable(run.Err));
        QCOMPARE(FileBytes(ArchivePath()), garbage);
        QVERIFY(!logger.Device.requestLog().isEmpty());
        QVERIFY(!logger.Device.requestLog().contains(DeviceRequests::ReadHistoryPage(0).bytes));
    }
};

QTEST_MAIN(TestCliArchive)
#include "tst_CliArchive.moc"
