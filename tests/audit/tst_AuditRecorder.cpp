// The audit recorder on a device connection, without any window: every
// action through the simulated logger leaves its intent and outcome entries
// (in the tool's words), a trail that cannot be written stops a changing
// action before a byte goes out, a required reason is enforced, and an
// action broken off leaves its intent.
#include "audit/AuditList_Unt.h"
#include "audit/AuditRecorder_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/JobVerdict_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int JobWaitMs = 60000;
constexpr int K802 = 1;
const QString kDescription = QStringLiteral("lbledt_Master_DevDes");
const QString kDescriptionCaption = QStringLiteral("Device description(Max.60 characters)");
const QString kDescriptionCaptionChinese = QString::fromUtf8("设备描述(最多输入60个字符)");

bool RunToEnd(TDeviceJob *job)
{
    if (!job->start())
        return false;
    return QTest::qWaitFor([job] { return !job->isRunning(); }, JobWaitMs);
}

// The device's image with another description.
QByteArray WithDescription(const QByteArray &image, const QString &description)
{
    TDecodeResult decoded = DecodeImage(image, K802);
    if (!decoded.Ok())
        return {};
    decoded.Values.Texts[kDescription] = description;
    const TEncodeResult encoded = EncodeImage(decoded.Values, K802);
    return encoded.Ok() ? encoded.Image : QByteArray();
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAuditRecorder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TDeviceConnection> m_connection;
    std::unique_ptr<TAuditRecorder> m_recorder;
    int m_trails = 0;

    TDeviceSimulator *Device() const { return DemoSimulator(m_connection->Session()->port()); }

    QString NewTrailPath() { return m_dir.filePath(QStringLiteral("audit-%1.sqlite").arg(++m_trails)); }

    // A K802 logged in, its actions recorded in a trail at path.
    bool LogIn(const QString &path)
    {
        m_recorder.reset();
        m_connection = std::make_unique<TDeviceConnection>();
        m_recorder = std::make_unique<TAuditRecorder>(m_connection.get(), TAuditRecorder::TFace::Tool, path);
        std::unique_ptr<TLoginJob> login(m_connection->Login(QStringLiteral("demo:K802"), QStringLiteral("5937")));
        return RunToEnd(login.get()) && login->outcome() == TDeviceJob::TOutcome::Done;
    }

    TDeviceJob *MakeJob(const QString &name)
    {
        TDeviceConnection &c = *m_connection;
        const auto keep = [this](const QByteArray &, QString *keptFile) {
            *keptFile = m_dir.filePath(QStringLiteral("backup.bin"));
            return QString();
        };
        if (name.startsWith(QLatin1String("write")) || name == QLatin1String("restore")) {
            TDeviceJob *write = c.WriteVerified(WithDescription(Device()->configImage(), QStringLiteral("Cold room 3")),
                                                QByteArray(), keep);
            if (name == QLatin1String("restore"))
                write->SetNote({QStringLiteral("restore"), QStringLiteral("back to last week")});
            return write;
        }
        if (name == QLatin1String("erase history"))
            return c.EraseHistory();
        if (name == QLatin1String("set clock"))
            return c.WriteClock(QDateTime(QDate(2031, 5, 17), QTime(8, 42)));
        if (name == QLatin1String("relay 2 open"))
            return c.SwitchRelay("DOO2");
        if (name == QLatin1String("reset"))
            return c.Reset(QStringLiteral("5937"));
        if (name == QLatin1String("config read"))
            return c.ReadConfig(false);
        if (name == QLatin1String("history download"))
            return c.ReadHistory(2);
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        TDeviceSimulator::InstallDemoPorts();
    }

    void cleanup()
    {
        m_recorder.reset();
        m_connection.reset();
        AuditSettings::SetReasonRequired(false);
    }

    void actionLeavesItsEntries_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("changesDescription");

        QTest::newRow("write") << "write" << "" << "write" << "done" << "written and verified" << "" << true;
        QTest::newRow("write the device does not keep")
            << "write" << "ignore page 0" << "write" << "failed"
            << "the device holds other values than were written: " + kDescriptionCaption << "" << true;
        QTest::newRow("restore") << "restore" << "" << "restore" << "done" << "written and verified"
                                 << "back to last week" << true;
        QTest::newRow("erase history") << "erase history" << "" << "erase-history" << "done" << "history log erased"
                                       << "" << false;
        QTest::newRow("set clock") << "set clock" << "" << "set-clock" << "done" << "device clock set from the PC"
                                   << "" << false;
        QTest::newRow("relay") << "relay 2 open" << "" << "relay-open-2" << "done" << "done" << "" << false;
        QTest::newRow("relay without answer")
            << "relay 2 open" << "drop replies" << "relay-open-2" << "failed"
            << "the relay line was sent but no state came back; the relay's state is unknown" << "" << false;
        QTest::newRow("reset") << "reset" << "" << "reset" << "done" << "done" << "" << false;
        QTest::newRow("config read") << "config read" << "" << "config-read" << "done" << "done" << "" << false;
        QTest::newRow("history download") << "history download" << "" << "history-download" << "done" << "done"
                                           << "" << false;
    }

    void actionLeavesItsEntries()
    {
        QFETCH(QString, job);
        QFETCH(QString, fault);
        QFETCH(QString, action);
        QFETCH(QString, result);
        QFETCH(QString, outcome);
        QFETCH(QString, reason);
        QFETCH(bool, changesDescription);

        const QString path = NewTrailPath();
        QVERIFY(LogIn(path));
        if (fault == QLatin1String("ignore page 0"))
            Device()->ignoreConfigPageWrites(0);
        else if (fault == QLatin1String("drop replies"))
            Device()->dropReplies(10);
        std::unique_ptr<TDeviceJob> running(MakeJob(job));
        QVERIFY(running);
        QVERIFY(RunToEnd(running.get()));

        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        const QList<TAuditEntry> entries = trail.Entries();
        QCOMPARE(entries.size(), 2);
        const TAuditEntry &intent = entries.at(0);
        const TAuditEntry &end = entries.at(1);
        QCOMPARE(intent.kind, TAuditEntry::TKind::Intent);
        QCOMPARE(end.kind, TAuditEntry::TKind::Outcome);
        QCOMPARE(end.refers, intent.sequence);
        QCOMPARE(intent.action, action);
        QCOMPARE(end.action, action);
        QCOMPARE(end.result, result);
        QCOMPARE(end.outcomeEn, outcome);
        QCOMPARE(end.reason, reason);
        QCOMPARE(intent.imei, Device()->imei());
        QCOMPARE(intent.model, QStringLiteral("K802"));
        QCOMPARE(intent.port, QStringLiteral("demo:K802"));
        QVERIFY(!intent.user.isEmpty());
        QVERIFY(intent.version.startsWith(QLatin1Char('V')));
        // The outcome is the verdict's, as the tool told it.
        const TJobVerdict verdict = TJobVerdict::Of(*running, [](const TConfigError &where) {
            return where.Control == kDescription ? kDescriptionCaption : where.Control;
        });
        QCOMPARE(end.outcomeEn, verdict.ToolText(ConstLang::English));
        if (changesDescription) {
            QCOMPARE(end.changes.size(), 1);
            QCOMPARE(end.changes.at(0).captionEn, kDescriptionCaption);
            QCOMPARE(end.changes.at(0).captionZh, kDescriptionCaptionChinese);
            QCOMPARE(end.changes.at(0).after, QStringLiteral("Cold room 3"));
            QVERIFY(end.changes.at(0).before != end.changes.at(0).after);
            QCOMPARE(end.backupFile, QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("backup.bin"))));
        } else {
            QVERIFY(end.changes.isEmpty());
        }
        QVERIFY(trail.Verify().Intact());
    }

    void storeThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("damaged file") << "damaged" << "is damaged";
        QTest::newRow("foreign file") << "foreign" << "is not an audit trail of this program";
        QTest::newRow("folder in its place") << "folder" << "is not an audit trail of this program";
    }

    void storeThatCannotBeWritten()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);

        const QString path = NewTrailPath();
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("damaged")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("SQLite format 3\0", 16) + QByteArray(2000, 'x'));
        } else {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE orders (id INTEGER)")));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
        }
        const QByteArray fileBefore = FileBytes(path);
        QVERIFY(LogIn(path));
        QSignalSpy notLogged(m_recorder.get(), &TAuditRecorder::notLogged);
        const int requestsBefore = Device()->requestLog().size();
        const QByteArray imageBefore = Device()->configImage();

        // A changing action: refused, not one byte sent.
        std::unique_ptr<TDeviceJob> write(MakeJob(QStringLiteral("write")));
        QSignalSpy finished(write.get(), &TDeviceJob::finished);
        QVERIFY(write->start());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(write->Failure().what, TJobFailure::TWhat::NotLogged);
        QTest::qWait(200);
        QCOMPARE(Device()->requestLog().size(), requestsBefore);
        QCOMPARE(Device()->configImage(), imageBefore);
        const TJobVerdict verdict = TJobVerdict::Of(*write);
        QCOMPARE(verdict.exitCode, JobExit::BadInput);
        const QString text = verdict.WindowText(ConstLang::English);
        QVERIFY2(text.startsWith(QStringLiteral("Nothing was sent to the device: ")), qPrintable(text));
        QVERIFY2(text.contains(problem), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QCOMPARE(verdict.ToolText(ConstLang::English), text);
        QVERIFY(notLogged.isEmpty());

        // A read goes on, and says that it was not recorded.
        std::unique_ptr<TDeviceJob> read(MakeJob(QStringLiteral("config read")));
        QVERIFY(RunToEnd(read.get()));
        QCOMPARE(read->outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(notLogged.count(), 1);
        QVERIFY(notLogged.at(0).at(0).toString().startsWith(QStringLiteral("This action was not recorded")));
        // The file is left exactly as it was.
        QCOMPARE(FileBytes(path), fileBefore);
    }

    void reasonRequired_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("changing");
        QTest::newRow("relay") << "relay 2 open" << true;
        QTest::newRow("set clock") << "set clock" << true;
        QTest::newRow("config read") << "config read" << false;
    }

    void reasonRequired()
    {
        QFETCH(QString, job);
        QFETCH(bool, changing);

        const QString path = NewTrailPath();
        QVERIFY(LogIn(path));
        AuditSettings::SetReasonRequired(true);
        const int requestsBefore = Device()->requestLog().size();
        std::unique_ptr<TDeviceJob> without(MakeJob(job));
        QVERIFY(RunToEnd(without.get()));
        QCOMPARE(without->Failure().what == TJobFailure::TWhat::NotLogged, changing);
        if (changing) {
            QCOMPARE(Device()->requestLog().size(), requestsBefore);
            QCOMPARE(TJobVerdict::Of(*without).WindowText(ConstLang::English),
                     QStringLiteral("Nothing was sent to the device: a reason is required for this action "
                                    "(setting \"a reason is required\")."));
        }

        std::unique_ptr<TDeviceJob> with(MakeJob(job));
        with->SetNote({QString(), QStringLiteral("probe replaced")});
        QVERIFY(RunToEnd(with.get()));
        QCOMPARE(with->outcome(), TDeviceJob::TOutcome::Done);
        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        const QList<TAuditEntry> entries = trail.Entries();
        QCOMPARE(entries.size(), changing ? 2 : 4);
        QCOMPARE(entries.last().reason, QStringLiteral("probe replaced"));
    }

    void interruptedWriteLeavesItsIntent_data()
    {
        QTest::addColumn<bool>("reported");
        QTest::newRow("port closed mid-write") << true;
        QTest::newRow("program gone mid-write") << false;
    }

    void interruptedWriteLeavesItsIntent()
    {
        QFETCH(bool, reported);

        const QString path = NewTrailPath();
        QVERIFY(LogIn(path));
        Device()->setLatencyMs(100);
        TDeviceJob *write = MakeJob(QStringLiteral("write"));
        write->setParent(m_connection.get());
        QVERIFY(write->start());
        QTRY_VERIFY_WITH_TIMEOUT(Device()->framesWithCommand(TBasicProtocol::CmdWriteMemory) > 0, JobWaitMs);
        if (!reported) {
            // The program ends without a word: the recorder goes with it.
            m_recorder.reset();
        }
        m_connection->Close();
        QTRY_VERIFY(!write->isRunning());

        TAuditTrail trail(path);
        QCOMPARE(trail.Open(), TAuditTrail::TStatus::Ready);
        const QList<TAuditRecord> records = AuditList::Records(trail.Entries());
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.at(0).start.kind, TAuditEntry::TKind::Intent);
        QCOMPARE(records.at(0).start.action, QStringLiteral("write"));
        QCOMPARE(records.at(0).hasOutcome, reported);
        if (reported) {
            QCOMPARE(records.at(0).end.result, QStringLiteral("stopped"));
            QVERIFY(!records.at(0).end.outcomeEn.isEmpty());
        } else {
            QCOMPARE(records.at(0).OutcomeText(ConstLang::English),
                     QStringLiteral("started; no outcome was recorded (interrupted)"));
        }
    }
};

QTEST_GUILESS_MAIN(TestAuditRecorder)
#include "tst_AuditRecorder.moc"
