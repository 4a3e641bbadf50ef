#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>

#include <functional>

class QTimer;

// A run of bytes the simulated logger sends without a pause; quietMs is the
// silence the line keeps before it, after the burst before it has ended.
struct TSimBurst
{
    QByteArray bytes;
    int quietMs = 0;
};

// The serial line between the simulated logger and the PC: it carries the
// logger's replies at the baud rate (10 bits per byte) after the logger's
// latency, in the order they were handed over, each burst without a gap of
// 100 ms or more inside, and it applies the fault knobs (lost, damaged,
// split, late, doubled or stale replies, a line that breaks). It knows
// nothing of the protocol beyond whether a reply is a frame.
class TSimLine : public QObject
{
    Q_OBJECT
public:
    explicit TSimLine(QObject *parent = nullptr);
    ~TSimLine() override;

    // A baud rate of 0 sends every reply at once.
    void setBaudRate(quint32 baud) { m_baudRate = baud; }
    quint32 baudRate() const { return m_baudRate; }
    // Time from a request to the start of its reply.
    void setLatencyMs(int ms) { m_latencyMs = qMax(0, ms); }
    int latencyMs() const { return m_latencyMs; }

    // Fault knobs; each applies to the next n replies.
    // The logger still acts on the request; only the reply is lost.
    void dropReplies(int n) { m_dropReplies = qMax(0, n); }
    // Flips the last byte (the checksum) of the next n frame replies; other
    // replies are not counted.
    void corruptChecksums(int n) { m_corruptReplies = qMax(0, n); }
    // The next n replies stop in their middle for pauseMs.
    void splitReplies(int n, int pauseMs = 150) { m_splitReplies = qMax(0, n); m_splitPauseMs = qMax(0, pauseMs); }
    // The next n replies start extraMs later than the latency.
    void delayReplies(int n, int extraMs) { m_delayReplies = qMax(0, n); m_delayExtraMs = qMax(0, extraMs); }
    // The next n replies come twice, the copy pauseMs after the first ends.
    void duplicateReplies(int n, int pauseMs) { m_duplicateReplies = qMax(0, n); m_duplicatePauseMs = qMax(0, pauseMs); }
    // The next n frame replies are the previous frame reply again.
    void repeatPreviousReplies(int n) { m_repeatReplies = qMax(0, n); }
    // After n more replies the line breaks: the reply after them is lost and
    // lineLost is raised. -1 turns it off.
    void loseLineAfterReplies(int n) { m_loseLineAfter = qMax(-1, n); }
    // After n more replies the logger goes silent: it still acts on what it
    // is sent, but no reply leaves it any more (a device that hung or lost
    // its power mid-way; the port stays open). -1 turns it off.
    void stopAnsweringAfterReplies(int n) { m_stopAnsweringAfter = qMax(-1, n); }

    // Whether what the PC writes reaches the logger at the baud rate too
    // (byte k of a write arrives (k + 1) byte times after the line is free),
    // so that a request is taken, and its latency starts, only once its last
    // byte is in. Off: a write arrives whole at once. A benchmark turns it on
    // to charge both directions what the line costs.
    void setPacesHostBytes(bool paces) { m_pacesHostBytes = paces; }
    bool pacesHostBytes() const { return m_pacesHostBytes; }
    // A request has just come in: the latency of the next reply counts from
    // now.
    void RequestArrived();
    // Bytes the PC wrote; they reach Deliver when their last byte is in, and
    // the latency of the next reply counts from that moment.
    void FromHost(const QByteArray &bytes);
    std::function<void(const QByteArray &bytes)> Deliver;
    // Hands over the bursts of one reply (a frame reply is one burst).
    void Send(QList<TSimBurst> bursts, bool isFrame);
    // Bytes nobody asked for, as one burst, now (after any reply already on
    // its way).
    void SendUnasked(const QByteArray &bytes);
    // True while bytes are still waiting to go out.
    bool pending() const { return !m_bursts.isEmpty(); }

signals:
    void bytesToHost(const QByteArray &bytes);
    void lineLost();

private:
    // A burst on its way: it starts no earlier than earliestNs and at least
    // quietNs after the burst before it.
    struct TTimedBurst
    {
        QByteArray bytes;
        qint64 earliestNs = 0;
        qint64 quietNs = 0;
    };

    void Queue(const QList<TTimedBurst> &bursts);
    void TakeHostBytes();
    void Pace();

    quint32 m_baudRate = 115200;
    int m_latencyMs = 5;
    int m_dropReplies = 0;
    int m_corruptReplies = 0;
    int m_splitReplies = 0;
    int m_splitPauseMs = 150;
    int m_delayReplies = 0;
    int m_delayExtraMs = 0;
    int m_duplicateReplies = 0;
    int m_duplicatePauseMs = 0;
    int m_repeatReplies = 0;
    int m_loseLineAfter = -1;
    int m_stopAnsweringAfter = -1;
    QByteArray m_previousFrameReply;

    // One monotonic clock for request times and the line.
    QElapsedTimer m_clock;
    qint64 m_requestNs = 0;          // when the request being answered arrived
    QTimer *m_pacer = nullptr;
    QList<TTimedBurst> m_bursts;
    qint64 m_burstStartNs = -1;      // start of m_bursts.first(), -1 before it starts
    int m_burstSent = 0;
    qint64 m_lineFreeNs = 0;         // when the last byte sent went out

    // The other direction: writes of the PC still on their way, each with
    // the moment its last byte reaches the logger.
    struct TInbound
    {
        QByteArray bytes;
        qint64 arrivedNs = 0;
    };
    bool m_pacesHostBytes = false;
    QTimer *m_inboundPacer = nullptr;
    QList<TInbound> m_inbound;
    qint64 m_inboundFreeNs = 0;      // when the last byte written will be in
};
