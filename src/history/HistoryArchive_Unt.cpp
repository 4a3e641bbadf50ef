#include "history/HistoryArchive_Unt.h"

#include "lang/ConstLang_Unt.h"

#include "base/FileSafety_Unt.h"

#include <QAtomicInt>

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTimeZone>
#include <QVariant>
#include <QtEndian>

namespace {

// SQLite's result codes that say what is wrong with a file.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteCantOpen = 14;
constexpr int SqliteNotADatabase = 26;

// How long a write waits for another writer's lock before it gives up. With
// the write-ahead log only writers wait for each other (the window stores on
// its writer's thread, the tool while it collects), and a batch is stored in
// milliseconds; a file held for longer than this is in use by something else.
constexpr int BusyTimeoutMs = 2000;

constexpr int RecordSize = 64;
constexpr int TimeOffset = 4;
constexpr int SignalOffset = 10;
constexpr int FlagsOffset = 11;
constexpr int ValuesOffset = 12;
constexpr int TypeOffset = 44;
constexpr int ValueCount = 16;

QAtomicInt g_connections;

const char *const kLayout[] = {
    "CREATE TABLE devices ("
    " imei TEXT PRIMARY KEY,"
    " model TEXT NOT NULL,"
    " last_read TEXT NOT NULL)",
    "CREATE TABLE records ("
    " imei TEXT NOT NULL,"
    " number INTEGER NOT NULL,"
    " stamp INTEGER NOT NULL,"
    " raw BLOB NOT NULL,"
    " year INTEGER, month INTEGER, day INTEGER, hour INTEGER, minute INTEGER, second INTEGER,"
    " signal INTEGER, flags INTEGER, type INTEGER,"
    " v1 INTEGER, v2 INTEGER, v3 INTEGER, v4 INTEGER, v5 INTEGER, v6 INTEGER, v7 INTEGER, v8 INTEGER,"
    " v9 INTEGER, v10 INTEGER, v11 INTEGER, v12 INTEGER, v13 INTEGER, v14 INTEGER, v15 INTEGER, v16 INTEGER,"
    " PRIMARY KEY (imei, number, stamp))",
    "CREATE INDEX records_by_time ON records (imei, stamp, number)",
    "CREATE TABLE record_counts ("
    " imei TEXT PRIMARY KEY,"
    " records INTEGER NOT NULL)",
};

// From layout 1: the counts of each device, kept by every store from then
// on, so that listing the devices never counts a whole log.
const char *const kUpgradeTo2[] = {
    "CREATE TABLE record_counts ("
    " imei TEXT PRIMARY KEY,"
    " records INTEGER NOT NULL)",
    "INSERT INTO record_counts (imei, records) SELECT imei, count(*) FROM records GROUP BY imei",
};

// Layout 3: the configuration read with each download (an empty blob when
// none was read); layout 4 adds the PC's UTC offset in seconds and its time
// zone at the download, since the device's clock has no zone of its own.
const char kDownloadsTable[] =
    "CREATE TABLE IF NOT EXISTS downloads ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " imei TEXT NOT NULL,"
    " downloaded TEXT NOT NULL,"
    " config_read TEXT NOT NULL,"
    " config BLOB NOT NULL,"
    " utc_offset INTEGER,"
    " time_zone TEXT)";

// From layout 3: the downloads kept before know no zone (NULL).
const char *const kUpgradeTo4[] = {
    "ALTER TABLE downloads ADD COLUMN utc_offset INTEGER",
    "ALTER TABLE downloads ADD COLUMN time_zone TEXT",
};

int NativeCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    // Extended result codes keep the primary code in their low byte.
    return ok ? (code & 0xFF) : -1;
}

THistoryArchive::TStatus StatusOf(const QSqlError &error)
{
    switch (NativeCode(error)) {
    case SqliteBusy:
    case SqliteLocked:
        return THistoryArchive::TStatus::Locked;
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return THistoryArchive::TStatus::Corrupt;
    default:
        return THistoryArchive::TStatus::Failed;
    }
}

