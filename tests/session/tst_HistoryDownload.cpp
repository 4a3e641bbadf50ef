// Reading the log into the grid and the archive against the simulated
// logger: reads of new records ask only for the new pages, a read broken by
// a lost line goes on at the page it did not get, an erased log is noticed,
// and a read goes on when the archive cannot be used.
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceRequests_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryDownload_Unt.h"
#include "session/LoginJob_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int JobWaitMs = 60000;

bool RunToEnd(TDeviceJob &job)
{
    if (!job.start())
        return false;
    return QTest::qWaitFor([&job] { return !job.isRunning(); }, JobWaitMs);
}

// The history pages the device was asked for, in order.
QList<int> PagesAsked(const TDeviceSimulator *device, int fromRequest = 0)
{
    QList<int> pages;
    const QVector<QByteArray> log = device->requestLog();
    for (int index = fromRequest; index < log.size(); ++index) {
        const QByteArray &request = log.at(index);
        if (request.size() < 6 || request.at(0) != '#' || quint8(request.at(1)) != TBasicProtocol::CmdReadMemory)
            continue;
        const quint32 address = (quint32(quint8(request.at(2))) << 24) | (quint32(quint8(request.at(3))) << 16)
                                | (quint32(quint8(request.at(4))) << 8) | quint32(quint8(request.at(5)));
        if (address >= 0x4000 && address % 256 == 0)
            pages << int((address - 0x4000) / 256);
    }
    return pages;
}

} // namespace

class TestHistoryDownload : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TDeviceSession> m_session;
    std::unique_ptr<THistoryArchive> m_archive;
    THistoryGridModel m_grid;
    TSoftHistory m_soft;
    std::unique_ptr<THistoryDownload> m_download;
    QString m_imei;

    TDeviceSimulator *Device() const { return DemoSimulator(m_session->port()); }

    // Opens a session on a simulated K802 and logs in; log, when given,
    // replaces the simulator's own.
    bool Open(const QVector<QByteArray> *log = nullptr)
    {
        m_session = std::make_unique<TDeviceSession>();
        QString error;
        if (!m_session->open(QStringLiteral("demo:K802"), &error))
            return false;
        Device()->setBaudRate(0);
        Device()->setLatencyMs(0);
        if (log)
            Device()->setHistoryLog(*log);
        TLoginJob login(m_session.get(), QStringLiteral("5937"));
        if (!RunToEnd(login) || login.outcome() != TDeviceJob::TOutcome::Done)
            return false;
        m_imei = login.Identity().imei;
        m_download->SetDevice(m_imei, login.Identity().model, login.Identity().modelIndex);
        return true;
    }

    bool Run(THistoryReadJob *job)
    {
        std::unique_ptr<THistoryReadJob> owned(job);
        return job && RunToEnd(*job);
    }

    // Grid row r holds the device's record number.
    void CheckRow(int row, int number, const QVector<QByteArray> &log)
    {
        QCOMPARE(m_grid.Cell(0, row), QString::number(number));
        QCOMPARE(m_grid.RowFields(row),
                 HistoryRecord::RowCells(log.at(number - 1), 1, m_soft.Texts()));
    }

    // The archive holds each of the numbers 1..count once, with the device's bytes.
    void CheckArchiveHolds(int count, const QVector<QByteArray> &log)
    {
        const QVector<TArchivedRecord> held = m_archive->Records(m_imei);
        QCOMPARE(held.size(), count);
        QSet<int> numbers;
        for (const TArchivedRecord &record : held) {
            numbers.insert(record.number);
            QCOMPARE(record.raw, log.at(record.number - 1));
        }
        QCOMPARE(numbers.size(), count);
        QCOMPARE(*std::max_element(numbers.begin(), numbers.end()), count);
    }

