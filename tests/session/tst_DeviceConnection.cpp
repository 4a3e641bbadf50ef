// The device connection without any window: its states, the one login, the
// check before an action, and what every job of its factory says at its end.
#include "config/ConfigPages_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/RelayJob_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(TDeviceConnection::TState)
Q_DECLARE_METATYPE(TDeviceConnection::TRefusal)

namespace {

constexpr int JobWaitMs = 60000;
constexpr int English = 1;
// A password time-out short enough for a table of silent devices.
const TLoginJob::TPacing QuickPacing{10, 300, 1};

bool RunToEnd(TDeviceJob *job)
{
    if (!job->start())
        return false;
    return QTest::qWaitFor([job] { return !job->isRunning(); }, JobWaitMs);
}

int FramesWithCommand(const TDeviceSimulator *device, quint8 command)
{
    int count = 0;
    for (const QByteArray &request : device->requestLog())
        count += request.size() > 1 && request.at(0) == '#' && quint8(request.at(1)) == command;
    return count;
}

} // namespace

class TestDeviceConnection : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDeviceConnection> m_connection;

    TDeviceSimulator *Device() const { return DemoSimulator(m_connection->Session()->port()); }

    bool LogIn(const QString &model)
    {
        m_connection = std::make_unique<TDeviceConnection>();
        std::unique_ptr<TLoginJob> login(
            m_connection->Login(QStringLiteral("demo:") + model, QStringLiteral("5937")));
        return RunToEnd(login.get()) && login->outcome() == TDeviceJob::TOutcome::Done;
    }

    // The job of the factory by its name in the tables below.
    TDeviceJob *MakeJob(const QString &name)
    {
        TDeviceConnection &c = *m_connection;
        if (name == QLatin1String("clock read"))
            return c.ReadClock();
        if (name == QLatin1String("clock write"))
            return c.WriteClock(QDateTime(QDate(2031, 5, 17), QTime(8, 42)));
        if (name == QLatin1String("current values"))
            return c.ReadCurrentValues(Const::ReplyThValues);
        if (name == QLatin1String("relay"))
            return c.SwitchRelay("DOC1");
        if (name == QLatin1String("reboot"))
            return c.Reboot(QStringLiteral("5937"));
        if (name == QLatin1String("reset"))
            return c.Reset(QStringLiteral("5937"));
        if (name == QLatin1String("record"))
            return c.ReadHistoryRecord(1);
        if (name == QLatin1String("history read"))
            return c.ReadHistory(2);
        if (name == QLatin1String("erase"))
            return c.EraseHistory();
        if (name == QLatin1String("config read"))
            return c.ReadConfig(false);
        if (name == QLatin1String("verified write")) {
            const QByteArray image = Device()->configImage();
            return c.WriteVerified(image, QByteArray(), [](const QByteArray &, QString *) { return QString(); });
        }
        return nullptr;
    }