QString TimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

qint64 TArchivedRecord::StampOf(const QByteArray &raw)
{
    if (raw.size() < TimeOffset + 6)
        return 0;
    qint64 stamp = 0;
    for (int part = 0; part < 6; ++part)
        stamp = (stamp << 8) | quint8(raw.at(TimeOffset + part));
    return stamp;
}

THistoryArchive::THistoryArchive(const QString &path)
    : m_path(path.isEmpty() ? DefaultPath() : path),
      m_connection(QStringLiteral("k80x-archive-%1").arg(g_connections.fetchAndAddRelaxed(1)))
{
}

THistoryArchive::~THistoryArchive()
{
    Close();
}

QString THistoryArchive::DefaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("history-archive.sqlite"));
}

QString THistoryArchive::TextKey(TStatus status)
{
    switch (status) {
    case TStatus::Locked: return QStringLiteral("MsgArchiveLocked");
    case TStatus::Corrupt: return QStringLiteral("MsgArchiveCorrupt");
    case TStatus::Newer: return QStringLiteral("MsgArchiveNewer");
    case TStatus::Failed: return QStringLiteral("MsgArchiveFailed");
    case TStatus::Ready:
    case TStatus::Closed: break;
    }
    return QString();
}

// The connection stays open, unused, until the next Open or the end: the
// queries of the failed step may still be alive here.
THistoryArchive::TStatus THistoryArchive::Fail(TStatus status, const QString &error)
{
    m_error = error;
    m_status = status;
    return status;
}

void THistoryArchive::ReadFailed(const QSqlError &error) const
{
    m_error = error.text();
    if (StatusOf(error) == TStatus::Locked)
        return;
    m_damaged = true;
    m_status = TStatus::Corrupt;
}

void THistoryArchive::MarkDamaged(const QString &reason)
{
    m_error = reason;
    m_damaged = true;
    m_status = TStatus::Corrupt;
}

