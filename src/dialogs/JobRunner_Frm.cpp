#include "dialogs/JobRunner_Frm.h"

#include "dialogs/BasicAnimate_Frm.h"
#include "session/DeviceJob_Unt.h"
#include "session/DeviceSession_Unt.h"

TJobRunner::TJobRunner(QWidget *window, TDeviceSession *session)
    : QObject(window), m_window(window), m_session(session)
{
}

TDeviceJob *TJobRunner::Current() const
{
    return m_job.data();
}

TFormBasicAnimate *TJobRunner::ProgressWindow() const
{
    return m_progress.data();
}

TJobRunner::TStart TJobRunner::Run(TDeviceJob *job, TProgress progress, std::function<void()> onEnd)
{
    if (m_job || m_session->holder()) {
        delete job;
        return TStart::Busy;
    }
    job->setParent(this);
    m_job = job;
    if (progress != TProgress::None) {
        m_progress = new TFormBasicAnimate(m_window);
        m_progress->SetRange(0, 1);
        m_progress->SetPosition(0);
        // Stop, or closing the window in any other way, stops the job.
        connect(m_progress.data(), &QDialog::finished, job, &TDeviceJob::cancel);
        if (progress == TProgress::Job) {
            connect(job, &TDeviceJob::progressChanged, m_progress.data(), [this](int value, int maximum) {
                m_progress->SetRange(0, maximum);
                m_progress->SetPosition(value);
            });
        }
        m_progress->show();
    }
    connect(job, &TDeviceJob::finished, this, [this, job, onEnd = std::move(onEnd)] {
        delete m_progress.data();
        m_job = nullptr;
        if (onEnd)
            onEnd();
        job->deleteLater();
        emit jobEnded();
    });
    if (!job->start()) {
        const bool open = m_session->isOpen();
        delete m_progress.data();
        m_job = nullptr;
        delete job;
        return open ? TStart::Busy : TStart::NotConnected;
    }
    return TStart::Started;
}