private slots:
    void initTestCase()
    {
        TDeviceSimulator::InstallDemoPorts();
        m_soft.SetTexts(THistoryTexts::ForLanguage(1));
        m_soft.InitGrid(m_grid);
        m_soft.SetValueColumns(m_grid, 1, 1);
    }

    void init()
    {
        static int serial = 0;
        m_archive = std::make_unique<THistoryArchive>(m_dir.filePath(QStringLiteral("a%1.sqlite").arg(++serial)));
        m_download = std::make_unique<THistoryDownload>(m_soft, m_grid, m_archive.get());
    }

    void cleanup()
    {
        m_session.reset();
        m_download.reset();
        m_archive.reset();
    }

    // The configuration read in the connection goes into the archive with
    // the records of a download, and only with records.
    void theConfigurationGoesWithTheDownload()
    {
        QVERIFY(Open());
        const QDateTime longAgo(QDate(2000, 1, 1), QTime(0, 0));
        const QByteArray image(3646, char(0x5A));
        const QDateTime read(QDate(2026, 3, 1), QTime(8, 0, 5));
        m_download->SetConfiguration(image, read);
        Device()->setHistoryRecordCount(8);
        QVERIFY(Run(m_download->ReadAll(m_session.get(), 8)));
        QCOMPARE(m_archive->RecordCount(m_imei), 8);
        const TArchivedConfiguration kept = m_archive->ConfigurationFor(m_imei, longAgo);
        QVERIFY(kept.IsValid());
        QCOMPARE(kept.image, image);
        QCOMPARE(kept.read, read);

        // Another device: the image read from the first one is not its own.
        m_download->SetDevice(QStringLiteral("860000000000001"), QStringLiteral("K802"), 1);
        QVERIFY(Run(m_download->ReadAll(m_session.get(), 8)));
        QCOMPARE(m_archive->RecordCount(QStringLiteral("860000000000001")), 8);
        QVERIFY(!m_archive->ConfigurationFor(QStringLiteral("860000000000001"), longAgo).IsValid());
    }

    // No configuration known: the read's first step reads it; one that
    // does not come leaves the limits unknown and the log is read all the
    // same; a stop during it ends the read before any page.
    void theConfigurationIsReadFirstWhenNoneIsKnown_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<int>("records");
        QTest::newRow("read") << QString() << true << 8;
        QTest::newRow("page 0 never answers") << QStringLiteral("drop") << false << 8;
        QTest::newRow("stopped during it") << QStringLiteral("stop") << false << 0;
    }

    void theConfigurationIsReadFirstWhenNoneIsKnown()
    {
        QFETCH(QString, fault);
        QFETCH(bool, kept);
        QFETCH(int, records);
        QVERIFY(Open());
        Device()->setHistoryRecordCount(8);
        int made = 0;
        m_download->SetConfigurationReader([this, &made] {
            ++made;
            return new TConfigReadJob(m_session.get(), 1);
        });
        QSignalSpy read(m_download.get(), &THistoryDownload::configurationRead);
        const int before = Device()->requestLog().size();
        std::unique_ptr<THistoryReadJob> job(m_download->ReadAll(m_session.get(), 8));
        if (fault == QLatin1String("drop"))
            Device()->dropReplies(DeviceRequests::Attempts);
        QVERIFY(job->start());
        if (fault == QLatin1String("stop")) {
            QVERIFY(QTest::qWaitFor([this, before] { return Device()->requestLog().size() > before + 2; }, JobWaitMs));
            job->cancel();
        }
        QVERIFY(QTest::qWaitFor([&job] { return !job->isRunning(); }, JobWaitMs));
        QCOMPARE(made, 1);
        QCOMPARE(job->outcome(), fault == QLatin1String("stop") ? TDeviceJob::TOutcome::Stopped
                                                                : TDeviceJob::TOutcome::Done);
        QCOMPARE(m_archive->RecordCount(m_imei), records);
        QCOMPARE(read.count(), kept ? 1 : 0);
        const TArchivedConfiguration stored =
            m_archive->ConfigurationFor(m_imei, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        QCOMPARE(stored.IsValid(), kept);
        if (kept)
            QCOMPARE(stored.image, Device()->configImage().left(ConfigMap::ImageSize));
        // Every request of the configuration came before the first page.
        const QVector<QByteArray> log = Device()->requestLog();
        const QList<int> pages = PagesAsked(Device(), before);
        QCOMPARE(pages.isEmpty(), records == 0);
        if (!pages.isEmpty()) {
            const QByteArray first = THistoryProtocol().HistoryPageRequest(pages.first());
            const int firstPage = int(log.indexOf(first, before));
            QCOMPARE(firstPage - before, kept ? 15 : DeviceRequests::Attempts);
        }

        // Now known: the next read asks for the pages only.
        if (kept) {
            Device()->appendHistoryRecords(4);
            QVERIFY(Run(m_download->ReadNew(m_session.get())));
            QCOMPARE(made, 1);
            QCOMPARE(m_archive->RecordCount(m_imei), 12);
        }
    }

    void readNewAsksOnlyForTheNewPages()
    {
        QVERIFY(Open());
        Device()->setHistoryRecordCount(600);
        QVERIFY(Run(m_download->ReadAll(m_session.get(), 600)));
        QCOMPARE(m_download->RowsFilled(), 600);
        QCOMPARE(m_archive->RecordCount(m_imei), 600);

        Device()->appendHistoryRecords(200);
        const QVector<QByteArray> log = Device()->historyLog();
        const int before = Device()->requestLog().size();
        QVERIFY(Run(m_download->ReadNew(m_session.get())));
        QVERIFY(!m_download->LogRestarted());
        QCOMPARE(m_download->ContinuedAfter(), 600);

        // Record 600 is checked, then pages 150 (records 601..604) on, until
        // the erased memory after record 800.
        const QList<int> pages = PagesAsked(Device(), before);
        QVERIFY(!pages.isEmpty());
        QCOMPARE(pages.first(), 150);
        QCOMPARE(*std::min_element(pages.begin(), pages.end()), 150);
        QVERIFY(pages.contains(199));
        QVERIFY(pages.size() <= 52);
        const QByteArray check = THistoryProtocol().HistoryRecordRequest(600);
        QCOMPARE(Device()->requestLog().at(before), check);

        QCOMPARE(m_download->RowsFilled(), 200);
        CheckRow(1, 601, log);
        CheckRow(200, 800, log);
        QCOMPARE(m_grid.LastFilledRow(), 200);
        QCOMPARE(m_download->RecordsArchived(), 200);
        CheckArchiveHolds(800, log);
    }

    void aReadBrokenByALostLineGoesOnWhereItStopped()
    {
        QVERIFY(Open());
        Device()->setHistoryRecordCount(600);
        const QVector<QByteArray> log = Device()->historyLog();
        // Pages 0..39 are answered; the line breaks on page 40.
        Device()->loseLineAfterReplies(40);
        QVERIFY(Run(m_download->ReadAll(m_session.get(), 600)));
        QVERIFY(!m_session->isOpen());
        QVERIFY(m_download->CanContinue());
        QCOMPARE(m_download->NextPage(), 40);
        QCOMPARE(m_download->RowsFilled(), 160);
        QCOMPARE(m_grid.LastFilledRow(), 160);
        // What was read is archived although the read did not end well.
        CheckArchiveHolds(160, log);

        // The cable is back: the same device, its log unchanged.
        QVERIFY(Open(&log));
        QVERIFY(Run(m_download->Continue(m_session.get())));
        const QList<int> pages = PagesAsked(Device());
        QCOMPARE(pages.first(), 40);
        QCOMPARE(*std::min_element(pages.begin(), pages.end()), 40);
        QCOMPARE(pages.last(), 149);
        QVERIFY(!m_download->CanContinue());
        QCOMPARE(m_download->RowsFilled(), 600);
        CheckRow(1, 1, log);
        CheckRow(160, 160, log);
        CheckRow(161, 161, log);
        CheckRow(600, 600, log);
        CheckArchiveHolds(600, log);
        // Nothing to go on with after a read that ended.
        QVERIFY(m_download->Continue(m_session.get()) == nullptr);
    }

    void aStoppedReadCanGoOnToo()
    {
        QVERIFY(Open());
        Device()->setHistoryRecordCount(100);
        std::unique_ptr<THistoryReadJob> read(m_download->ReadAll(m_session.get(), 100));
        connect(read.get(), &THistoryReadJob::pageRead, this, [&read](int page) {
            if (page == 9)
                read->cancel();
        });
        QVERIFY(RunToEnd(*read));
        QCOMPARE(read->outcome(), TDeviceJob::TOutcome::Stopped);
        QVERIFY(m_download->CanContinue());
        QCOMPARE(m_download->NextPage(), 10);
        QCOMPARE(m_archive->RecordCount(m_imei), 40);
        QVERIFY(QTest::qWaitFor([this] { return !m_session->busy(); }, JobWaitMs));
        QVERIFY(Run(m_download->Continue(m_session.get())));
        QCOMPARE(m_archive->RecordCount(m_imei), 100);
        QCOMPARE(m_download->RowsFilled(), 100);
    }

    void anErasedLogIsNoticedAndReadFromTheStart()
    {
        QVERIFY(Open());
        Device()->setHistoryRecordCount(600);
        QVERIFY(Run(m_download->ReadAll(m_session.get(), 600)));
        // The log is erased and the device logs 50 new records (a day later).
        Device()->setHistoryRecordCount(50);
        const QVector<QByteArray> log = Device()->historyLog();
        const int before = Device()->requestLog().size();
        QVERIFY(Run(m_download->ReadNew(m_session.get())));
        QVERIFY(m_download->LogRestarted());
        QCOMPARE(PagesAsked(Device(), before).first(), 0);
        QCOMPARE(m_download->RowsFilled(), 50);
        CheckRow(1, 1, log);
        CheckRow(50, 50, log);
        QCOMPARE(m_archive->RecordCount(m_imei), 650);
        QCOMPARE(m_archive->LastRecord(m_imei).raw, log.last());
    }

    void aReadGoesOnWithoutAnArchiveItCannotUse()
    {
        QFile file(m_archive->Path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        QVERIFY(Open());
        Device()->setHistoryRecordCount(30);
        const QVector<QByteArray> log = Device()->historyLog();
        QVERIFY(Run(m_download->ReadAll(m_session.get(), 30)));
        QVERIFY(!m_download->Archiving());
        QCOMPARE(m_download->ArchiveStatus(), THistoryArchive::TStatus::Corrupt);
        QCOMPARE(m_download->RowsFilled(), 30);
        CheckRow(30, 30, log);
        QFile check(m_archive->Path());
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray(4096, 'x'));
    }

    // Batches are stored off the window's thread; when another program
    // takes the file after the read began, the records it could not store
    // are counted by the time the read has ended, with the reason.
    void anArchiveLockedDuringTheReadIsToldAtItsEnd()
    {
        QVERIFY(Open());
        Device()->setHistoryRecordCount(3 * THistoryDownload::StoreBatch);
        THistoryReadJob *job = m_download->ReadAll(m_session.get(), 3 * THistoryDownload::StoreBatch);
        QVERIFY(m_download->Archiving());
        const QString other = QStringLiteral("other-program");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), other);
            db.setDatabaseName(m_archive->Path());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        }
        QSignalSpy ended(m_download.get(), &THistoryDownload::readEnded);
        QVERIFY(Run(job));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(m_download->RowsFilled(), 3 * THistoryDownload::StoreBatch);
        QCOMPARE(m_download->RecordsArchived(), 0);
        // At least the first batch; the pages read after the refusal came
        // are no longer kept for the archive.
        QVERIFY2(m_download->RecordsNotArchived() >= THistoryDownload::StoreBatch,
                 qPrintable(QString::number(m_download->RecordsNotArchived())));
        QCOMPARE(m_download->ArchiveStatus(), THistoryArchive::TStatus::Locked);
        {
            QSqlDatabase db = QSqlDatabase::database(other, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(other);
    }
};

QTEST_GUILESS_MAIN(TestHistoryDownload)
#include "tst_HistoryDownload.moc"