void THistoryArchive::Close()
{
    if (QSqlDatabase::contains(m_connection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_status = TStatus::Closed;
}

QString THistoryArchive::ProblemText(int language) const
{
    QString text = ConstLang::Text(TextKey(m_status), language).arg(QDir::toNativeSeparators(m_path));
    if (!m_error.isEmpty())
        text += QStringLiteral(" (") + m_error + QLatin1Char(')');
    return text;
}

THistoryArchive::TStatus THistoryArchive::Open()
{
    Close();
    m_error.clear();
    if (m_damaged)
        return Fail(TStatus::Corrupt, m_error);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Fail(TStatus::Failed, QStringLiteral("QSQLITE driver missing"));
    const QFileInfo file(m_path);
    // The default folder holds nothing but the program's own files.
    const bool ownFolder = file.absolutePath() == QFileInfo(DefaultPath()).absolutePath();
    if (!FileSafety::MakeFolder(file.absolutePath(), ownFolder))
        return Fail(TStatus::Failed, file.absolutePath());
    switch (FileSafety::KindOf(m_path)) {
    case FileSafety::TPathKind::Absent: {
        // The records are the user's alone; SQLite gives its journal the
        // file's permissions.
        const FileSafety::TSaveResult created = FileSafety::SaveFile(m_path, QByteArray(), true);
        if (!created.ok())
            return Fail(TStatus::Failed, created.detail);
        break;
    }
    case FileSafety::TPathKind::Regular:
        break;
    case FileSafety::TPathKind::SymLink:
        if (QFileInfo(m_path).isFile())
            break;
        return Fail(TStatus::Failed, QStringLiteral("Not a regular file"));
    case FileSafety::TPathKind::Folder:
    case FileSafety::TPathKind::Special:
        return Fail(TStatus::Failed, QStringLiteral("Not a regular file"));
    }

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
        if (!db.open()) {
            const QSqlError error = db.lastError();
            return Fail(NativeCode(error) == SqliteCantOpen ? TStatus::Failed : StatusOf(error), error.text());
        }
    }
    m_status = TStatus::Ready;
    {
        // A batch of a whole log fits in memory, so that no part of it has
        // to be written out (and wait for another program's lock) before
        // the commit.
        QSqlQuery pragma(QSqlDatabase::database(m_connection, false));
        pragma.exec(QStringLiteral("PRAGMA cache_size = -32000"));
    }
    const TStatus status = CheckLayout();
    if (status != TStatus::Ready)
        return status;
    {
        // Only in a file that is ours: write-ahead logging lets the window
        // read the archive while the command-line tool (or the window's own
        // writer) stores a batch, and the other way round; the busy time-out
        // covers the short moments when two writers meet. A file system
        // that cannot share memory between programs keeps the rollback
        // journal, which still works.
        QSqlQuery pragma(QSqlDatabase::database(m_connection, false));
        if (pragma.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && pragma.next())
            m_journalMode = pragma.value(0).toString();
    }
    return m_status;
}

THistoryArchive::TStatus THistoryArchive::CheckLayout()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // Reading the version reads the file's header: a file that is no
    // database, or one another program holds exclusively, fails here.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    const int version = query.value(0).toInt();
    if (version > SchemaVersion)
        return Fail(TStatus::Newer, QString::number(version));
    query.finish();

    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    const int objects = query.value(0).toInt();
    query.finish();
    if (version == 0) {
        // A file of our name that holds other tables is not ours to change.
        if (objects != 0)
            return Fail(TStatus::Corrupt, QStringLiteral("unknown tables"));
        if (!CreateLayout())
            return m_status;
        return TStatus::Ready;
    }

    if (version < SchemaVersion && !UpgradeLayout(version))
        return m_status;
    // Our layout: the tables must be there and readable.
    for (const char *check : {"SELECT imei, model, last_read FROM devices LIMIT 1",
                              "SELECT imei, number, stamp, raw FROM records LIMIT 1",
                              "SELECT imei, records FROM record_counts LIMIT 1",
                              "SELECT id, imei, downloaded, config_read, config, utc_offset, time_zone FROM downloads LIMIT 1"}) {
        if (!query.exec(QString::fromLatin1(check))) {
            const TStatus status = StatusOf(query.lastError());
            return Fail(status == TStatus::Failed ? TStatus::Corrupt : status, query.lastError().text());
        }
        query.finish();
    }
    // A write lock held elsewhere is found now rather than at the first store.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    query.exec(QStringLiteral("ROLLBACK"));
    return TStatus::Ready;
}

bool THistoryArchive::CreateLayout()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) {
        Fail(StatusOf(db.lastError()), db.lastError().text());
        return false;
    }
    QSqlQuery query(db);
    for (const char *statement : kLayout) {
        if (!query.exec(QString::fromLatin1(statement))) {
            const QSqlError error = query.lastError();
            db.rollback();
            Fail(StatusOf(error), error.text());
            return false;
        }
    }
    if (!query.exec(QString::fromLatin1(kDownloadsTable))
        || !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion)) || !db.commit()) {
        const QSqlError error = query.lastError().isValid() ? query.lastError() : db.lastError();
        db.rollback();
        Fail(StatusOf(error), error.text());
        return false;
    }
    return true;
}

bool THistoryArchive::UpgradeLayout(int version)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // BEGIN IMMEDIATE: a lock held elsewhere is told as such, and the file
    // stays at its old layout, whole.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        Fail(StatusOf(query.lastError()), query.lastError().text());
        return false;
    }
    if (version < 2) {
        for (const char *statement : kUpgradeTo2) {
            if (!query.exec(QString::fromLatin1(statement))) {
                const QSqlError error = query.lastError();
                query.exec(QStringLiteral("ROLLBACK"));
                const TStatus status = StatusOf(error);
                Fail(status == TStatus::Failed ? TStatus::Corrupt : status, error.text());
                return false;
            }
        }
    }
    bool upgraded = true;
    if (version < 3) {
        upgraded = query.exec(QString::fromLatin1(kDownloadsTable));
    } else if (version < 4) {
        for (const char *statement : kUpgradeTo4)
            upgraded = upgraded && query.exec(QString::fromLatin1(statement));
    }
    if (!upgraded
        || !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion))
        || !query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = query.lastError();
        query.exec(QStringLiteral("ROLLBACK"));
        Fail(StatusOf(error), error.text());
        return false;
    }
    return true;
}

