#include "audit/AuditTrail_Unt.h"

#include "base/FileSafety_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <algorithm>

namespace {

constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteCantOpen = 14;
constexpr int SqliteNotADatabase = 26;

QAtomicInt g_connections;

const char kLayout[] =
    "CREATE TABLE audit ("
    " sequence INTEGER PRIMARY KEY,"
    " kind TEXT NOT NULL,"
    " refers INTEGER NOT NULL,"
    " time_utc TEXT NOT NULL,"
    " utc_offset INTEGER NOT NULL,"
    " os_user TEXT NOT NULL,"
    " host TEXT NOT NULL,"
    " version TEXT NOT NULL,"
    " port TEXT NOT NULL,"
    " imei TEXT NOT NULL,"
    " model TEXT NOT NULL,"
    " action TEXT NOT NULL,"
    " result TEXT NOT NULL,"
    " outcome_zh TEXT NOT NULL,"
    " outcome_en TEXT NOT NULL,"
    " changes TEXT NOT NULL,"
    " backup_file TEXT NOT NULL,"
    " reason TEXT NOT NULL,"
    " previous_hash TEXT NOT NULL,"
    " hash TEXT NOT NULL)";

const char kColumns[] =
    "sequence, kind, refers, time_utc, utc_offset, os_user, host, version, port, imei, model, action, result,"
    " outcome_zh, outcome_en, changes, backup_file, reason, previous_hash, hash";

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ");

int NativeCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : -1;
}

TAuditTrail::TStatus StatusOf(const QSqlError &error)
{
    switch (NativeCode(error)) {
    case SqliteBusy:
    case SqliteLocked:
        return TAuditTrail::TStatus::Locked;
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return TAuditTrail::TStatus::Damaged;
    default:
        return TAuditTrail::TStatus::Failed;
    }
}

QString ChangesJson(const QList<TAuditChange> &changes)
{
    QJsonArray list;
    for (const TAuditChange &change : changes)
        list.append(QJsonArray{change.captionZh, change.captionEn, change.before, change.after});
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

// A text that does not parse gives no changes; the hash then tells that it was touched.
QList<TAuditChange> ChangesFrom(const QString &json)
{
    QList<TAuditChange> changes;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.toUtf8()).array()) {
        const QJsonArray row = value.toArray();
        changes << TAuditChange{row.at(0).toString(), row.at(1).toString(), row.at(2).toString(),
                                row.at(3).toString()};
    }
    return changes;
}

TAuditEntry EntryOf(const QSqlQuery &query)
{
    TAuditEntry entry;
    entry.sequence = query.value(0).toLongLong();
    entry.kind = AuditKinds::FromCode(query.value(1).toString());
    entry.refers = query.value(2).toLongLong();
    entry.timeUtc = QDateTime::fromString(query.value(3).toString(), Qt::ISODateWithMs);
    entry.utcOffset = query.value(4).toInt();
    entry.user = query.value(5).toString();
    entry.host = query.value(6).toString();
    entry.version = query.value(7).toString();
    entry.port = query.value(8).toString();
    entry.imei = query.value(9).toString();
    entry.model = query.value(10).toString();
    entry.action = query.value(11).toString();
    entry.result = query.value(12).toString();
    entry.outcomeZh = query.value(13).toString();
    entry.outcomeEn = query.value(14).toString();
    entry.changes = ChangesFrom(query.value(15).toString());
    entry.backupFile = query.value(16).toString();
    entry.reason = query.value(17).toString();
    entry.previousHash = query.value(18).toString();
    entry.hash = query.value(19).toString();
    return entry;
}

QString TimeText(const QDateTime &time)
{
    return time.toUTC().toString(kTimeFormat);
}

} // namespace

QString AuditKinds::Code(TAuditEntry::TKind kind)
{
    switch (kind) {
    case TAuditEntry::TKind::Intent: return QStringLiteral("intent");
    case TAuditEntry::TKind::Outcome: return QStringLiteral("outcome");
    case TAuditEntry::TKind::Event: break;
    }
    return QStringLiteral("event");
}

TAuditEntry::TKind AuditKinds::FromCode(const QString &code)
{
    if (code == QLatin1String("intent"))
        return TAuditEntry::TKind::Intent;
    if (code == QLatin1String("outcome"))
        return TAuditEntry::TKind::Outcome;
    return TAuditEntry::TKind::Event;
}

QByteArray TAuditEntry::Canonical() const
{
    // Times as text, to the millisecond: what the file holds is what is hashed.
    const QJsonArray fields{AuditKinds::Code(kind), QString::number(refers), TimeText(timeUtc), utcOffset,
                            user, host, version, port, imei, model, action, result, outcomeZh, outcomeEn,
                            ChangesJson(changes), backupFile, reason, previousHash};
    return QJsonDocument(fields).toJson(QJsonDocument::Compact);
}

QString TAuditEntry::ComputedHash() const
{
    return QString::fromLatin1(QCryptographicHash::hash(Canonical(), QCryptographicHash::Sha256).toHex());
}

