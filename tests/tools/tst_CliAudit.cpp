// k80x-cli and the audit trail: every changing command leaves its intent
// and outcome entries (listed by "audit --json"), --reason is kept and,
// with the setting on, required before anything is sent, and
// "audit --verify" tells an intact trail from an altered one.
#include "audit/AuditTrail_Unt.h"
#include "fixtures/CliRun.h"
#include "config/ConfigImage_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kRunTimeoutMs = 60000;
constexpr int K802 = 1;

struct TLogger
{
    TDeviceSimulator Device{TDeviceSimulator::Model::K802};
    TPtyBridge Bridge{&Device};
};

} // namespace

class TestCliAudit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TLogger> m_logger;

    QString TrailPath() const { return m_dir.filePath(QStringLiteral("data/k80x/audit.sqlite")); }
    QString SettingsFile() const { return m_dir.filePath(QStringLiteral("config/k80x/k80x.conf")); }

    void SetReasonRequired(bool required)
    {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Audit/ReasonRequired"), required);
        settings.sync();
    }

    CliRun::TRun Run(const QStringList &arguments)
    {
        return CliRun::Run(arguments + QStringList{QStringLiteral("--lang"), QStringLiteral("en")},
                           CliRun::UserEnvironment(m_dir.path()), kRunTimeoutMs);
    }

    QJsonArray Listed(const QStringList &filter = {})
    {
        const CliRun::TRun run = Run(QStringList{QStringLiteral("audit"), QStringLiteral("--json")} + filter);
        return run.ExitCode == 0 ? QJsonDocument::fromJson(run.Out.toUtf8()).array() : QJsonArray();
    }

    QString Profile(const QString &description)
    {
        TDecodeResult decoded = DecodeImage(m_logger->Device.configImage(), K802);
        decoded.Values.Texts[QStringLiteral("lbledt_Master_DevDes")] = description;
        const QString file = m_dir.filePath(QStringLiteral("profile.ini"));
        return TProfileImage::Save(decoded.Values, K802, 1, file).ok() ? file : QString();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(TrailPath());
        QFile::remove(SettingsFile());
        m_logger = std::make_unique<TLogger>();
        m_logger->Device.setLatencyMs(1);
        QVERIFY(m_logger->Bridge.open());
    }

    void cleanup() { m_logger.reset(); }

    void commandLeavesItsEntries_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("changedField");

        QTest::newRow("write") << QStringList{"write", "--in", "PROFILE"} << "write" << "written and verified"
                               << "Device description(Max.60 characters)";
        QTest::newRow("erase history") << QStringList{"erase-history", "--yes"} << "erase-history"
                                       << "history log erased" << "";
        QTest::newRow("set clock") << QStringList{"clock", "--sync"} << "set-clock" << "device clock set from the PC"
                                   << "";
        QTest::newRow("relay 1 close") << QStringList{"relay", "1", "close"} << "relay-close-1" << "done" << "";
        QTest::newRow("relay 2 open") << QStringList{"relay", "2", "open"} << "relay-open-2" << "done" << "";
    }

    void commandLeavesItsEntries()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, action);
        QFETCH(QString, outcome);
        QFETCH(QString, changedField);

        arguments.replaceInStrings(QStringLiteral("PROFILE"), Profile(QStringLiteral("Cold room 3")));
        const CliRun::TRun run = Run(arguments + QStringList{"--port", m_logger->Bridge.slavePath(), "--reason", "weekly check"});
        QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));

        const QJsonArray entries = Listed();
        QCOMPARE(entries.size(), 2);
        const QJsonObject intent = entries.at(0).toObject();
        const QJsonObject end = entries.at(1).toObject();
        QCOMPARE(intent.value("kind").toString(), QStringLiteral("intent"));
        QCOMPARE(end.value("kind").toString(), QStringLiteral("outcome"));
        QCOMPARE(end.value("refers").toInt(), intent.value("entry").toInt());
        QCOMPARE(intent.value("action").toString(), action);
        QCOMPARE(end.value("result").toString(), QStringLiteral("done"));
        QCOMPARE(end.value("outcome_en").toString(), outcome);
        QCOMPARE(intent.value("reason").toString(), QStringLiteral("weekly check"));
        QCOMPARE(intent.value("imei").toString(), m_logger->Device.imei());
        QCOMPARE(intent.value("port").toString(), m_logger->Bridge.slavePath());
        const QJsonArray changes = end.value("changes").toArray();
        if (changedField.isEmpty()) {
            QVERIFY(changes.isEmpty());
        } else {
            QCOMPARE(changes.size(), 1);
            QCOMPARE(changes.at(0).toObject().value("field_en").toString(), changedField);
            QCOMPARE(changes.at(0).toObject().value("after").toString(), QStringLiteral("Cold room 3"));
            QVERIFY(!end.value("backup_file").toString().isEmpty());
        }

        // The filters: this device, today; another device, another day.
        QCOMPARE(Listed({"--imei", m_logger->Device.imei()}).size(), 2);
        QCOMPARE(Listed({"--imei", "000000000000000"}).size(), 0);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(Listed({"--from", today, "--to", today}).size(), 2);
        QCOMPARE(Listed({"--to", QDate::currentDate().addDays(-1).toString(Qt::ISODate)}).size(), 0);
        QCOMPARE(Run({"audit", "--verify"}).ExitCode, 0);
    }

    void reasonRequired_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("changing");
        QTest::newRow("relay") << QStringList{"relay", "1", "close"} << true;
        QTest::newRow("erase history") << QStringList{"erase-history", "--yes"} << true;
        QTest::newRow("set clock") << QStringList{"clock", "--sync"} << true;
        QTest::newRow("clock read") << QStringList{"clock"} << false;
    }

    void reasonRequired()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, changing);

        SetReasonRequired(true);
        const CliRun::TRun run = Run(arguments + QStringList{"--port", m_logger->Bridge.slavePath()});
        if (!changing) {
            QCOMPARE(run.ExitCode, 0);
            return;
        }
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains(QStringLiteral("a reason is required: give --reason TEXT; nothing was sent")),
                 qPrintable(run.Err));
        // Not even the password went out.
        QCOMPARE(m_logger->Device.requestLog().size(), 0);
        QCOMPARE(Listed().size(), 0);

        const CliRun::TRun given = Run(arguments + QStringList{"--port", m_logger->Bridge.slavePath(), "--reason", "alarm test"});
        QVERIFY2(given.ExitCode == 0, qPrintable(given.Err));
        QCOMPARE(Listed().last().toObject().value("reason").toString(), QStringLiteral("alarm test"));
    }

    void damagedTrailStopsAChangingCommand()
    {
        QVERIFY(QDir().mkpath(QFileInfo(TrailPath()).absolutePath()));
        QFile file(TrailPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3000, 'z'));
        file.close();

        const CliRun::TRun run = Run({"relay", "1", "close", "--port", m_logger->Bridge.slavePath()});
        QCOMPARE(run.ExitCode, 2);
        QVERIFY2(run.Err.contains(QStringLiteral("Nothing was sent to the device")), qPrintable(run.Err));
        QVERIFY2(run.Err.contains(TrailPath()), qPrintable(run.Err));
        // The login went out, the relay line did not.
        for (const QByteArray &request : m_logger->Device.requestLog())
            QVERIFY(!request.contains("DOC1"));
        QCOMPARE(QFileInfo(TrailPath()).size(), 3000);
        QCOMPARE(Run({"audit", "--verify"}).ExitCode, 2);
    }

    void verifyNamesTheAlteredEntry()
    {
        for (const char *relay : {"1", "2"}) {
            const CliRun::TRun run = Run({"relay", relay, "close", "--port", m_logger->Bridge.slavePath()});
            QVERIFY2(run.ExitCode == 0, qPrintable(run.Err));
        }
        const CliRun::TRun intact = Run({"audit", "--verify"});
        QCOMPARE(intact.ExitCode, 0);
        QCOMPARE(intact.Out.trimmed(), QStringLiteral("audit trail intact (4 entries)"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("edit"));
            db.setDatabaseName(TrailPath());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE audit SET result = 'done' WHERE sequence = 3")));
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE audit SET os_user = 'someone' WHERE sequence = 2")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("edit"));
        const CliRun::TRun altered = Run({"audit", "--verify"});
        QCOMPARE(altered.ExitCode, 5);
        QCOMPARE(altered.Err.trimmed(), QStringLiteral("audit trail altered: entry 2 was altered"));
    }
};

QTEST_GUILESS_MAIN(TestCliAudit)
#include "tst_CliAudit.moc"