qint64 THistoryArchive::StoreConfiguration(const QString &imei, const QByteArray &image, const QDateTime &read,
                                           const QDateTime &downloaded)
{
    if (image.isEmpty())
        return -1;
    return StoreDownload(imei, image, read, downloaded);
}

qint64 THistoryArchive::StoreDownload(const QString &imei, const QByteArray &image, const QDateTime &read,
                                      const QDateTime &downloaded)
{
    if (!IsReady() || imei.isEmpty())
        return -1;
    const QDateTime local = downloaded.toLocalTime();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO downloads (imei, downloaded, config_read, config, utc_offset, time_zone) "
                                 "VALUES (?, ?, ?, ?, ?, ?)"));
    query.addBindValue(imei);
    query.addBindValue(TimeText(local));
    query.addBindValue(image.isEmpty() ? QStringLiteral("") : TimeText(read));
    query.addBindValue(image.isEmpty() ? QByteArray("") : image);
    query.addBindValue(local.offsetFromUtc());
    query.addBindValue(QString::fromUtf8(QTimeZone::systemTimeZoneId()));
    if (!query.exec()) {
        m_error = query.lastError().text();
        return -1;
    }
    return query.lastInsertId().toLongLong();
}

QVector<TArchivedDownload> THistoryArchive::Downloads(const QString &imei) const
{
    QVector<TArchivedDownload> downloads;
    if (!IsReady())
        return downloads;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT id, downloaded, utc_offset, time_zone, length(config) FROM downloads "
                                 "WHERE imei = ? ORDER BY downloaded, id"));
    query.addBindValue(imei);
    if (!query.exec()) {
        ReadFailed(query.lastError());
        return downloads;
    }
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    while (query.next()) {
        TArchivedDownload download;
        download.id = query.value(0).toLongLong();
        download.downloaded = QDateTime::fromString(query.value(1).toString(), format);
        download.zoneKnown = !query.value(2).isNull();
        download.utcOffsetSeconds = query.value(2).toInt();
        download.timeZone = query.value(3).toString();
        download.hasConfiguration = query.value(4).toLongLong() > 0;
        downloads.append(download);
    }
    return downloads;
}

TArchivedConfiguration THistoryArchive::ConfigurationFor(const QString &imei, const QDateTime &lastRecord) const
{
    TArchivedConfiguration configuration;
    if (!IsReady())
        return configuration;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // Times are kept as "yyyy-MM-dd HH:mm:ss" text, which sorts as time.
    query.prepare(QStringLiteral("SELECT id, downloaded, config_read, config FROM downloads "
                                 "WHERE imei = ? AND downloaded >= ? AND length(config) > 0 ORDER BY downloaded, id LIMIT 1"));
    query.addBindValue(imei);
    query.addBindValue(TimeText(lastRecord));
    if (!query.exec() || !query.next())
        return configuration;
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    configuration.download = query.value(0).toLongLong();
    configuration.downloaded = QDateTime::fromString(query.value(1).toString(), format);
    configuration.read = QDateTime::fromString(query.value(2).toString(), format);
    configuration.image = query.value(3).toByteArray();
    return configuration;
}