QString TAuditCheck::Text(int language) const
{
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    switch (problem) {
    case TProblem::None: return text("AudChainIntact");
    case TProblem::Unreadable: return text("AudChainUnreadable").arg(detail);
    case TProblem::Altered: return text("AudChainAltered").arg(entry);
    case TProblem::Removed: return text("AudChainRemoved").arg(entry);
    case TProblem::Inserted: return text("AudChainInserted").arg(entry);
    case TProblem::Swapped: return text("AudChainSwapped").arg(entry).arg(entry + 1);
    }
    return QString();
}

TAuditTrail::TAuditTrail(const QString &path)
    : m_path(path.isEmpty() ? DefaultPath() : path),
      m_connection(QStringLiteral("k80x-audit-%1").arg(g_connections.fetchAndAddRelaxed(1)))
{
}

TAuditTrail::~TAuditTrail()
{
    Close();
}

QString TAuditTrail::DefaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("audit.sqlite"));
}

TAuditTrail::TStatus TAuditTrail::Fail(TStatus status, const QString &error)
{
    m_error = error;
    m_status = status;
    return status;
}

void TAuditTrail::Close()
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

QString TAuditTrail::ProblemText(int language) const
{
    const QString file = QDir::toNativeSeparators(m_path);
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    switch (m_status) {
    case TStatus::Ready: return QString();
    case TStatus::Locked: return text("AudStoreLocked").arg(file);
    case TStatus::Damaged: return text("AudStoreDamaged").arg(file);
    case TStatus::Foreign: return text("AudStoreForeign").arg(file);
    case TStatus::Newer: return text("AudStoreNewer").arg(file);
    case TStatus::Closed:
    case TStatus::Failed: break;
    }
    return text("AudStoreFailed").arg(file, m_error);
}

TAuditTrail::TStatus TAuditTrail::Open()
{
    Close();
    m_error.clear();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return Fail(TStatus::Failed, QStringLiteral("QSQLITE driver missing"));
    const QFileInfo file(m_path);
    const bool ownFolder = file.absolutePath() == QFileInfo(DefaultPath()).absolutePath();
    if (!FileSafety::MakeFolder(file.absolutePath(), ownFolder))
        return Fail(TStatus::Failed, QDir::toNativeSeparators(file.absolutePath()));
    switch (FileSafety::KindOf(m_path)) {
    case FileSafety::TPathKind::Absent: {
        const FileSafety::TSaveResult created = FileSafety::SaveFile(m_path, QByteArray(), true);
        if (!created.ok())
            return Fail(TStatus::Failed, created.detail);
        break;
    }
    case FileSafety::TPathKind::Regular:
        break;
    case FileSafety::TPathKind::SymLink:
    case FileSafety::TPathKind::Folder:
    case FileSafety::TPathKind::Special:
        // Appending through a link could write somebody else's file.
        return Fail(TStatus::Foreign, QStringLiteral("Not a regular file"));
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
    return CheckLayout();
}

TAuditTrail::TStatus TAuditTrail::CheckLayout()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA application_id")) || !query.next())
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    const int applicationId = query.value(0).toInt();
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    const int version = query.value(0).toInt();
    query.finish();
    if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    const int objects = query.value(0).toInt();
    query.finish();

    if (applicationId == 0 && version == 0 && objects == 0) {
        // A new, empty file: ours to lay out.
        if (!db.transaction())
            return Fail(StatusOf(db.lastError()), db.lastError().text());
        const bool made = query.exec(QString::fromLatin1(kLayout))
            && query.exec(QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId))
            && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
        if (!made) {
            const QSqlError error = query.lastError();
            db.rollback();
            return Fail(StatusOf(error), error.text());
        }
        if (!db.commit())
            return Fail(StatusOf(db.lastError()), db.lastError().text());
        return m_status;
    }
    if (applicationId != ApplicationId)
        return Fail(TStatus::Foreign, QString::number(applicationId));
    if (version > SchemaVersion)
        return Fail(TStatus::Newer, QString::number(version));
    if (!query.exec(QStringLiteral("SELECT %1 FROM audit LIMIT 1").arg(QString::fromLatin1(kColumns)))) {
        const TStatus status = StatusOf(query.lastError());
        return Fail(status == TStatus::Failed ? TStatus::Damaged : status, query.lastError().text());
    }
    query.finish();
    // A write lock held elsewhere is found now rather than at the first entry.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return Fail(StatusOf(query.lastError()), query.lastError().text());
    query.exec(QStringLiteral("ROLLBACK"));
    return m_status;
}

