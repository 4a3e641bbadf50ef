#include "session/DeviceSession_Unt.h"

#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"

#include <QTimer>

namespace {

// Command and address: what a logger that echoes puts back in its reply.
QByteArray FrameHead(const QByteArray &frame)
{
    return frame.mid(1, 5);
}

} // namespace

TDeviceReply::TDeviceReply(const TDeviceRequest &request, QObject *parent)
    : QObject(parent), m_request(request)
{
}

QByteArray TDeviceReply::payload() const
{
    return TBasicProtocol().GetData(m_reply);
}

TDeviceSession::TDeviceSession(QObject *parent) : QObject(parent)
{
    m_port = new TComm(this);
    m_port->setObjectName(QStringLiteral("ComPort"));
    UseLoggerLine(*m_port);
    m_port->SetXonLimit(0);
    m_port->SetXoffLimit(0);
    // A reply that is one whole, valid frame is taken at once instead of after
    // the 100 ms of quiet, so a long read is paced by the line alone.
    m_port->SetChunkComplete(
        [](const QByteArray &gathered) { return TBasicProtocol().IsWholeFrame(gathered); });
    connect(m_port, &TComm::OnReceiveData, this, &TDeviceSession::TakeChunk);
    connect(m_port, &TComm::OnReceiveError, this, [this](quint32) { LineLost(); });
    connect(m_port, &TComm::OnRequestHangup, this, &TDeviceSession::LineLost);

    m_timeout = new QTimer(this);
    m_timeout->setSingleShot(true);
    m_timeout->setTimerType(Qt::PreciseTimer);
    connect(m_timeout, &QTimer::timeout, this, &TDeviceSession::TimeOut);
    m_quiet = new QTimer(this);
    m_quiet->setSingleShot(true);
    m_quiet->setTimerType(Qt::PreciseTimer);
    connect(m_quiet, &QTimer::timeout, this, [this] {
        Pump();
        UpdateBusy();
    });
}

TDeviceSession::~TDeviceSession()
{
    m_port->ClosePort();
}

bool TDeviceSession::open(const QString &portName, QString *error)
{
    if (m_port->Connected())
        close();
    m_port->SetBaudRate(115200);
    m_port->SetCommName(portName);
    m_lineError.clear();
    try {
        m_port->OpenPort();
    } catch (const ECommsError &failure) {
        if (error)
            *error = failure.message();
        return false;
    }
    m_echo = TEcho::Unknown;
    m_unsolicited = 0;
    m_stale = 0;
    return true;
}

void TDeviceSession::close()
{
    FinishAll(TReplyError::Stopped);
    m_port->ClosePort();
    UpdateBusy();
}

bool TDeviceSession::isOpen() const
{
    return m_port->Connected();
}

TDeviceReply *TDeviceSession::submit(const TDeviceRequest &request)
{
    auto *reply = new TDeviceReply(request, this);
    m_queue.append(reply);
    UpdateBusy();
    // An idle line takes a request that waits for an answer at once: it goes
    // out before the caller (a job handling the previous reply) returns to
    // the event loop, so no drawing the window has queued meanwhile holds it
    // up. Anything that could end the reply on the spot (no port, no answer
    // awaited) goes through the queue, so that no reply ends inside submit().
    const bool sendNow = !m_inFlight && m_queue.size() == 1 && !m_quiet->isActive() && m_port->Connected()
                         && request.answer != TDeviceRequest::TAnswer::None;
    if (sendNow)
        Pump();
    else
        QMetaObject::invokeMethod(this, &TDeviceSession::Pump, Qt::QueuedConnection);
    return reply;
}

void TDeviceSession::cancel(TDeviceReply *reply)
{
    if (!reply || reply->m_finished)
        return;
    if (reply == m_inFlight) {
        m_timeout->stop();
        m_inFlight = nullptr;
        Finish(reply, TReplyError::Stopped);
        // Its answer may still be on the line.
        if (m_port->Connected())
            StartQuiet(LateReplySettleMs);
    } else if (m_queue.removeOne(reply)) {
        Finish(reply, TReplyError::Stopped);
    }
    QMetaObject::invokeMethod(this, &TDeviceSession::Pump, Qt::QueuedConnection);
    UpdateBusy();
}

bool TDeviceSession::busy() const
{
    return m_holder || m_inFlight || !m_queue.isEmpty() || m_quiet->isActive();
}

bool TDeviceSession::claim(QObject *job)
{
    if (m_holder && m_holder != job)
        return false;
    m_holder = job;
    UpdateBusy();
    return true;
}

void TDeviceSession::release(QObject *job)
{
    if (m_holder != job)
        return;
    m_holder = nullptr;
    UpdateBusy();
}

void TDeviceSession::Pump()
{
    if (m_quiet->isActive())
        return;
    if (m_inFlight) {
        // An attempt failed and its quiet time is over: ask again.
        if (!m_timeout->isActive())
            SendInFlight();
        return;
    }
    if (m_queue.isEmpty()) {
        UpdateBusy();
        return;
    }
    m_inFlight = m_queue.takeFirst();
    SendInFlight();
}