int THistoryArchive::Store(const QString &imei, const QString &model,
                           const QVector<TArchivedRecord> &records, const QDateTime &readTime)
{
    if (!IsReady())
        return -1;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // The transaction by statements of its own: their errors carry
    // SQLite's codes, which tell a lock held elsewhere from a damaged file.
    QSqlQuery transaction(db);
    if (!transaction.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const QSqlError error = transaction.lastError();
        if (StatusOf(error) == TStatus::Locked)
            m_error = error.text();
        else
            Fail(StatusOf(error), error.text());
        return -1;
    }
    auto abandon = [this, &transaction](const QSqlError &error) {
        transaction.exec(QStringLiteral("ROLLBACK"));
        const TStatus status = StatusOf(error);
        // A lock held elsewhere may pass; the archive stays usable.
        if (status == TStatus::Locked) {
            m_error = error.text();
            return -1;
        }
        Fail(status, error.text());
        return -1;
    };

    QSqlQuery device(db);
    device.prepare(QStringLiteral("INSERT INTO devices (imei, model, last_read) VALUES (?, ?, ?) "
                                  "ON CONFLICT (imei) DO UPDATE SET model = excluded.model, "
                                  "last_read = excluded.last_read"));
    device.addBindValue(imei);
    device.addBindValue(model);
    device.addBindValue(TimeText(readTime));
    if (!device.exec())
        return abandon(device.lastError());

    QSqlQuery insert(db);
    QString columns = QStringLiteral("imei, number, stamp, raw, year, month, day, hour, minute, second, "
                                     "signal, flags, type");
    QString marks = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?");
    for (int value = 1; value <= ValueCount; ++value) {
        columns += QStringLiteral(", v%1").arg(value);
        marks += QStringLiteral(", ?");
    }
    insert.prepare(QStringLiteral("INSERT OR IGNORE INTO records (%1) VALUES (%2)").arg(columns, marks));
    int added = 0;
    for (const TArchivedRecord &record : records) {
        const QByteArray raw = record.raw.left(RecordSize).leftJustified(RecordSize, char(0xFF));
        insert.addBindValue(imei);
        insert.addBindValue(record.number);
        insert.addBindValue(TArchivedRecord::StampOf(raw));
        insert.addBindValue(raw);
        for (int part = 0; part < 6; ++part)
            insert.addBindValue(int(quint8(raw.at(TimeOffset + part))));
        insert.addBindValue(int(quint8(raw.at(SignalOffset))));
        insert.addBindValue(int(quint8(raw.at(FlagsOffset))));
        insert.addBindValue(int(quint8(raw.at(TypeOffset)) & 0x07));
        for (int value = 0; value < ValueCount; ++value)
            insert.addBindValue(int(qFromLittleEndian<qint16>(raw.constData() + ValuesOffset + 2 * value)));
        if (!insert.exec())
            return abandon(insert.lastError());
        added += insert.numRowsAffected() > 0 ? 1 : 0;
    }
    // A damaged index can take rows that reads never find again; SQLite
    // only notices some damage. Every record of the batch must be found the
    // way reads look for it before the batch counts as stored.
    QSqlQuery found(db);
    found.prepare(QStringLiteral("SELECT length(raw) FROM records INDEXED BY records_by_time "
                                 "WHERE imei = ? AND stamp = ? AND number = ?"));
    for (const TArchivedRecord &record : records) {
        const QByteArray raw = record.raw.left(RecordSize).leftJustified(RecordSize, char(0xFF));
        found.addBindValue(imei);
        found.addBindValue(TArchivedRecord::StampOf(raw));
        found.addBindValue(record.number);
        if (!found.exec())
            return abandon(found.lastError());
        if (!found.next()) {
            if (found.lastError().isValid())
                return abandon(found.lastError());
            transaction.exec(QStringLiteral("ROLLBACK"));
            MarkDamaged(QStringLiteral("stored records not found again"));
            return -1;
        }
        found.finish();
    }
    QSqlQuery count(db);
    count.prepare(QStringLiteral("INSERT INTO record_counts (imei, records) VALUES (?, ?) "
                                 "ON CONFLICT (imei) DO UPDATE SET records = records + excluded.records"));
    count.addBindValue(imei);
    count.addBindValue(added);
    if (!count.exec())
        return abandon(count.lastError());
    if (!transaction.exec(QStringLiteral("COMMIT")))
        return abandon(transaction.lastError());
    return added;
}

