#pragma once

#include "config/ConfigDiff_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "session/DeviceSession_Unt.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QTimer;

// Why a job did not end as Done, alike for every job: what went wrong, at
// which step or page, and which pages or fields it concerns.
struct TJobFailure
{
    enum class TWhat {
        None,
        Stopped,          // cancel(), or the session closed under the job
        LineLost,         // the port failed or vanished
        NotStarted,       // another job held the session, or the port was closed
        OpenFailed,       // the port did not open (detail: the port's reason)
        NoAnswer,         // no answer after every attempt
        BadReply,         // every answer was no valid frame
        Refused,          // the device refused the password
        Unidentified,     // the version reply named no known model
        UnknownModel,     // the job needs the model, which is not known
        ConfigPageMissing,   // page: the configuration page that gave no usable answer
        Unsolicited,      // bytes came unasked twice during a configuration read
        Decode,           // the image read does not decode (config)
        BackupRead,       // the device's image could not be read: nothing written
        BackupKept,       // the backup could not be stored (detail): nothing written
        Unconfirmed,      // pages the device did not acknowledge
        StoppedAnswering, // page: the write page after which the device answered nothing more
        ReadBack,         // the read-back after a write failed: not verified
        Differs,          // the device holds other bytes than were written (fields)
        HistoryPageMissing,  // page: the history page that gave no usable answer
        ContinuationMissing, // record: the last record read before did not come
        RecordMissing,    // record: a single history record did not come
        EraseUnconfirmed, // the erase's end was not reported
        RelayUnknown,     // the relay line went out, no relay state came back
        ClockUnreadable,  // the clock reply was no date and time
        NotLogged,        // the audit trail could not record the start (detail: why): nothing sent
    };

    TWhat what = TWhat::None;
    // The step that ran when the job ended (jobs made of steps; -1 else).
    int step = -1;
    // Page counted from 0, -1 when none.
    int page = -1;
    // History record number (counted from 1), 0 when none.
    int record = 0;
    // Pages (counted from 0) the device never acknowledged.
    QList<int> pages;
    // The fields the device holds differently (Differs).
    QList<TFieldDiff> fields;
    // What the configuration could not hold (Decode).
    TConfigError configError;
    // The system's own words (the port's reason, the backup store's).
    QString detail;
};

// What the user said of an action, for the audit trail: what it is when the
// job's kind alone does not tell (a write that restores a backup: "restore"),
// and why it is done.
struct TJobNote
{
    QString action;
    QString reason;
};

// A long operation on the device, written as explicit steps driven by the
// session's replies and its own timers: no step ever waits. A job claims the
// session for its whole run, so a second job is refused while it runs;
// windows start jobs and observe their progress and end.
class TDeviceJob : public QObject
{
    Q_OBJECT
public:
    using TFailure = TJobFailure::TWhat;

    enum class TOutcome {
        Idle,     // not started
        Running,
        Done,
        Failed,   // the job says why (see the subclass)
        Stopped,  // cancel()
        LineLost, // the port failed or vanished
    };
    Q_ENUM(TOutcome)

    explicit TDeviceJob(TDeviceSession *session, QObject *parent = nullptr);
    ~TDeviceJob() override;

    // Claims the session and takes the first step. False, and nothing sent,
    // when another job holds the session or the port is closed. When the
    // session's job watch refuses, the job ends at once (finished() is
    // emitted before this returns true) as Failed with NotLogged, nothing sent.
    [[nodiscard]] bool start();
    // Ends the job as Stopped: the request in flight is cancelled.
    void cancel();
    // Runs the job as a step of owner, which holds the session's claim: the
    // same as start() otherwise. False, and nothing sent, when owner does
    // not hold the session.
    [[nodiscard]] bool startWithin(const TDeviceJob *owner);

    bool isRunning() const { return m_outcome == TOutcome::Running; }
    TOutcome outcome() const { return m_outcome; }
    int progressValue() const { return m_progressValue; }
    int progressMaximum() const { return m_progressMaximum; }
    // Why the job did not end as Done; what is None while it runs and after Done.
    const TJobFailure &Failure() const { return m_failure; }
    const TJobNote &Note() const { return m_note; }
    void SetNote(const TJobNote &note) { m_note = note; }

signals:
    void progressChanged(int value, int maximum);
    void finished(TDeviceJob::TOutcome outcome);

protected:
    TDeviceSession *Session() const { return m_session; }
    virtual bool RequiresOpenPort() const { return true; }
    virtual void Begin() = 0;
    // Called by cancel() before the job ends: a job made of steps stops the
    // step that runs.
    virtual void Cancelling() {}

    // Submits the request; then() runs with the finished reply unless the
    // job has ended meanwhile. The reply is returned for its progress signal.
    TDeviceReply *Send(const TDeviceRequest &request, std::function<void(TDeviceReply *)> then);
    // A pause the device needs between two requests; then() runs after it
    // unless the job has ended meanwhile.
    void Pause(int ms, std::function<void()> then);
    void SetProgress(int value, int maximum);
    void Finish(TOutcome outcome);
    // Ends the job as Failed with failure (its step is kept when unset).
    void Fail(TJobFailure failure);
    void Fail(TFailure what);
    // The step the job is at, for the failure record.
    void SetStep(int step) { m_failure.step = step; }
    // Ends the job when the reply failed for a reason no retry mends (stop,
    // line lost); true when it did.
    bool EndOnLinkError(const TDeviceReply *reply);

private:
    QPointer<TDeviceSession> m_session;
    QPointer<TDeviceReply> m_current;
    QTimer *m_pause = nullptr;
    std::function<void()> m_afterPause;
    TOutcome m_outcome = TOutcome::Idle;
    TJobFailure m_failure;
    TJobNote m_note;
    bool m_watched = false;
    int m_progressValue = 0;
    int m_progressMaximum = 0;
};
