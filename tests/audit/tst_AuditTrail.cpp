// The audit trail's store on its own: entries kept as appended, the chain
// check naming the first entry changed, removed, inserted or moved, and
// files it must not write (damaged, foreign, in an unwritable folder) left
// exactly as they were.
#include "audit/AuditTrail_Unt.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(TAuditCheck::TProblem)

namespace {

TAuditEntry Entry(int number)
{
    TAuditEntry entry;
    entry.kind = number % 2 ? TAuditEntry::TKind::Intent : TAuditEntry::TKind::Outcome;
    entry.refers = number % 2 ? 0 : number - 1;
    entry.timeUtc = QDateTime(QDate(2026, 12, 11), QTime(9, 30, number, 125), Qt::UTC);
    entry.utcOffset = 3600;
    entry.user = QStringLiteral("pharmacist");
    entry.host = QStringLiteral("coldroom-pc");
    entry.version = QStringLiteral("V2.39");
    entry.port = QStringLiteral("COM3");
    entry.imei = QStringLiteral("863712030448024");
    entry.model = QStringLiteral("K802");
    entry.action = QStringLiteral("write");
    entry.result = number % 2 ? QString() : QStringLiteral("done");
    entry.outcomeEn = number % 2 ? QString() : QStringLiteral("written and verified");
    entry.outcomeZh = number % 2 ? QString() : QStringLiteral("已写入并校验");
    entry.changes = {{QStringLiteral("设备ID"), QStringLiteral("Device ID"), QStringLiteral("1"),
                      QString::number(number)}};
    entry.reason = QStringLiteral("threshold change %1").arg(number);
    return entry;
}

// Runs statements on the trail's file through a connection of its own, as
// somebody editing the file by hand would.
void Tamper(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement + QStringLiteral(": ") + query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAuditTrail : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString FreshTrail(int entries)
    {
        static int number = 0;
        const QString path = m_dir.filePath(QStringLiteral("audit-%1.sqlite").arg(++number));
        TAuditTrail trail(path);
        if (trail.Open() != TAuditTrail::TStatus::Ready)
            return QString();
        for (int index = 1; index <= entries; ++index) {
            if (trail.Append(Entry(index)) != index) {
                qWarning() << trail.ProblemText(1);
                return QString();
            }
        }
        return path;
    }

private slots:
    void defaultPathIsBesideTheArchive()
    {
        // The test's own data folder (XDG_DATA_HOME), never the user's.
        QVERIFY(TAuditTrail::DefaultPath().endsWith(QStringLiteral("/audit.sqlite")));
        QVERIFY(TAuditTrail::DefaultPath().contains(QStringLiteral("tst_AuditTrail")));
    }

    void entriesComeBackAsAppended()
    {
        const QString path = FreshTrail(3);
        QVERIFY(!path.isEmpty());
        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        const QList<TAuditEntry> entries = trail.Entries();
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries.at(1).sequence, 2);
        QCOMPARE(entries.at(1).kind, TAuditEntry::TKind::Outcome);
        QCOMPARE(entries.at(1).refers, 1);
        QCOMPARE(entries.at(1).timeUtc, QDateTime(QDate(2026, 12, 11), QTime(9, 30, 2, 125), Qt::UTC));
        QCOMPARE(entries.at(1).utcOffset, 3600);
        QCOMPARE(entries.at(1).outcomeZh, QStringLiteral("已写入并校验"));
        QCOMPARE(entries.at(1).reason, QStringLiteral("threshold change 2"));
        QCOMPARE(entries.at(1).changes.size(), 1);
        QCOMPARE(entries.at(1).changes.at(0).captionEn, QStringLiteral("Device ID"));
        QCOMPARE(entries.at(1).changes.at(0).captionZh, QStringLiteral("设备ID"));
        QCOMPARE(entries.at(1).changes.at(0).after, QStringLiteral("2"));
        // Each entry carries its predecessor's hash.
        QCOMPARE(entries.at(0).previousHash, QString());
        QCOMPARE(entries.at(1).previousHash, entries.at(0).hash);
        QCOMPARE(entries.at(2).previousHash, entries.at(1).hash);
        QCOMPARE(entries.at(2).hash.size(), 64);
    }

    void chainCheck_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<TAuditCheck::TProblem>("problem");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("text");

