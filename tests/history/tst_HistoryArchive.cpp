// The history archive on its own: records kept once, a batch stored whole or
// not at all, the order reads continue from, deleting a device, and files it
// must not use (locked, damaged, foreign, newer) left untouched.
#include "history/HistoryArchive_Unt.h"
#include "fixtures/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTest>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace TestFiles;

namespace {

const QString kImei = QStringLiteral("863712030448024");
const QString kOtherImei = QStringLiteral("863712030448032");

// A record as the device stores it: number in bytes 0..3, the time, and
// the sixteen values value0, value0 + 1, ...
QByteArray Record(int number, int year, int month, int day, int hour, int minute, int second,
                  qint16 value0 = 0)
{
    QByteArray raw(64, char(0xFF));
    qToLittleEndian<quint32>(quint32(number), raw.data());
    const int time[6] = {year, month, day, hour, minute, second};
    for (int part = 0; part < 6; ++part)
        raw[4 + part] = char(time[part]);
    raw[10] = char(23);
    raw[11] = char(0x81);
    for (int slot = 0; slot < 16; ++slot)
        qToLittleEndian<qint16>(qint16(value0 + slot), raw.data() + 12 + 2 * slot);
    raw[44] = char(0x0B);
    return raw;
}

// count records one minute apart from 2026-03-01 00:00, numbered from first.
QVector<TArchivedRecord> Records(int first, int count, int day = 1)
{
    QVector<TArchivedRecord> records;
    for (int index = 0; index < count; ++index) {
        const int minutes = first - 1 + index;
        records.append({first + index, Record(first + index, 26, 3, day + minutes / 1440, (minutes / 60) % 24,
                                              minutes % 60, 0, qint16(index))});
    }
    return records;
}

// SQLite's file change counter (header bytes 24..27, most significant
// first): it goes up by one with every write transaction that commits.
quint32 ChangeCounter(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(24))
        return 0;
    const QByteArray bytes = file.read(4);
    return bytes.size() == 4 ? qFromBigEndian<quint32>(bytes.constData()) : 0;
}

// A connection of another program to the same file.
struct TOtherProgram
{
    explicit TOtherProgram(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
    }
    ~TOtherProgram()
    {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    bool Exec(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(name, false));
        return query.exec(statement);
    }
    QVariant Value(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(name, false));
        return query.exec(statement) && query.next() ? query.value(0) : QVariant();
    }
    const QString name = QStringLiteral("other-program");
};

} // namespace

