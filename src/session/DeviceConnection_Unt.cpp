#include "session/DeviceConnection_Unt.h"

#include "link/SerialPort_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/RelayJob_Unt.h"

TDeviceConnection::TDeviceConnection(QObject *parent) : QObject(parent), m_session(new TDeviceSession(this))
{
    connect(m_session, &TDeviceSession::connectionLost, this, [this] { SetState(TState::Lost); });
    // The link's state follows the device: silent after a request that got
    // no answer, logged in again once it answers (the model is known).
    connect(m_session, &TDeviceSession::answered, this, [this] {
        m_lastAnswer = QDateTime::currentDateTime();
        if (m_state == TState::NoAnswer && m_identity.modelIndex >= 0)
            SetState(TState::LoggedIn);
        emit deviceAnswered();
    });
    connect(m_session, &TDeviceSession::unanswered, this, [this] {
        if (m_state == TState::LoggedIn)
            SetState(TState::NoAnswer);
    });
}

TDeviceConnection::~TDeviceConnection()
{
    m_session->close();
}

void TDeviceConnection::SetState(TState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

TDeviceConnection::TRefusal TDeviceConnection::canRun(TNeeds needs) const
{
    // An open port counts once a login has got an answer on it: a refused
    // password leaves the port open for the next try, nothing else.
    const bool connected = m_session->isOpen()
        && (m_state == TState::LoggedIn || m_state == TState::NoAnswer || m_state == TState::Opening);
    if (needs.testFlag(NeedOpenPort) && !connected)
        return TRefusal::NotConnected;
    if (needs.testFlag(NeedIdle) && m_session->busy())
        return TRefusal::Busy;
    if (needs.testFlag(NeedKnownModel) && m_identity.modelIndex < 0)
        return TRefusal::ModelUnknown;
    return TRefusal::None;
}

TJobVerdict TDeviceConnection::RefusalVerdict(TRefusal refusal)
{
    using TSeverity = TJobVerdict::TSeverity;
    switch (refusal) {
    case TRefusal::None:
        break;
    case TRefusal::NotConnected:
        return TJobVerdict::Make(TSeverity::Error, JobExit::NoAnswer, QStringLiteral("MsgNotConnected"), {},
                                 QStringLiteral("CliLineLost"), {});
    case TRefusal::ModelUnknown:
        return TJobVerdict::Make(TSeverity::Error, JobExit::NoAnswer, QStringLiteral("MsgModelUnknown"), {},
                                 QStringLiteral("CliUnidentified"), {});
    case TRefusal::Busy:
        // The device actions are disabled meanwhile: no word in the window.
        return TJobVerdict::Make(TSeverity::Quiet, JobExit::NoAnswer, QString(), {},
                                 QStringLiteral("CliLineLost"), {});
    }
    return TJobVerdict::Make(TSeverity::Done, JobExit::Done, QString(), {}, QString(), {});
}

void TDeviceConnection::SetJobWatch(TJobWatch *watch)
{
    m_session->SetJobWatch(watch);
}

TJobWatch *TDeviceConnection::JobWatch() const
{
    return m_session->JobWatch();
}

void TDeviceConnection::EnterViewMode()
{
    m_session->close();
    m_password = QString::fromLatin1(Const::HiddenText);
    m_portName.clear();
    SetState(TState::ViewMode);
}

void TDeviceConnection::Close()
{
    if (m_state == TState::ViewMode)
        return;
    m_session->close();
    SetState(TState::Closed);
}

TLoginJob *TDeviceConnection::Login(const QString &portName, const QString &password, bool reopen,
                                    const TLoginJob::TPacing &pacing)
{
    auto *login = new TLoginJob(m_session, password);
    login->SetPacing(pacing);
    if (reopen || !m_session->isOpen() || m_session->port()->CommName() != portName)
        login->SetReopen(portName);
    connect(login, &TDeviceJob::progressChanged, this, [this, portName](int value, int) {
        if (value == 0) {
            m_portName = portName;
            SetState(TState::Opening);
        }
    });
    connect(login, &TDeviceJob::finished, this, [this, login] { LoginEnded(login); });
    return login;
}

void TDeviceConnection::LoginEnded(TLoginJob *login)
{
    m_loginVerdict = TJobVerdict::Of(*login);
    const TJobFailure::TWhat what = login->Failure().what;
    if (login->outcome() == TDeviceJob::TOutcome::Done) {
        m_password = login->Password();
        m_identity = login->Identity();
        SetState(TState::LoggedIn);
        // Told after every login, also of the same device: the window takes
        // the model anew each time.
        emit identityChanged(m_identity);
    } else if (what == TJobFailure::TWhat::Refused || what == TJobFailure::TWhat::OpenFailed
               || what == TJobFailure::TWhat::NotStarted || what == TJobFailure::TWhat::Stopped) {
        // Not logged in. After a refused password the port may stay open for
        // another try; nothing but a login goes over it.
        SetState(TState::Closed);
    } else if (what == TJobFailure::TWhat::LineLost || !m_session->isOpen()) {
        SetState(TState::Lost);
    } else {
        SetState(TState::NoAnswer);
    }
    emit loginEnded(login->outcome() == TDeviceJob::TOutcome::Done);
}

TConfigReadJob *TDeviceConnection::ReadConfig(bool withCurrentValues)
{
    auto *read = new TConfigReadJob(m_session, m_identity.modelIndex);
    read->SetAskValues(withCurrentValues);
    return read;
}

TVerifiedWriteJob *TDeviceConnection::WriteVerified(const QByteArray &image, const QByteArray &deviceImage,
                                                    TVerifiedWriteJob::TKeepBackup keepBackup)
{
    return new TVerifiedWriteJob(m_session, m_identity.modelIndex, image, deviceImage, std::move(keepBackup));
}

THistoryReadJob *TDeviceConnection::ReadHistory(int pageCount)
{
    return new THistoryReadJob(m_session, pageCount);
}

THistoryRecordJob *TDeviceConnection::ReadHistoryRecord(int number)
{
    return new THistoryRecordJob(m_session, number);
}

THistoryEraseJob *TDeviceConnection::EraseHistory()
{
    return new THistoryEraseJob(m_session);
}

TRelayJob *TDeviceConnection::SwitchRelay(const char *keyword)
{
    return new TRelayJob(m_session, keyword);
}

TClockReadJob *TDeviceConnection::ReadClock()
{
    return new TClockReadJob(m_session);
}

TClockWriteJob *TDeviceConnection::WriteClock(const QDateTime &when)
{
    return new TClockWriteJob(m_session, when);
}

TCurrentValuesJob *TDeviceConnection::ReadCurrentValues(Const::TExpectedReply kind)
{
    return new TCurrentValuesJob(m_session, kind);
}

TTextLineJob *TDeviceConnection::Reboot(const QString &password)
{
    return new TTextLineJob(m_session, password, "REBOOT");
}

TTextLineJob *TDeviceConnection::Reset(const QString &password)
{
    return new TTextLineJob(m_session, password, "RESET");
}