QVector<TArchivedDevice> THistoryArchive::Devices() const
{
    QVector<TArchivedDevice> devices;
    if (!IsReady())
        return devices;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT d.imei, d.model, d.last_read, coalesce(c.records, 0) "
                                   "FROM devices d LEFT JOIN record_counts c ON c.imei = d.imei "
                                   "ORDER BY d.imei"))) {
        ReadFailed(query.lastError());
        return devices;
    }
    while (query.next()) {
        TArchivedDevice device;
        device.imei = query.value(0).toString();
        device.model = query.value(1).toString();
        device.lastRead = QDateTime::fromString(query.value(2).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        device.records = query.value(3).toInt();
        devices.append(device);
    }
    if (query.lastError().isValid()) {
        ReadFailed(query.lastError());
        return {};
    }
    return devices;
}

int THistoryArchive::RecordCount(const QString &imei) const
{
    if (!IsReady())
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT records FROM record_counts WHERE imei = ?"));
    query.addBindValue(imei);
    if (!query.exec()) {
        ReadFailed(query.lastError());
        return 0;
    }
    if (query.next())
        return query.value(0).toInt();
    // No row: a device never stored; a failed step is damage.
    if (query.lastError().isValid())
        ReadFailed(query.lastError());
    return 0;
}

QVector<TArchivedRecord> THistoryArchive::Records(const QString &imei, int limit) const
{
    QVector<TArchivedRecord> records;
    m_skipped = 0;
    if (!IsReady())
        return records;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    // The latest ones are taken newest first, then put back in order.
    query.prepare(QStringLiteral("SELECT number, raw FROM records WHERE imei = ? "
                                 "ORDER BY stamp DESC, number DESC LIMIT ?"));
    query.addBindValue(imei);
    query.addBindValue(limit < 0 ? -1 : limit);
    if (!query.exec()) {
        ReadFailed(query.lastError());
        return records;
    }
    while (query.next()) {
        const QByteArray raw = query.value(1).toByteArray();
        // Decoding reads 64 bytes; another program may have stored others.
        if (raw.size() != RecordSize) {
            ++m_skipped;
            continue;
        }
        records.append(TArchivedRecord{query.value(0).toInt(), raw});
    }
    if (query.lastError().isValid()) {
        ReadFailed(query.lastError());
        return {};
    }
    std::reverse(records.begin(), records.end());
    return records;
}

bool THistoryArchive::ForEachRecord(const QString &imei,
                                     const std::function<bool(const TArchivedRecord &)> &take) const
{
    if (!IsReady())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT number, raw FROM records WHERE imei = ? ORDER BY stamp, number"));
    query.addBindValue(imei);
    m_skipped = 0;
    if (!query.exec()) {
        ReadFailed(query.lastError());
        return false;
    }
    while (query.next()) {
        const QByteArray raw = query.value(1).toByteArray();
        // Decoding reads 64 bytes; another program may have stored others.
        if (raw.size() != RecordSize) {
            ++m_skipped;
            continue;
        }
        if (!take(TArchivedRecord{query.value(0).toInt(), raw}))
            break;
    }
    if (query.lastError().isValid()) {
        ReadFailed(query.lastError());
        return false;
    }
    return true;
}

TArchivedRecord THistoryArchive::LastRecord(const QString &imei) const
{
    const QVector<TArchivedRecord> last = Records(imei, 1);
    return last.isEmpty() ? TArchivedRecord{} : last.first();
}

bool THistoryArchive::DeleteDevice(const QString &imei)
{
    if (!IsReady())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return false;
    QSqlQuery query(db);
    for (const char *statement : {"DELETE FROM records WHERE imei = ?", "DELETE FROM record_counts WHERE imei = ?",
                                  "DELETE FROM downloads WHERE imei = ?",
                                  "DELETE FROM devices WHERE imei = ?"}) {
        query.prepare(QString::fromLatin1(statement));
        query.addBindValue(imei);
        if (!query.exec()) {
            m_error = query.lastError().text();
            db.rollback();
            return false;
        }
    }
    return db.commit();
}