class TestHistoryArchive : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString Path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void aNewFileIsMadeWithItsFolder()
    {
        THistoryArchive archive(Path("new/folder/archive.sqlite"));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QVERIFY(QFile::exists(Path("new/folder/archive.sqlite")));
        QCOMPARE(archive.Devices().size(), 0);
        QCOMPARE(archive.LastRecord(kImei).number, 0);
    }

    void aRecordReadTwiceIsStoredOnce()
    {
        THistoryArchive archive(Path("twice.sqlite"));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(1, 10)), 10);
        // Records 5..14 again: only 11..14 are new.
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(5, 10)), 4);
        QCOMPARE(archive.RecordCount(kImei), 14);
        const QVector<TArchivedRecord> held = archive.Records(kImei);
        QCOMPARE(held.size(), 14);
        for (int index = 0; index < held.size(); ++index)
            QCOMPARE(held.at(index).number, index + 1);
        QCOMPARE(held.at(13).raw, Records(5, 10).at(9).raw);

        // The same numbers at other times are another log's records.
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(1, 3, 20)), 3);
        QCOMPARE(archive.RecordCount(kImei), 17);
        // Another device's records are its own.
        QCOMPARE(archive.Store(kOtherImei, QStringLiteral("K803"), Records(1, 10)), 10);
        QCOMPARE(archive.RecordCount(kImei), 17);
    }

    void theDecodedFieldsAreKeptBesideTheBytes()
    {
        const QString path = Path("fields.sqlite");
        {
            THistoryArchive archive(path);
            QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
            QByteArray raw = Record(7, 17, 6, 5, 9, 5, 0);
            qToLittleEndian<qint16>(qint16(-200), raw.data() + 12);
            qToLittleEndian<qint16>(qint16(266), raw.data() + 12 + 2 * 15);
            QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), {{7, raw}}), 1);
        }
        TOtherProgram other(path);
        QCOMPARE(other.Value(QStringLiteral("SELECT year || '/' || month || '/' || day || ' ' || hour || ':' "
                                            "|| minute || ':' || second FROM records"))
                     .toString(),
                 QStringLiteral("17/6/5 9:5:0"));
        QCOMPARE(other.Value(QStringLiteral("SELECT v1 FROM records")).toInt(), -200);
        QCOMPARE(other.Value(QStringLiteral("SELECT v16 FROM records")).toInt(), 266);
        QCOMPARE(other.Value(QStringLiteral("SELECT type FROM records")).toInt(), 3);
        QCOMPARE(other.Value(QStringLiteral("SELECT flags FROM records")).toInt(), 0x81);
        QCOMPARE(other.Value(QStringLiteral("SELECT length(raw) FROM records")).toInt(), 64);
    }

    void twentyThousandRecordsGoInWhole()
    {
        THistoryArchive archive(Path("many.sqlite"));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        const QVector<TArchivedRecord> records = Records(1, 20000);
        const quint32 before = ChangeCounter(Path("many.sqlite"));
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), records), 20000);
        // One transaction for the device's row and all of its records.
        QCOMPARE(ChangeCounter(Path("many.sqlite")), before + 1);
        const QVector<TArchivedRecord> held = archive.Records(kImei);
        QCOMPARE(held.size(), 20000);
        QCOMPARE(held.first(), records.first());
        QCOMPARE(held.last(), records.last());
        QCOMPARE(archive.Records(kImei, 3), records.mid(19997));
        const QVector<TArchivedDevice> devices = archive.Devices();
        QCOMPARE(devices.size(), 1);
        QCOMPARE(devices.first().records, 20000);
        QCOMPARE(devices.first().model, QStringLiteral("K802"));
    }

    // Another program reading the file does not hold up a batch (the file
    // keeps a write-ahead log); while another program writes, a batch cannot
    // be stored: none of its records is, not the first few, and the archive
    // stays usable for the next batch.
    void aBatchIsStoredWholeOrNotAtAll()
    {
        const QString path = Path("reader.sqlite");
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.JournalMode(), QStringLiteral("wal"));
        {
            TOtherProgram reader(path);
            QVERIFY(reader.Exec(QStringLiteral("BEGIN")));
            QCOMPARE(reader.Value(QStringLiteral("SELECT count(*) FROM records")).toInt(), 0);
            QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(1, 10)), 10);
            // The reader goes on seeing the file as it was when it began.
            QCOMPARE(reader.Value(QStringLiteral("SELECT count(*) FROM records")).toInt(), 0);
            reader.Exec(QStringLiteral("ROLLBACK"));
        }
        {
            TOtherProgram writer(path);
            QVERIFY(writer.Exec(QStringLiteral("BEGIN IMMEDIATE")));
            QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(11, 20000)), -1);
            QVERIFY(!archive.ErrorText().isEmpty());
            writer.Exec(QStringLiteral("ROLLBACK"));
        }
        QCOMPARE(archive.RecordCount(kImei), 10);
        QVERIFY(archive.IsReady());
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(11, 5)), 5);
    }

    void lastRecordIsTheLatestOfTheCurrentLog()
    {
        THistoryArchive archive(Path("last.sqlite"));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K801"), Records(1, 600)), 600);
        QCOMPARE(archive.LastRecord(kImei).number, 600);
        QCOMPARE(archive.LastRecord(kImei).raw, Records(1, 600).last().raw);
        // An erased log written again, days later: its last record counts.
        QCOMPARE(archive.Store(kImei, QStringLiteral("K801"), Records(1, 50, 10)), 50);
        QCOMPARE(archive.LastRecord(kImei).number, 50);
        QCOMPARE(archive.RecordCount(kImei), 650);
        QCOMPARE(archive.LastRecord(kOtherImei).number, 0);
    }

    void deletingADeviceLeavesTheOthers()
    {
        THistoryArchive archive(Path("delete.sqlite"));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(1, 30)), 30);
        QCOMPARE(archive.Store(kOtherImei, QStringLiteral("K803"), Records(1, 20)), 20);
        QVERIFY(archive.DeleteDevice(kImei));
        QCOMPARE(archive.RecordCount(kImei), 0);
        QCOMPARE(archive.Devices().size(), 1);
        QCOMPARE(archive.Devices().first().imei, kOtherImei);
        QCOMPARE(archive.RecordCount(kOtherImei), 20);
    }

    // Damage that opening does not see: the first read that meets it stops
    // every write into the file, also after opening again.
    void damageFoundByAReadStopsTheWrites_data()
    {
        QTest::addColumn<QStringList>("pages");
        QTest::newRow("index pages") << QStringList{"sqlite_autoindex_records_1", "records_by_time"};
        QTest::newRow("record pages") << QStringList{"records"};
        QTest::newRow("device pages") << QStringList{"devices"};
    }

    void damageFoundByAReadStopsTheWrites()
    {
        QFETCH(QStringList, pages);
        const QString path = m_dir.filePath(QStringLiteral("damaged-%1.sqlite").arg(pages.first()));
        QList<qint64> offsets;
        int pageBytes = 0;
        {
            THistoryArchive first(path);
            QCOMPARE(first.Open(), THistoryArchive::TStatus::Ready);
            QCOMPARE(first.Store(kImei, QStringLiteral("K802"), Records(1, 8)), 8);
            TOtherProgram other(path);
            const qint64 pageSize = other.Value(QStringLiteral("PRAGMA page_size")).toLongLong();
            for (const QString &name : pages) {
                const qint64 root =
                    other.Value(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'").arg(name))
                        .toLongLong();
                QVERIFY(root > 1);
                offsets << (root - 1) * pageSize;
            }
            pageBytes = int(pageSize);
        }
        // Damaged once every program has closed the file, so that its
        // write-ahead log is in the file and cannot mend the pages.
        for (const qint64 offset : offsets) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(offset));
            file.write(QByteArray(pageBytes, '\0'));
        }
        const QByteArray before = FileBytes(path);

        THistoryArchive archive(path);
        archive.Open();
        archive.Devices();
        archive.RecordCount(kImei);
        archive.Records(kImei);
        QCOMPARE(archive.Status(), THistoryArchive::TStatus::Corrupt);
        QVERIFY(!archive.ErrorText().isEmpty());
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(20, 4)), -1);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Corrupt);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(20, 4)), -1);
        archive.Close();
        QCOMPARE(FileBytes(path), before);
    }

    // An index that lost its rows, which SQLite itself does not notice:
    // records already held are skipped by the insert yet cannot be read,
    // so the batch is refused and the archive says it is damaged.
    void recordsThatCannotBeFoundAgainAreNotCountedAsStored()
    {
        const QString path = Path("lost-index-rows.sqlite");
        {
            THistoryArchive first(path);
            QCOMPARE(first.Open(), THistoryArchive::TStatus::Ready);
            QCOMPARE(first.Store(kImei, QStringLiteral("K802"), Records(1, 8)), 8);
        }
        {
            TOtherProgram other(path);
            QVERIFY(other.Exec(QStringLiteral("CREATE INDEX spare ON records (imei, stamp, number) "
                                              "WHERE imei = 'none'")));
            const qint64 empty =
                other.Value(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'spare'")).toLongLong();
            QVERIFY(empty > 1);
            QVERIFY(other.Exec(QStringLiteral("PRAGMA writable_schema = ON")));
            QVERIFY(other.Exec(QStringLiteral("UPDATE sqlite_master SET rootpage = %1 "
                                              "WHERE name = 'records_by_time'").arg(empty)));
            QVERIFY(other.Exec(QStringLiteral("DELETE FROM sqlite_master WHERE name = 'spare'")));
        }

        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(5, 8)), -1);
        QCOMPARE(archive.Status(), THistoryArchive::TStatus::Corrupt);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(20, 4)), -1);
    }

    // Records another program stored with another length are left out and
    // counted, never decoded.
    void recordsNotOf64BytesAreSkipped()
    {
        const QString path = Path("lengths.sqlite");
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(1, 4)), 4);
        {
            TOtherProgram other(path);
            QVERIFY(other.Exec(QStringLiteral("UPDATE records SET raw = x'0102' WHERE number = 2")));
            QVERIFY(other.Exec(QStringLiteral("UPDATE records SET raw = zeroblob(65) WHERE number = 3")));
        }
        const QVector<TArchivedRecord> records = archive.Records(kImei);
        QCOMPARE(archive.SkippedRecords(), 2);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).number, 1);
        QCOMPARE(records.at(1).number, 4);
        QCOMPARE(records.at(1).raw, Record(4, 26, 3, 1, 0, 3, 0, 3));
        QCOMPARE(archive.LastRecord(kImei).number, 4);
        QVERIFY(archive.IsReady());
        archive.Records(kOtherImei);
        QCOMPARE(archive.SkippedRecords(), 0);
    }