std::optional<qint64> TAuditTrail::Append(TAuditEntry entry)
{
    if (m_status != TStatus::Ready)
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // The last row and the new one in one write transaction: the window and
    // the tool may append at the same time, and the chain must not fork.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        Fail(StatusOf(query.lastError()), query.lastError().text());
        return std::nullopt;
    }
    const auto rollback = [this](const QSqlError &error) -> std::optional<qint64> {
        QSqlQuery undo(QSqlDatabase::database(m_connection, false));
        undo.exec(QStringLiteral("ROLLBACK"));
        Fail(StatusOf(error), error.text());
        return std::nullopt;
    };
    if (!query.exec(QStringLiteral("SELECT sequence, hash FROM audit ORDER BY sequence DESC LIMIT 1")))
        return rollback(query.lastError());
    entry.sequence = 1;
    entry.previousHash.clear();
    if (query.next()) {
        entry.sequence = query.value(0).toLongLong() + 1;
        entry.previousHash = query.value(1).toString();
    }
    query.finish();
    if (!entry.timeUtc.isValid()) {
        const QDateTime now = QDateTime::currentDateTime();
        entry.timeUtc = now.toUTC();
        entry.utcOffset = now.offsetFromUtc();
    }
    entry.timeUtc = QDateTime::fromString(TimeText(entry.timeUtc), Qt::ISODateWithMs);
    entry.hash = entry.ComputedHash();
    query.prepare(QStringLiteral("INSERT INTO audit (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(QString::fromLatin1(kColumns)));
    const QVariantList values{entry.sequence, AuditKinds::Code(entry.kind), entry.refers, TimeText(entry.timeUtc),
                              entry.utcOffset, entry.user, entry.host, entry.version, entry.port, entry.imei,
                              entry.model, entry.action, entry.result, entry.outcomeZh, entry.outcomeEn,
                              ChangesJson(entry.changes), entry.backupFile, entry.reason, entry.previousHash,
                              entry.hash};
    // An unset text is stored as an empty one: the columns hold no NULLs.
    for (const QVariant &value : values)
        query.addBindValue(value.userType() == QMetaType::QString && value.toString().isNull() ? QVariant(QLatin1String(""))
                                                                                              : value);
    if (!query.exec())
        return rollback(query.lastError());
    query.finish();
    if (!query.exec(QStringLiteral("COMMIT")))
        return rollback(query.lastError());
    return entry.sequence;
}

QList<TAuditEntry> TAuditTrail::Entries()
{
    QList<TAuditEntry> entries;
    if (m_status != TStatus::Ready)
        return entries;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT %1 FROM audit ORDER BY sequence").arg(QString::fromLatin1(kColumns)))) {
        m_error = query.lastError().text();
        return entries;
    }
    while (query.next())
        entries << EntryOf(query);
    return entries;
}

TAuditCheck TAuditTrail::Verify()
{
    TAuditCheck check;
    if (m_status != TStatus::Ready) {
        check.problem = TAuditCheck::TProblem::Unreadable;
        check.detail = ProblemText(1);
        return check;
    }
    const QList<TAuditEntry> entries = Entries();
    QString previousHash;
    qint64 expected = 1;
    for (int index = 0; index < entries.size(); ++index) {
        const TAuditEntry &entry = entries.at(index);
        const auto found = [&check](TAuditCheck::TProblem problem, qint64 number) {
            check.problem = problem;
            check.entry = number;
            return check;
        };
        const TAuditEntry *next = index + 1 < entries.size() ? &entries.at(index + 1) : nullptr;
        if (entry.ComputedHash() != entry.hash) {
            // A row put in: the next one still follows the row before it.
            const bool putIn = next && next->previousHash == previousHash;
            return found(putIn ? TAuditCheck::TProblem::Inserted : TAuditCheck::TProblem::Altered, entry.sequence);
        }
        if (entry.previousHash != previousHash) {
            // The two rows in the wrong order: the next one follows the row before.
            if (next && next->previousHash == previousHash && entry.previousHash == next->hash)
                return found(TAuditCheck::TProblem::Swapped, entry.sequence);
            // A row put in: the next one still follows the row before it.
            if (next && next->previousHash == previousHash)
                return found(TAuditCheck::TProblem::Inserted, entry.sequence);
            // A row put in that follows its predecessor well: this one
            // follows the row before it.
            if (index >= 2 && entry.previousHash == entries.at(index - 2).hash)
                return found(TAuditCheck::TProblem::Inserted, entries.at(index - 1).sequence);
            if (entry.sequence > expected)
                return found(TAuditCheck::TProblem::Removed, expected);
            // Consistent in itself but not the row that was there: the one
            // before was replaced as a whole.
            const bool followsAny = std::any_of(entries.cbegin(), entries.cend(), [&entry](const TAuditEntry &other) {
                return other.hash == entry.previousHash;
            });
            return found(followsAny ? TAuditCheck::TProblem::Altered : TAuditCheck::TProblem::Removed, entry.sequence);
        }
        if (entry.sequence != expected)
            return found(entry.sequence > expected ? TAuditCheck::TProblem::Removed : TAuditCheck::TProblem::Altered,
                         entry.sequence > expected ? expected : entry.sequence);
        previousHash = entry.hash;
        expected = entry.sequence + 1;
    }
    check.count = int(entries.size());
    return check;
}