        using P = TAuditCheck::TProblem;
        QTest::newRow("untouched") << QStringList() << P::None << 0 << "intact";
        QTest::newRow("changed field") << QStringList{"UPDATE audit SET reason = 'routine' WHERE sequence = 3"}
                                       << P::Altered << 3 << "entry 3 was altered";
        QTest::newRow("changed new value")
            << QStringList{"UPDATE audit SET changes = replace(changes, '\"4\"]', '\"9\"]') WHERE sequence = 4"}
            << P::Altered << 4 << "entry 4 was altered";
        QTest::newRow("deleted entry") << QStringList{"DELETE FROM audit WHERE sequence = 3"} << P::Removed << 3
                                       << "entry 3 was removed";
        QTest::newRow("deleted and renumbered")
            << QStringList{"DELETE FROM audit WHERE sequence = 3",
                           "UPDATE audit SET sequence = sequence - 1 WHERE sequence > 3"}
            << P::Removed << 3 << "entry 3 was removed";
        QTest::newRow("inserted entry")
            << QStringList{"UPDATE audit SET sequence = sequence + 100 WHERE sequence >= 3",
                           "UPDATE audit SET sequence = sequence - 99 WHERE sequence > 100",
                           "INSERT INTO audit SELECT 3, kind, refers, time_utc, utc_offset, os_user, host, version,"
                           " port, imei, model, action, result, outcome_zh, outcome_en, changes, backup_file,"
                           " 'forged', previous_hash, hash FROM audit WHERE sequence = 2"}
            << P::Inserted << 3 << "entry 3 was inserted";
        QTest::newRow("swapped pair")
            << QStringList{"UPDATE audit SET sequence = -1 WHERE sequence = 3",
                           "UPDATE audit SET sequence = 3 WHERE sequence = 4",
                           "UPDATE audit SET sequence = 4 WHERE sequence = -1"}
            << P::Swapped << 3 << "entries 3 and 4 were swapped";
    }

    void chainCheck()
    {
        QFETCH(QStringList, statements);
        QFETCH(TAuditCheck::TProblem, problem);
        QFETCH(int, entry);
        QFETCH(QString, text);

        const QString path = FreshTrail(5);
        QVERIFY(!path.isEmpty());
        Tamper(path, statements);
        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        const TAuditCheck check = trail.Verify();
        QCOMPARE(check.problem, problem);
        QCOMPARE(check.entry, entry);
        QCOMPARE(check.Text(1), text);
    }

    void forgedEntryWithItsOwnHash()
    {
        // Somebody who knows the layout puts in an entry hashed as the program would.
        const QString path = FreshTrail(4);
        QVERIFY(!path.isEmpty());
        TAuditTrail reader(path);
        QCOMPARE(reader.Open(), TAuditTrail::TStatus::Ready);
        const QList<TAuditEntry> entries = reader.Entries();
        reader.Close();
        TAuditEntry forged = Entry(7);
        forged.previousHash = entries.at(1).hash;
        forged.timeUtc = entries.at(1).timeUtc;
        const QString hash = forged.ComputedHash();
        Tamper(path, {"UPDATE audit SET sequence = sequence + 100 WHERE sequence >= 3",
                      "UPDATE audit SET sequence = sequence - 99 WHERE sequence > 100",
                      QStringLiteral("INSERT INTO audit SELECT 3, kind, refers, time_utc, utc_offset, os_user, host,"
                                     " version, port, imei, model, action, result, outcome_zh, outcome_en, changes,"
                                     " backup_file, '%1', previous_hash, '%2' FROM audit WHERE sequence = 2")
                          .arg(forged.reason, hash)});
        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        const TAuditCheck check = trail.Verify();
        // The forged row has entry 2's content with another reason: its own hash was made for Entry(7).
        QVERIFY(!check.Intact());
        QCOMPARE(check.entry, 3);
    }

    void appendAfterCheckContinuesTheChain()
    {
        const QString path = FreshTrail(2);
        QVERIFY(!path.isEmpty());
        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        QCOMPARE(trail.Append(Entry(3)), std::optional<qint64>(3));
        QVERIFY(trail.Verify().Intact());
        QCOMPARE(trail.Verify().count, 3);
    }

    void filesNotWritten_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");

        QTest::newRow("damaged") << "damaged" << int(TAuditTrail::TStatus::Damaged) << "is damaged";
        QTest::newRow("foreign") << "foreign" << int(TAuditTrail::TStatus::Foreign)
                                 << "is not an audit trail of this program";
        QTest::newRow("folder") << "folder" << int(TAuditTrail::TStatus::Foreign)
                                << "is not an audit trail of this program";
#ifdef Q_OS_UNIX
        if (::geteuid() != 0)
            QTest::newRow("unwritable folder") << "unwritable" << int(TAuditTrail::TStatus::Failed)
                                               << "cannot be written";
#endif
    }

    void filesNotWritten()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, text);

        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("audit.sqlite"));
        if (kind == QLatin1String("damaged")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("SQLite format 3") + QByteArray(1000, char(0x5A)));
        } else if (kind == QLatin1String("foreign")) {
            Tamper(path, {"CREATE TABLE recipes (name TEXT)", "INSERT INTO recipes VALUES ('bread')"});
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("audit.sqlite")));
        } else {
            const QString folder = dir.filePath(QStringLiteral("locked"));
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            path = folder + QStringLiteral("/audit.sqlite");
        }
        const QByteArray before = FileBytes(path);

        TAuditTrail trail(path);
        QCOMPARE(int(trail.Open()), status);
        QVERIFY(!trail.Append(Entry(1)));
        QVERIFY2(trail.ProblemText(1).contains(text), qPrintable(trail.ProblemText(1)));
        QVERIFY2(trail.ProblemText(1).contains(QDir::toNativeSeparators(path)), qPrintable(trail.ProblemText(1)));
        trail.Close();
        QCOMPARE(FileBytes(path), before);
        if (kind == QLatin1String("unwritable"))
            QFile::setPermissions(QFileInfo(path).absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestAuditTrail)
#include "tst_AuditTrail.moc"