void TDeviceSession::SendInFlight()
{
    TDeviceReply *reply = m_inFlight;
    if (!m_port->Connected()) {
        m_inFlight = nullptr;
        Finish(reply, TReplyError::NotConnected);
        FinishAll(TReplyError::NotConnected);
        UpdateBusy();
        return;
    }
    const TDeviceRequest &request = reply->m_request;
    ++reply->m_sends;
    if (request.framed)
        TBasicProtocol().LogFrame(request.bytes, 0);
    m_port->WriteData(request.bytes);
    if (request.answer == TDeviceRequest::TAnswer::None) {
        m_inFlight = nullptr;
        Finish(reply, TReplyError::None);
        QMetaObject::invokeMethod(this, &TDeviceSession::Pump, Qt::QueuedConnection);
        return;
    }
    m_timeout->start(request.timeoutMs);
}

void TDeviceSession::TakeChunk(const QByteArray &chunk)
{
    TDeviceReply *reply = m_inFlight;
    const bool awaiting = reply && m_timeout->isActive();
    if (!awaiting || reply->m_request.answer != TDeviceRequest::TAnswer::Progress)
        TBasicProtocol().LogFrame(chunk, 1);
    if (!awaiting) {
        // A late answer during the quiet time, or bytes nobody asked for.
        if (m_quiet->isActive() || reply) {
            ++m_stale;
            emit staleReply(chunk);
        } else {
            ++m_unsolicited;
            emit unsolicitedChunk(chunk);
        }
        return;
    }
    const TDeviceRequest &request = reply->m_request;
    if (request.answer == TDeviceRequest::TAnswer::Progress) {
        emit reply->progress(chunk);
        if (request.isLastChunk && request.isLastChunk(chunk)) {
            m_timeout->stop();
            m_inFlight = nullptr;
            reply->m_reply = chunk;
            Finish(reply, TReplyError::None);
            QMetaObject::invokeMethod(this, &TDeviceSession::Pump, Qt::QueuedConnection);
        } else {
            m_timeout->start(request.timeoutMs);
        }
        return;
    }
    if (IsStale(request, chunk)) {
        ++m_stale;
        emit staleReply(chunk);
        return;
    }
    if (!Acceptable(request, chunk)) {
        AttemptFailed(TReplyError::BadReply, BadReplyDrainMs);
        return;
    }
    if (m_echo == TEcho::Unknown && request.framed && TBasicProtocol().IsWholeFrame(chunk))
        m_echo = FrameHead(chunk) == FrameHead(request.bytes) ? TEcho::Echoes : TEcho::NoEcho;
    m_timeout->stop();
    m_inFlight = nullptr;
    reply->m_reply = chunk;
    Finish(reply, TReplyError::None);
    QMetaObject::invokeMethod(this, &TDeviceSession::Pump, Qt::QueuedConnection);
}

bool TDeviceSession::IsStale(const TDeviceRequest &request, const QByteArray &chunk)
{
    return m_echo == TEcho::Echoes && request.framed && TBasicProtocol().IsWholeFrame(chunk)
        && FrameHead(chunk) != FrameHead(request.bytes);
}

bool TDeviceSession::Acceptable(const TDeviceRequest &request, const QByteArray &chunk) const
{
    const TBasicProtocol codec;
    switch (request.answer) {
    case TDeviceRequest::TAnswer::None:
    case TDeviceRequest::TAnswer::Progress:
        return true;
    case TDeviceRequest::TAnswer::AnyBytes:
        // Once the logger is known to echo, its acknowledgements are frames.
        return m_echo != TEcho::Echoes || !request.framed || codec.IsWholeFrame(chunk);
    case TDeviceRequest::TAnswer::Frame: {
        if (!codec.IsWholeFrame(chunk))
            return false;
        const int size = codec.GetData(chunk).size();
        return size >= request.minimumPayload
            && (request.payloadSize < 0 || size == request.payloadSize
                || size == request.otherPayloadSize);
    }
    }
    return false;
}

void TDeviceSession::AttemptFailed(TReplyError error, int quietMs)
{
    m_timeout->stop();
    TDeviceReply *reply = m_inFlight;
    const bool again = reply->m_sends < reply->m_request.attempts
        && reply->m_request.answer != TDeviceRequest::TAnswer::Progress;
    if (!again) {
        m_inFlight = nullptr;
        Finish(reply, error);
    }
    StartQuiet(quietMs);
}

void TDeviceSession::TimeOut()
{
    if (m_inFlight)
        AttemptFailed(TReplyError::TimedOut, LateReplySettleMs);
}

void TDeviceSession::StartQuiet(int ms)
{
    m_quiet->start(ms);
    UpdateBusy();
}

void TDeviceSession::Finish(TDeviceReply *reply, TReplyError error)
{
    reply->m_error = error;
    reply->m_finished = true;
    if (error != TReplyError::None)
        reply->m_reply.clear();
    if (error == TReplyError::None && reply->m_request.answer != TDeviceRequest::TAnswer::None)
        emit answered();
    else if (error == TReplyError::TimedOut)
        emit unanswered();
    emit reply->finished();
    reply->deleteLater();
    UpdateBusy();
}

void TDeviceSession::FinishAll(TReplyError error)
{
    m_timeout->stop();
    m_quiet->stop();
    if (TDeviceReply *reply = std::exchange(m_inFlight, nullptr))
        Finish(reply, error);
    while (!m_queue.isEmpty())
        Finish(m_queue.takeFirst(), error);
}

void TDeviceSession::LineLost()
{
    m_lineError = m_port->LineError();
    m_port->ClosePort();
    FinishAll(TReplyError::LineLost);
    UpdateBusy();
    emit connectionLost();
}

void TDeviceSession::UpdateBusy()
{
    const bool now = busy();
    if (now == m_busy)
        return;
    m_busy = now;
    emit busyChanged(now);
}