#ifdef Q_OS_UNIX
    void aNewFileIsTheOwnersOnly()
    {
        const QString path = Path("private/archive.sqlite");
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(1, 2)), 2);
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
                                                | QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFileInfo(path).permissions() & others, QFileDevice::Permissions());
        QVERIFY(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
    }

    void aFifoIsNoArchive()
    {
        const QString path = Path("fifo.sqlite");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Failed);
        QVERIFY(!archive.IsReady());
    }
#endif

    // A file of the first layout, as the earlier version of the program
    // left it: opening it adds the counts of what it holds, and from then on
    // each store keeps them. While another program holds it, it stays as it was.
    void anArchiveOfTheFirstLayoutGetsItsCounts()
    {
        const QString path = Path("layout1.sqlite");
        {
            TOtherProgram maker(path);
            for (const char *statement :
                 {"CREATE TABLE devices (imei TEXT PRIMARY KEY, model TEXT NOT NULL, last_read TEXT NOT NULL)",
                  "CREATE TABLE records (imei TEXT NOT NULL, number INTEGER NOT NULL, stamp INTEGER NOT NULL,"
                  " raw BLOB NOT NULL, year INTEGER, month INTEGER, day INTEGER, hour INTEGER, minute INTEGER,"
                  " second INTEGER, signal INTEGER, flags INTEGER, type INTEGER, v1 INTEGER, v2 INTEGER,"
                  " v3 INTEGER, v4 INTEGER, v5 INTEGER, v6 INTEGER, v7 INTEGER, v8 INTEGER, v9 INTEGER,"
                  " v10 INTEGER, v11 INTEGER, v12 INTEGER, v13 INTEGER, v14 INTEGER, v15 INTEGER, v16 INTEGER,"
                  " PRIMARY KEY (imei, number, stamp))",
                  "CREATE INDEX records_by_time ON records (imei, stamp, number)",
                  "INSERT INTO devices VALUES ('863712030448024', 'K802', '2026-03-02 10:00:00')",
                  "INSERT INTO devices VALUES ('863712030448999', 'K803', '2026-03-03 11:00:00')",
                  "INSERT INTO records (imei, number, stamp, raw) VALUES ('863712030448024', 1, 1, x'00'),"
                  " ('863712030448024', 2, 2, x'00'), ('863712030448024', 3, 3, x'00'),"
                  " ('863712030448999', 1, 1, x'00'), ('863712030448999', 2, 2, x'00')",
                  "PRAGMA user_version = 1"})
                QVERIFY2(maker.Exec(QString::fromLatin1(statement)), statement);
        }
        {
            TOtherProgram other(path);
            QVERIFY(other.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
            THistoryArchive held(path);
            QCOMPARE(held.Open(), THistoryArchive::TStatus::Locked);
            other.Exec(QStringLiteral("ROLLBACK"));
            QCOMPARE(other.Value(QStringLiteral("PRAGMA user_version")).toInt(), 1);
        }
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        const QVector<TArchivedDevice> devices = archive.Devices();
        QCOMPARE(devices.size(), 2);
        QCOMPARE(devices.at(0).imei, QStringLiteral("863712030448024"));
        QCOMPARE(devices.at(0).records, 3);
        QCOMPARE(devices.at(1).records, 2);
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(3, 4, 2)), 4);
        QCOMPARE(archive.RecordCount(kImei), 7);
        QVERIFY(archive.DeleteDevice(kImei));
        QCOMPARE(archive.RecordCount(kImei), 0);
        QCOMPARE(archive.Devices().size(), 1);
        archive.Close();
        TOtherProgram check(path);
        QCOMPARE(check.Value(QStringLiteral("PRAGMA user_version")).toInt(), 4);
    }

    void filesItMustNotUse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<THistoryArchive::TStatus>("status");
        QTest::newRow("locked by another program") << "locked" << THistoryArchive::TStatus::Locked;
        QTest::newRow("not a database") << "garbage" << THistoryArchive::TStatus::Corrupt;
        QTest::newRow("damaged header") << "damaged" << THistoryArchive::TStatus::Corrupt;
        QTest::newRow("another program's database") << "foreign" << THistoryArchive::TStatus::Corrupt;
        QTest::newRow("newer layout") << "newer" << THistoryArchive::TStatus::Newer;
    }

    void filesItMustNotUse()
    {
        QFETCH(QString, kind);
        QFETCH(THistoryArchive::TStatus, status);
        const QString path = m_dir.filePath(kind + QStringLiteral(".sqlite"));
        {
            THistoryArchive first(path);
            QCOMPARE(first.Open(), THistoryArchive::TStatus::Ready);
            QCOMPARE(first.Store(kImei, QStringLiteral("K802"), Records(1, 8)), 8);
        }
        std::unique_ptr<TOtherProgram> other;
        if (kind == QLatin1String("garbage")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(8192, 'x'));
        } else if (kind == QLatin1String("damaged")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(0);
            file.write("SQLite format 2\0", 16);
        } else if (kind == QLatin1String("foreign")) {
            QFile::remove(path);
            TOtherProgram maker(path);
            QVERIFY(maker.Exec(QStringLiteral("CREATE TABLE notes (text TEXT)")));
        } else if (kind == QLatin1String("newer")) {
            TOtherProgram maker(path);
            QVERIFY(maker.Exec(QStringLiteral("PRAGMA user_version = %1").arg(THistoryArchive::SchemaVersion + 1)));
        } else {
            other = std::make_unique<TOtherProgram>(path);
            QVERIFY(other->Exec(QStringLiteral("BEGIN EXCLUSIVE")));
        }
        const QByteArray before = FileBytes(path);

        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), status);
        QVERIFY(!archive.IsReady());
        QVERIFY(!THistoryArchive::TextKey(status).isEmpty());
        QCOMPARE(archive.Store(kImei, QStringLiteral("K802"), Records(20, 4)), -1);
        QCOMPARE(archive.Devices().size(), 0);
        archive.Close();
        QCOMPARE(FileBytes(path), before);

        if (other) {
            // Once the other program lets go, the archive opens with its records.
            other->Exec(QStringLiteral("ROLLBACK"));
            other.reset();
            QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
            QCOMPARE(archive.RecordCount(kImei), 8);
        }
    }

    // A file of the second layout (counts, no configurations) gains the
    // configurations table when opened and keeps its records.
    void layoutTwoIsUpgraded()
    {
        const QString path = m_dir.filePath(QStringLiteral("layout2.sqlite"));
        {
            THistoryArchive first(path);
            QCOMPARE(first.Open(), THistoryArchive::TStatus::Ready);
            QCOMPARE(first.Store(kImei, QStringLiteral("K801"), Records(1, 5)), 5);
        }
        {
            TOtherProgram older(path);
            QVERIFY(older.Exec(QStringLiteral("DROP TABLE downloads")));
            QVERIFY(older.Exec(QStringLiteral("PRAGMA user_version = 2")));
        }
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QCOMPARE(archive.RecordCount(kImei), 5);
        QVERIFY(archive.StoreConfiguration(kImei, QByteArray(3646, 'a'), QDateTime(QDate(2026, 3, 2), QTime(9, 0)),
                                           QDateTime(QDate(2026, 3, 2), QTime(9, 5)))
                > 0);
        archive.Close();
        TOtherProgram reader(path);
        QSqlQuery version(QSqlDatabase::database(reader.name, false));
        QVERIFY(version.exec(QStringLiteral("PRAGMA user_version")) && version.next());
        QCOMPARE(version.value(0).toInt(), 4);
    }

    // A file of the third layout gains the time zone of each download; the
    // downloads it kept know none. A download without a configuration is
    // kept with its zone but gives no limits.
    void layoutThreeGainsTheZoneOfEachDownload()
    {
        const QString path = m_dir.filePath(QStringLiteral("layout3.sqlite"));
        const QDateTime before(QDate(2026, 3, 2), QTime(9, 5));
        {
            THistoryArchive first(path);
            QCOMPARE(first.Open(), THistoryArchive::TStatus::Ready);
            QCOMPARE(first.Store(kImei, QStringLiteral("K801"), Records(1, 5)), 5);
            QVERIFY(first.StoreConfiguration(kImei, QByteArray(3646, 'a'), before, before) > 0);
        }
        {
            TOtherProgram older(path);
            QVERIFY(older.Exec(QStringLiteral("ALTER TABLE downloads DROP COLUMN time_zone")));
            QVERIFY(older.Exec(QStringLiteral("ALTER TABLE downloads DROP COLUMN utc_offset")));
            QVERIFY(older.Exec(QStringLiteral("PRAGMA user_version = 3")));
        }
        THistoryArchive archive(path);
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        const QDateTime later(QDate(2026, 7, 1), QTime(18, 30));
        QVERIFY(archive.StoreDownload(kImei, QByteArray(), QDateTime(), later) > 0);
        const QVector<TArchivedDownload> downloads = archive.Downloads(kImei);
        QCOMPARE(downloads.size(), 2);
        QCOMPARE(downloads.at(0).downloaded, before);
        QVERIFY(!downloads.at(0).zoneKnown);
        QVERIFY(downloads.at(0).hasConfiguration);
        QCOMPARE(downloads.at(1).downloaded, later);
        QVERIFY(downloads.at(1).zoneKnown);
        QCOMPARE(downloads.at(1).utcOffsetSeconds, later.offsetFromUtc());
        QCOMPARE(downloads.at(1).timeZone, QString::fromUtf8(QTimeZone::systemTimeZoneId()));
        QVERIFY(!downloads.at(1).hasConfiguration);
        // Records after the first download: the later one read no limits.
        QVERIFY(!archive.ConfigurationFor(kImei, QDateTime(QDate(2026, 4, 1), QTime(0, 0))).IsValid());
        QCOMPARE(archive.ConfigurationFor(kImei, QDateTime(QDate(2026, 3, 1), QTime(0, 0))).image,
                 QByteArray(3646, 'a'));
    }

    // The limits of a period are those read with the first download that
    // ended at or after its last record.
    void configurationInForce_data()
    {
        QTest::addColumn<QDateTime>("lastRecord");
        QTest::addColumn<char>("image");
        QTest::addColumn<QDateTime>("downloaded");
        QTest::newRow("before the first download") << QDateTime(QDate(2026, 3, 1), QTime(10, 0)) << 'a'
                                                   << QDateTime(QDate(2026, 3, 1), QTime(12, 0));
        QTest::newRow("at the first download") << QDateTime(QDate(2026, 3, 1), QTime(12, 0)) << 'a'
                                               << QDateTime(QDate(2026, 3, 1), QTime(12, 0));
        QTest::newRow("between the downloads") << QDateTime(QDate(2026, 3, 3), QTime(0, 0)) << 'b'
                                               << QDateTime(QDate(2026, 3, 5), QTime(12, 0));
        QTest::newRow("after the last download") << QDateTime(QDate(2026, 3, 6), QTime(0, 0)) << char(0)
                                                 << QDateTime();
    }

    void configurationInForce()
    {
        QFETCH(QDateTime, lastRecord);
        QFETCH(char, image);
        QFETCH(QDateTime, downloaded);
        THistoryArchive archive(m_dir.filePath(QStringLiteral("limits.sqlite")));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QVERIFY(archive.DeleteDevice(kImei));
        QCOMPARE(archive.Store(kImei, QStringLiteral("K801"), Records(1, 3)), 3);
        const QDateTime firstRead(QDate(2026, 3, 1), QTime(11, 58));
        QVERIFY(archive.StoreConfiguration(kImei, QByteArray(3646, 'b'), QDateTime(QDate(2026, 3, 5), QTime(11, 59)),
                                           QDateTime(QDate(2026, 3, 5), QTime(12, 0))) > 0);
        QVERIFY(archive.StoreConfiguration(kImei, QByteArray(3646, 'a'), firstRead,
                                           QDateTime(QDate(2026, 3, 1), QTime(12, 0))) > 0);
        QVERIFY(archive.StoreConfiguration(kOtherImei, QByteArray(3646, 'c'), firstRead, firstRead) > 0);
        const TArchivedConfiguration configuration = archive.ConfigurationFor(kImei, lastRecord);
        QCOMPARE(configuration.IsValid(), image != 0);
        if (image != 0) {
            QCOMPARE(configuration.image, QByteArray(3646, image));
            QCOMPARE(configuration.downloaded, downloaded);
        }
        QVERIFY(archive.DeleteDevice(kImei));
        QVERIFY(!archive.ConfigurationFor(kImei, QDateTime(QDate(2026, 1, 1), QTime(0, 0))).IsValid());
        QVERIFY(archive.ConfigurationFor(kOtherImei, QDateTime(QDate(2026, 1, 1), QTime(0, 0))).IsValid());
    }
};

QTEST_GUILESS_MAIN(TestHistoryArchive)
#include "tst_HistoryArchive.moc"
