#include "sim/SimLine_Unt.h"

#include <QTimer>

namespace {

constexpr int PacerIntervalMs = 5;
constexpr qint64 NsPerMs = 1000000;

} // namespace

TSimLine::TSimLine(QObject *parent)
    : QObject(parent), m_pacer(new QTimer(this)), m_inboundPacer(new QTimer(this))
{
    m_clock.start();
    m_pacer->setTimerType(Qt::PreciseTimer);
    m_pacer->setInterval(PacerIntervalMs);
    connect(m_pacer, &QTimer::timeout, this, &TSimLine::Pace);
    m_inboundPacer->setTimerType(Qt::PreciseTimer);
    m_inboundPacer->setSingleShot(true);
    connect(m_inboundPacer, &QTimer::timeout, this, &TSimLine::TakeHostBytes);
}

TSimLine::~TSimLine() = default;

void TSimLine::RequestArrived()
{
    m_requestNs = m_clock.nsecsElapsed();
}

void TSimLine::FromHost(const QByteArray &bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (!m_pacesHostBytes || m_baudRate == 0) {
        m_requestNs = now;
        if (Deliver)
            Deliver(bytes);
        return;
    }
    const qint64 byteNs = qint64(10) * 1000000000 / qint64(m_baudRate);
    // A write that comes while an earlier one is still on the line follows it.
    m_inboundFreeNs = qMax(now, m_inboundFreeNs) + qint64(bytes.size()) * byteNs;
    m_inbound.append(TInbound{bytes, m_inboundFreeNs});
    if (!m_inboundPacer->isActive())
        TakeHostBytes();
}

// Hands the logger each write whose last byte has arrived, as of the moment
// it arrived (the latency counts from there), and waits for the next.
void TSimLine::TakeHostBytes()
{
    const qint64 now = m_clock.nsecsElapsed();
    while (!m_inbound.isEmpty() && m_inbound.first().arrivedNs <= now) {
        const TInbound arrived = m_inbound.takeFirst();
        m_requestNs = arrived.arrivedNs;
        if (Deliver)
            Deliver(arrived.bytes);
    }
    if (m_inbound.isEmpty())
        return;
    const qint64 waitNs = m_inbound.first().arrivedNs - now;
    m_inboundPacer->start(int((waitNs + 999999) / 1000000));
}

void TSimLine::SendUnasked(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    TTimedBurst burst;
    burst.bytes = bytes;
    burst.earliestNs = m_clock.nsecsElapsed();
    Queue({burst});
}

void TSimLine::Send(QList<TSimBurst> bursts, bool isFrame)
{
    if (bursts.isEmpty())
        return;
    if (isFrame) {
        // A stale answer: the frame the line carried last, instead of this one.
        if (m_repeatReplies > 0 && !m_previousFrameReply.isEmpty()) {
            --m_repeatReplies;
            bursts.first().bytes = m_previousFrameReply;
        }
        m_previousFrameReply = bursts.first().bytes;
    }
    if (m_loseLineAfter == 0) {
        m_loseLineAfter = -1;
        emit lineLost();
        return;
    }
    if (m_loseLineAfter > 0)
        --m_loseLineAfter;
    if (m_stopAnsweringAfter == 0)
        return;
    if (m_stopAnsweringAfter > 0)
        --m_stopAnsweringAfter;
    if (m_dropReplies > 0) {
        --m_dropReplies;
        return;
    }
    qint64 earliest = m_requestNs + qint64(m_latencyMs) * NsPerMs;
    if (m_delayReplies > 0) {
        --m_delayReplies;
        earliest += qint64(m_delayExtraMs) * NsPerMs;
    }
    if (isFrame && m_corruptReplies > 0) {
        --m_corruptReplies;
        QByteArray &last = bursts.last().bytes;
        last[last.size() - 1] = char(quint8(last.at(last.size() - 1)) ^ 0xFF);
    }
    if (m_splitReplies > 0 && bursts.first().bytes.size() >= 2) {
        --m_splitReplies;
        TSimBurst tail;
        const int half = bursts.first().bytes.size() / 2;
        tail.bytes = bursts.first().bytes.mid(half);
        tail.quietMs = m_splitPauseMs;
        bursts.first().bytes.truncate(half);
        bursts.insert(1, tail);
    }
    if (m_duplicateReplies > 0) {
        --m_duplicateReplies;
        const int count = int(bursts.size());
        for (int index = 0; index < count; ++index) {
            TSimBurst copy = bursts.at(index);
            if (index == 0)
                copy.quietMs = m_duplicatePauseMs;
            bursts.append(copy);
        }
    }
    QList<TTimedBurst> timed;
    for (const TSimBurst &burst : std::as_const(bursts))
        timed.append({burst.bytes, 0, qint64(burst.quietMs) * NsPerMs});
    timed.first().earliestNs = earliest;
    Queue(timed);
}

void TSimLine::Queue(const QList<TTimedBurst> &bursts)
{
    m_bursts.append(bursts);
    if (!m_pacer->isActive())
        m_pacer->start();
}

// Sends what the line has carried since the current burst started: byte k
// of a burst is out once (k + 1) byte times have passed (10 bits a byte).
void TSimLine::Pace()
{
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 byteNs = m_baudRate > 0 ? qint64(10) * 1000000000 / qint64(m_baudRate) : 0;
    while (!m_bursts.isEmpty()) {
        TTimedBurst &burst = m_bursts.first();
        if (m_burstStartNs < 0) {
            const qint64 start = qMax(burst.earliestNs, m_lineFreeNs + burst.quietNs);
            if (now < start)
                break;
            m_burstStartNs = start;
            m_burstSent = 0;
        }
        const int size = burst.bytes.size();
        const int due = byteNs > 0 ? int(qMin<qint64>(size, (now - m_burstStartNs) / byteNs)) : size;
        if (due > m_burstSent) {
            const QByteArray slice = burst.bytes.mid(m_burstSent, due - m_burstSent);
            m_burstSent = due;
            // The burst is finished before the signal goes out, so a slot
            // that feeds a new request back in finds a consistent queue.
            if (m_burstSent == size) {
                m_bursts.removeFirst();
                m_burstStartNs = -1;
                m_lineFreeNs = now;
            }
            emit bytesToHost(slice);
            continue;
        }
        break;
    }
    if (m_bursts.isEmpty())
        m_pacer->stop();
}
