#pragma once

#include "session/DeviceSession_Unt.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QTimer;

// A long operation on the device, written as explicit steps driven by the
// session's replies and its own timers: no step ever waits. A job claims the
// session for its whole run, so a second job is refused while it runs;
// windows start jobs and observe their progress and end.
class TDeviceJob : public QObject
{
    Q_OBJECT
public:
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
    // when another job holds the session or the port is closed.
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
    // Ends the job when the reply failed for a reason no retry mends (stop,
    // line lost); true when it did.
    bool EndOnLinkError(const TDeviceReply *reply);

private:
    QPointer<TDeviceSession> m_session;
    QPointer<TDeviceReply> m_current;
    QTimer *m_pause = nullptr;
    std::function<void()> m_afterPause;
    TOutcome m_outcome = TOutcome::Idle;
    int m_progressValue = 0;
    int m_progressMaximum = 0;
};
