#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;
class TDeviceJob;
class TDeviceSession;
class TFormBasicAnimate;

// Starts the window's device jobs, one at a time, and shows the progress
// window of a long one: its Stop button cancels the job, and the window goes
// when the job ends. The runner owns each job until it has ended.
class TJobRunner : public QObject
{
    Q_OBJECT
public:
    enum class TStart { Started, NotConnected, Busy };
    enum class TProgress {
        None,   // no progress window
        Job,    // the window follows the job's progress
        Caller, // the window is shown; the caller moves its gauge
    };

    TJobRunner(QWidget *window, TDeviceSession *session);

    // Takes job, connects onEnd to its end and starts it. Anything but
    // Started means nothing was sent and the job is already deleted.
    TStart Run(TDeviceJob *job, TProgress progress, std::function<void()> onEnd);
    TDeviceJob *Current() const;
    // The progress window of the running job, or null.
    TFormBasicAnimate *ProgressWindow() const;

signals:
    // A job ended (after its onEnd ran).
    void jobEnded();

private:
    QWidget *m_window;
    TDeviceSession *m_session;
    QPointer<TDeviceJob> m_job;
    QPointer<TFormBasicAnimate> m_progress;
};
