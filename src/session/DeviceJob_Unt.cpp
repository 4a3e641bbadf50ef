#include "session/DeviceJob_Unt.h"

#include "session/JobWatch_Unt.h"

#include <QTimer>

TDeviceJob::TDeviceJob(TDeviceSession *session, QObject *parent)
    : QObject(parent), m_session(session)
{
    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setTimerType(Qt::PreciseTimer);
    connect(m_pause, &QTimer::timeout, this, [this] {
        if (isRunning() && m_afterPause)
            std::exchange(m_afterPause, nullptr)();
    });
}

TDeviceJob::~TDeviceJob()
{
    if (!m_session)
        return;
    if (m_current)
        m_session->cancel(m_current);
    m_session->release(this);
}

bool TDeviceJob::start()
{
    if (!m_session || isRunning())
        return false;
    if (RequiresOpenPort() && !m_session->isOpen())
        return false;
    if (m_session->holder() && m_session->holder() != this)
        return false;
    TJobWatch *watch = m_session->JobWatch();
    const QString refusal = watch ? watch->Starting(*this) : QString();
    m_watched = watch != nullptr;
    if (!refusal.isEmpty()) {
        m_outcome = TOutcome::Running;
        TJobFailure failure;
        failure.what = TFailure::NotLogged;
        failure.detail = refusal;
        Fail(failure);
        return true;
    }
    if (!m_session->claim(this)) {
        m_watched = false;
        return false;
    }
    m_failure = TJobFailure{};
    m_outcome = TOutcome::Running;
    Begin();
    return true;
}

bool TDeviceJob::startWithin(const TDeviceJob *owner)
{
    if (!m_session || isRunning() || !owner || m_session->holder() != owner)
        return false;
    if (RequiresOpenPort() && !m_session->isOpen())
        return false;
    m_failure = TJobFailure{};
    m_outcome = TOutcome::Running;
    Begin();
    return true;
}

void TDeviceJob::cancel()
{
    if (!isRunning())
        return;
    Cancelling();
    m_pause->stop();
    m_afterPause = nullptr;
    if (m_current && m_session)
        m_session->cancel(m_current);
    Finish(TOutcome::Stopped);
}

TDeviceReply *TDeviceJob::Send(const TDeviceRequest &request, std::function<void(TDeviceReply *)> then)
{
    TDeviceReply *reply = m_session->submit(request);
    m_current = reply;
    connect(reply, &TDeviceReply::finished, this, [this, reply, then = std::move(then)] {
        if (m_current == reply)
            m_current = nullptr;
        if (isRunning())
            then(reply);
    });
    return reply;
}

void TDeviceJob::Pause(int ms, std::function<void()> then)
{
    m_afterPause = std::move(then);
    m_pause->start(ms);
}

void TDeviceJob::SetProgress(int value, int maximum)
{
    m_progressValue = value;
    m_progressMaximum = maximum;
    emit progressChanged(value, maximum);
}

void TDeviceJob::Finish(TOutcome outcome)
{
    if (!isRunning())
        return;
    if (outcome == TOutcome::Stopped)
        m_failure.what = TFailure::Stopped;
    else if (outcome == TOutcome::LineLost)
        m_failure.what = TFailure::LineLost;
    else if (outcome == TOutcome::Done)
        m_failure.what = TFailure::None;
    else if (m_failure.what == TFailure::None)
        m_failure.what = TFailure::NoAnswer;
    m_outcome = outcome;
    m_pause->stop();
    m_afterPause = nullptr;
    if (m_session)
        m_session->release(this);
    if (m_watched && m_session && m_session->JobWatch())
        m_session->JobWatch()->Ended(*this);
    emit finished(outcome);
}

void TDeviceJob::Fail(TJobFailure failure)
{
    if (failure.step < 0)
        failure.step = m_failure.step;
    m_failure = std::move(failure);
    Finish(TOutcome::Failed);
}

void TDeviceJob::Fail(TFailure what)
{
    TJobFailure failure;
    failure.what = what;
    Fail(failure);
}

bool TDeviceJob::EndOnLinkError(const TDeviceReply *reply)
{
    switch (reply->error()) {
    case TReplyError::Stopped:
        Finish(TOutcome::Stopped);
        return true;
    case TReplyError::LineLost:
    case TReplyError::NotConnected:
        Finish(TOutcome::LineLost);
        return true;
    default:
        return false;
    }
}
