#pragma once

#include "base/Const_Unt.h"
#include "session/JobVerdict_Unt.h"
#include "session/LoginJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"

#include <QDateTime>
#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QString>

class TClockReadJob;
class TClockWriteJob;
class TConfigReadJob;
class TCurrentValuesJob;
class THistoryEraseJob;
class THistoryReadJob;
class THistoryRecordJob;
class TRelayJob;
class TTextLineJob;

// One device connection from the login to the close: it owns the session
// (the port and its request queue), knows what state the link is in and what
// the device said it is, decides whether an action may run now, and makes
// the job for every action. The login window logs in through it and hands it
// on to the main window; the command-line tool makes one per port.
class TDeviceConnection : public QObject
{
    Q_OBJECT
public:
    enum class TState {
        Closed,   // no port open (never opened, closed by the user, or refused)
        Opening,  // a login runs
        LoggedIn, // the password was taken and the model is known
        ViewMode, // no port, ever: the panes only
        NoAnswer, // the port is open, but the device did not answer the login or
                  // stopped answering since
        Lost,     // the port failed or vanished under the connection
    };
    Q_ENUM(TState)

    // What an action needs before it may start.
    enum TNeed {
        NeedOpenPort = 0x1,
        NeedKnownModel = 0x2,
        NeedIdle = 0x4,
    };
    Q_DECLARE_FLAGS(TNeeds, TNeed)
    static constexpr TNeeds AllNeeds = TNeeds(NeedOpenPort | NeedKnownModel | NeedIdle);

    // Why an action may not start; None: it may.
    enum class TRefusal { None, NotConnected, ModelUnknown, Busy };
    Q_ENUM(TRefusal)

    explicit TDeviceConnection(QObject *parent = nullptr);
    ~TDeviceConnection() override;

    TDeviceSession *Session() const { return m_session; }
    TState State() const { return m_state; }
    const TDeviceIdentity &Identity() const { return m_identity; }
    int ModelIndex() const { return m_identity.modelIndex; }
    // The port of the last login, and the password it was made with (the
    // password field's text as typed in the login window).
    const QString &PortName() const { return m_portName; }
    const QString &Password() const { return m_password; }
    // The password the device now holds, once a configuration read has shown it.
    void SetPassword(const QString &password) { m_password = password; }
    bool ViewMode() const { return m_state == TState::ViewMode; }
    // When the device last answered a request on this connection (invalid
    // before the first answer).
    const QDateTime &LastAnswer() const { return m_lastAnswer; }
    // The verdict of the last login (Done, or why it failed).
    const TJobVerdict &LoginVerdict() const { return m_loginVerdict; }

    // The audit trail's recorder (not owned; null: none), told of every job
    // started on this connection's session: the one place where device
    // actions are recorded, for the window and the tool alike.
    void SetJobWatch(TJobWatch *watch);
    TJobWatch *JobWatch() const;

    // The check every action makes before it starts.
    TRefusal canRun(TNeeds needs = AllNeeds) const;
    // What a window or the tool says to a refusal (None: nothing).
    static TJobVerdict RefusalVerdict(TRefusal refusal);

    // The View mode: no port is opened, nothing is sent.
    void EnterViewMode();
    // Closes the port; a running job ends as Stopped.
    void Close();

    // The jobs, not yet started; the caller owns them and starts them.
    // Login: opens portName (closing the port first when reopen is set or
    // another port is open; a port that is open on that name is used as it
    // is), sends the password and asks for the version.
    TLoginJob *Login(const QString &portName, const QString &password, bool reopen = false,
                     const TLoginJob::TPacing &pacing = TLoginJob::SessionPacing());
    TConfigReadJob *ReadConfig(bool withCurrentValues = true);
    TVerifiedWriteJob *WriteVerified(const QByteArray &image, const QByteArray &deviceImage,
                                     TVerifiedWriteJob::TKeepBackup keepBackup);
    THistoryReadJob *ReadHistory(int pageCount);
    THistoryRecordJob *ReadHistoryRecord(int number);
    THistoryEraseJob *EraseHistory();
    // keyword: DOO1, DOC1, DOO2 or DOC2.
    TRelayJob *SwitchRelay(const char *keyword);
    TClockReadJob *ReadClock();
    TClockWriteJob *WriteClock(const QDateTime &when);
    TCurrentValuesJob *ReadCurrentValues(Const::TExpectedReply kind);
    TTextLineJob *Reboot(const QString &password);
    TTextLineJob *Reset(const QString &password);

signals:
    void stateChanged(TDeviceConnection::TState state);
    void identityChanged(const TDeviceIdentity &identity);
    // A login ended (its verdict is LoginVerdict()).
    void loginEnded(bool loggedIn);
    // The device answered a request (LastAnswer() is now).
    void deviceAnswered();

private:
    void SetState(TState state);
    void LoginEnded(TLoginJob *login);

    TDeviceSession *m_session;
    TState m_state = TState::Closed;
    TDeviceIdentity m_identity;
    QString m_portName;
    QString m_password;
    TJobVerdict m_loginVerdict;
    QDateTime m_lastAnswer;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TDeviceConnection::TNeeds)