private slots:
    void initTestCase() { TDeviceSimulator::InstallDemoPorts(); }
    void cleanup() { m_connection.reset(); }

    void loginStates_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<TDeviceConnection::TState>("state");
        QTest::addColumn<QString>("windowText");
        QTest::addColumn<QString>("toolText");
        QTest::addColumn<int>("exitCode");

        QTest::newRow("logged in") << "demo:K803" << "5937" << "" << TDeviceConnection::TState::LoggedIn << ""
                                   << "done" << 0;
        QTest::newRow("password refused") << "demo:K802" << "1111" << "" << TDeviceConnection::TState::Closed
                                          << "Password Error!" << "the device refused the password" << 3;
        QTest::newRow("no such port") << "/dev/no-such-port" << "5937" << "" << TDeviceConnection::TState::Closed
                                      << "Error opening serial port"
                                      << "cannot open port /dev/no-such-port: it does not exist or is in use" << 4;
        QTest::newRow("silent device") << "demo:K801" << "5937" << "silent" << TDeviceConnection::TState::NoAnswer
                                       << "The device does not answer. Check the cable and the port, then use Open the Port again."
                                       << "the device did not answer" << 4;
        QTest::newRow("line pulled at the password") << "demo:K801" << "5937" << "pulled"
                                                     << TDeviceConnection::TState::Lost << ""
                                                     << "the connection to the device was lost" << 4;
    }

    void loginStates()
    {
        QFETCH(QString, port);
        QFETCH(QString, password);
        QFETCH(QString, fault);
        QFETCH(TDeviceConnection::TState, state);
        QFETCH(QString, windowText);
        QFETCH(QString, toolText);
        QFETCH(int, exitCode);

        m_connection = std::make_unique<TDeviceConnection>();
        QSignalSpy states(m_connection.get(), &TDeviceConnection::stateChanged);
        QSignalSpy identities(m_connection.get(), &TDeviceConnection::identityChanged);
        if (!fault.isEmpty()) {
            // The port is open before the login, so the device can be told.
            QString error;
            QVERIFY(m_connection->Session()->open(port, &error));
            if (fault == QLatin1String("silent"))
                Device()->dropReplies(100);
            else
                Device()->loseLineAfterReplies(0);
        }
        std::unique_ptr<TLoginJob> login(m_connection->Login(port, password, false, QuickPacing));
        QVERIFY(RunToEnd(login.get()));

        QCOMPARE(m_connection->State(), state);
        QCOMPARE(states.count(), 2);
        QCOMPARE(states.at(0).at(0).value<TDeviceConnection::TState>(), TDeviceConnection::TState::Opening);
        QCOMPARE(states.at(1).at(0).value<TDeviceConnection::TState>(), state);
        const TJobVerdict &verdict = m_connection->LoginVerdict();
        QCOMPARE(verdict.WindowText(English), windowText);
        QCOMPARE(verdict.ToolText(English), toolText);
        QCOMPARE(verdict.exitCode, exitCode);
        if (state == TDeviceConnection::TState::LoggedIn) {
            QCOMPARE(identities.count(), 1);
            QCOMPARE(m_connection->Identity().model, QStringLiteral("K803"));
            QCOMPARE(m_connection->ModelIndex(), 2);
            QCOMPARE(m_connection->Identity().imei, Device()->imei());
            QCOMPARE(m_connection->PortName(), port);
        } else {
            QCOMPARE(identities.count(), 0);
            QCOMPARE(m_connection->ModelIndex(), -1);
        }
    }

    void viewModeOpensNoPortAndRefusesEverything()
    {
        m_connection = std::make_unique<TDeviceConnection>();
        QSignalSpy states(m_connection.get(), &TDeviceConnection::stateChanged);
        m_connection->EnterViewMode();
        QCOMPARE(states.count(), 1);
        QCOMPARE(m_connection->State(), TDeviceConnection::TState::ViewMode);
        QCOMPARE(m_connection->Password(), QStringLiteral("QWERTYUIP"));
        QVERIFY(!m_connection->Session()->isOpen());
        QCOMPARE(m_connection->canRun(TDeviceConnection::NeedOpenPort), TDeviceConnection::TRefusal::NotConnected);
        // Closing does not leave the View mode.
        m_connection->Close();
        QCOMPARE(m_connection->State(), TDeviceConnection::TState::ViewMode);
    }

    void passwordGoesOutOnceForTheWholeConnection()
    {
        QVERIFY(LogIn(QStringLiteral("K802")));
        for (const char *name : {"config read", "clock read", "current values", "relay", "record", "clock write"}) {
            std::unique_ptr<TDeviceJob> job(MakeJob(QString::fromLatin1(name)));
            QVERIFY2(RunToEnd(job.get()), name);
            QVERIFY2(job->outcome() == TDeviceJob::TOutcome::Done, name);
        }
        QCOMPARE(FramesWithCommand(Device(), TBasicProtocol::CmdPassword), 1);
        QCOMPARE(FramesWithCommand(Device(), TBasicProtocol::CmdVersion), 1);
        QCOMPARE(quint8(Device()->requestLog().first().at(1)), quint8(TBasicProtocol::CmdPassword));
    }

    void lostLineMovesToLost()
    {
        QVERIFY(LogIn(QStringLiteral("K801")));
        QSignalSpy states(m_connection.get(), &TDeviceConnection::stateChanged);
        Device()->loseLineAfterReplies(0);
        std::unique_ptr<TDeviceJob> job(MakeJob(QStringLiteral("clock read")));
        QVERIFY(RunToEnd(job.get()));
        QCOMPARE(m_connection->State(), TDeviceConnection::TState::Lost);
        QCOMPARE(states.count(), 1);
        QCOMPARE(m_connection->canRun(), TDeviceConnection::TRefusal::NotConnected);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("needs");
        QTest::addColumn<TDeviceConnection::TRefusal>("refusal");
        QTest::addColumn<QString>("windowText");
        QTest::addColumn<QString>("toolText");

        const int all = int(TDeviceConnection::AllNeeds);
        const int portAndIdle = TDeviceConnection::NeedOpenPort | TDeviceConnection::NeedIdle;
        const QString notConnected = QStringLiteral("Not connected. Open the port first (Connect > Open the Port).");
        const QString lost = QStringLiteral("the connection to the device was lost");
        QTest::newRow("never opened") << "closed" << all << TDeviceConnection::TRefusal::NotConnected << notConnected << lost;
        QTest::newRow("closed after the login") << "closed again" << all << TDeviceConnection::TRefusal::NotConnected
                                                << notConnected << lost;
        QTest::newRow("port open, password refused") << "refused" << portAndIdle
                                                     << TDeviceConnection::TRefusal::NotConnected << notConnected << lost;
        QTest::newRow("model unknown") << "unidentified" << all << TDeviceConnection::TRefusal::ModelUnknown
                                       << "The device's model is not known, so its settings cannot be read or written. Use Open the Port to log in again."
                                       << "the device did not say which model it is";
        QTest::newRow("model not needed") << "unidentified" << portAndIdle << TDeviceConnection::TRefusal::None << ""
                                          << "";
        QTest::newRow("a job runs") << "busy" << all << TDeviceConnection::TRefusal::Busy << "" << lost;
        QTest::newRow("a job runs, idle not needed") << "busy" << int(TDeviceConnection::NeedOpenPort)
                                                     << TDeviceConnection::TRefusal::None << "" << "";
        QTest::newRow("logged in and idle") << "logged in" << all << TDeviceConnection::TRefusal::None << "" << "";
    }

    void refusals()
    {
        QFETCH(QString, situation);
        QFETCH(int, needs);
        QFETCH(TDeviceConnection::TRefusal, refusal);
        QFETCH(QString, windowText);
        QFETCH(QString, toolText);

        std::unique_ptr<TDeviceJob> running;
        if (situation == QLatin1String("closed")) {
            m_connection = std::make_unique<TDeviceConnection>();
        } else if (situation == QLatin1String("refused") || situation == QLatin1String("unidentified")) {
            m_connection = std::make_unique<TDeviceConnection>();
            QString error;
            QVERIFY(m_connection->Session()->open(QStringLiteral("demo:K802"), &error));
            const bool refused = situation == QLatin1String("refused");
            if (!refused) {
                TDeviceSimulator *device = Device();
                connect(device, &TDeviceSimulator::requestReceived, device, [device](const QByteArray &request) {
                    if (request.size() > 1 && quint8(request.at(1)) == TBasicProtocol::CmdVersion)
                        device->corruptChecksums(1);
                }, Qt::DirectConnection);
            }
            std::unique_ptr<TLoginJob> login(m_connection->Login(
                QStringLiteral("demo:K802"), refused ? QStringLiteral("1111") : QStringLiteral("5937")));
            QVERIFY(RunToEnd(login.get()));
            QCOMPARE(login->outcome(), TDeviceJob::TOutcome::Failed);
            QVERIFY(m_connection->Session()->isOpen());
        } else {
            QVERIFY(LogIn(QStringLiteral("K802")));
            if (situation == QLatin1String("closed again"))
                m_connection->Close();
            if (situation == QLatin1String("busy")) {
                running.reset(MakeJob(QStringLiteral("config read")));
                QVERIFY(running->start());
            }
        }
        // The quiet time after garbled answers is over before the check.
        if (!running)
            QTRY_VERIFY(!m_connection->Session()->busy());
        QCOMPARE(m_connection->canRun(TDeviceConnection::TNeeds(needs)), refusal);
        const TJobVerdict verdict = TDeviceConnection::RefusalVerdict(refusal);
        QCOMPARE(verdict.WindowText(English), windowText);
        QCOMPARE(verdict.ToolText(English), toolText);
        QCOMPARE(verdict.IsDone(), refusal == TDeviceConnection::TRefusal::None);
    }

    void jobVerdicts_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<TDeviceJob::TOutcome>("outcome");
        QTest::addColumn<QString>("windowText");
        QTest::addColumn<QString>("toolText");
        QTest::addColumn<int>("exitCode");

        using O = TDeviceJob::TOutcome;
        const QString noAnswer =
            QStringLiteral("The device does not answer. Check the cable and the port, then use Open the Port again.");
        const QString lost = QStringLiteral("the connection to the device was lost");
        QTest::newRow("clock read") << "clock read" << "" << O::Done << "The device's clock reads %CLOCK%, the same as the PC's."
                                    << "done" << 0;
        QTest::newRow("clock read, silent")
            << "clock read" << "silent" << O::Failed
            << "The device did not answer: its clock was not read. Check the cable and the power, then try again."
                                            << "the device's clock could not be read" << 4;
        QTest::newRow("clock read, line pulled") << "clock read" << "pulled" << O::LineLost << "" << lost << 4;
        QTest::newRow("clock write") << "clock write" << "" << O::Done << "Successfully!"
                                     << "device clock set from the PC" << 0;
        QTest::newRow("current values") << "current values" << "" << O::Done << "" << "done" << 0;
        QTest::newRow("current values, silent") << "current values" << "silent" << O::Failed << noAnswer
                                                << "the device did not answer" << 4;
        QTest::newRow("relay") << "relay" << "" << O::Done << "" << "done" << 0;
        QTest::newRow("reboot") << "reboot" << "" << O::Done << "" << "done" << 0;
        QTest::newRow("reset") << "reset" << "" << O::Done << "Successfully!" << "done" << 0;
        QTest::newRow("reset, silent") << "reset" << "silent" << O::Failed << noAnswer << "the device did not answer" << 4;
        QTest::newRow("single record") << "record" << "" << O::Done << "" << "done" << 0;
        QTest::newRow("single record, silent") << "record" << "silent" << O::Failed << "Error"
                                               << "the device did not answer" << 4;
        QTest::newRow("history read") << "history read" << "" << O::Done << "" << "done" << 0;
        QTest::newRow("history read, line pulled") << "history read" << "pulled" << O::LineLost << "" << lost << 4;
        QTest::newRow("history erase") << "erase" << "" << O::Done << "" << "history log erased" << 0;
        QTest::newRow("configuration read") << "config read" << "" << O::Done << "The settings were read." << "done" << 0;
        QTest::newRow("configuration read, line pulled")
            << "config read" << "pulled" << O::LineLost << "" << lost << 4;
        QTest::newRow("verified write")
            << "verified write" << "" << O::Done
            << "The configuration was written and read back: the device holds what the window shows. What it held before was kept as a backup."
            << "written and verified" << 0;
        QTest::newRow("verified write, line pulled in the write")
            << "verified write" << "pulled in the write" << O::LineLost
            << "Writing was stopped; the device may hold a mix of old and new settings."
            << "the connection was lost during the write; the device may hold old and new settings mixed" << 4;
    }

    void jobVerdicts()
    {
        QFETCH(QString, job);
        QFETCH(QString, fault);
        QFETCH(TDeviceJob::TOutcome, outcome);
        QFETCH(QString, windowText);
        QFETCH(QString, toolText);
        QFETCH(int, exitCode);

        QVERIFY(LogIn(QStringLiteral("K802")));
        TDeviceSimulator *device = Device();
        device->setHistoryRecordCount(40);
        if (fault == QLatin1String("silent"))
            device->dropReplies(100);
        else if (fault == QLatin1String("pulled"))
            device->loseLineAfterReplies(0);
        else if (fault == QLatin1String("pulled in the write"))
            device->loseLineAfterReplies(ConfigPages::ReadPageCount + 3);
        std::unique_ptr<TDeviceJob> made(MakeJob(job));
        QVERIFY(made);
        QVERIFY(RunToEnd(made.get()));
        QCOMPARE(made->outcome(), outcome);
        const TJobVerdict verdict = TJobVerdict::Of(*made);
        // The clock read says the time the device answered with.
        if (const auto *clock = qobject_cast<TClockReadJob *>(made.get()))
            windowText.replace(QStringLiteral("%CLOCK%"), clock->Clock().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        QCOMPARE(verdict.WindowText(English), windowText);
        QCOMPARE(verdict.ToolText(English), toolText);
        QCOMPARE(verdict.exitCode, exitCode);
        QCOMPARE(verdict.IsDone(), outcome == TDeviceJob::TOutcome::Done);
    }

    void modelTextsParseInOnePlace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");

        QTest::newRow("K801") << "K801" << 0;
        QTest::newRow("K802 with blanks") << " K802 " << 1;
        QTest::newRow("k803 in small letters") << "k803" << 2;
        QTest::newRow("unknown model is no K801") << "K804" << -1;
        QTest::newRow("empty") << "" << -1;
    }

    void modelTextsParseInOnePlace()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QCOMPARE(Const::ModelIndexOf(text), index);
    }
};

QTEST_GUILESS_MAIN(TestDeviceConnection)
#include "tst_DeviceConnection.moc"
