#pragma once

#include "base/Const_Unt.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QTimer;
class TComm;
class TDeviceSession;

// How a request ended.
enum class TReplyError {
    None,         // answered; the reply is in TDeviceReply::reply()
    TimedOut,     // no acceptable answer within the time-out, after every attempt
    BadReply,     // every attempt got bytes that were no acceptable answer
    Stopped,      // cancelled by its caller, or the session closed
    LineLost,     // the port failed or vanished while the request waited
    NotConnected, // the port was closed when the request's turn came
};

// What a request is and what makes a chunk its answer.
struct TDeviceRequest
{
    enum class TAnswer {
        None,     // nothing is awaited (relay lines, REBOOT): done once written
        AnyBytes, // any chunk answers (write acknowledgements, RESET)
        Frame,    // a valid frame, with the payload size below when it is set
        Progress, // chunks are progress until isLastChunk passes on one (log erase)
    };

    // Kind of reply awaited, for the debug trace and the window's status.
    Const::TExpectedReply kind = Const::ReplyIdle;
    QByteArray bytes;
    // Frames go to the protocol log and may be matched by their head;
    // text lines do not.
    bool framed = true;
    TAnswer answer = TAnswer::Frame;
    // Exact payload size a Frame answer must carry; -1: any size.
    int payloadSize = -1;
    // A second size that is accepted as well; -1: none.
    int otherPayloadSize = -1;
    // Minimum payload size of a Frame answer.
    int minimumPayload = 0;
    // Sends before the request gives up (a time-out or an unusable answer
    // each cost one).
    int attempts = 1;
    // Time allowed for the answer; for Progress, for each chunk.
    int timeoutMs = 2500;
    std::function<bool(const QByteArray &chunk)> isLastChunk;
};

// One request's fate. Created for a job's request, owned by the
// session, deleted after finished() has been delivered; read it in the slot.
class TDeviceReply : public QObject
{
    Q_OBJECT
public:
    bool isFinished() const { return m_finished; }
    TReplyError error() const { return m_error; }
    // The chunk taken as the answer (empty unless error() is None).
    const QByteArray &reply() const { return m_reply; }
    // The data bytes of a framed answer.
    QByteArray payload() const;
    const TDeviceRequest &request() const { return m_request; }
    // How often the request went out.
    int sends() const { return m_sends; }

signals:
    void finished();
    // A chunk of a Progress answer.
    void progress(const QByteArray &chunk);

private:
    friend class TDeviceSession;
    explicit TDeviceReply(const TDeviceRequest &request, QObject *parent);

    TDeviceRequest m_request;
    QByteArray m_reply;
    TReplyError m_error = TReplyError::None;
    bool m_finished = false;
    int m_sends = 0;
};

// One device on one port. It owns the port and a first-in-first-out queue of
// requests with exactly one in flight; it applies each request's time-out and
// attempts, keeps a quiet time after a time-out or a cancel (so that a late
// answer is dropped instead of being taken for the next request's) and a
// shorter one after an unusable answer (so that the rest of it drains), logs
// every frame, and drops bytes that arrive when nothing is awaited.
//
// A logger that echoes the request's command and address in its replies is
// recognised on the first framed answer of a connection; from then on a valid
// frame whose head is not the request's is a stale reply: logged, dropped,
// and the wait goes on.
//
// Jobs claim the session while they run, so that a second one is refused;
// busy() covers a claim, a queued request, one in flight and a quiet time.
class TJobWatch;

class TDeviceSession : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
public:
    // Quiet time after a time-out or a cancel.
    static constexpr int LateReplySettleMs = 1500;
    // Quiet time after an answer that could not be used.
    static constexpr int BadReplyDrainMs = 250;

    enum class TEcho { Unknown, Echoes, NoEcho };

    explicit TDeviceSession(QObject *parent = nullptr);
    ~TDeviceSession() override;

    // The port, for its name and line settings.
    TComm *port() const { return m_port; }
    // Opens portName (a serial port, a demo device or a network serial
    // server) with the loggers' line. False with the reason, in the port's
    // language, in *error. A network port connects after this returns; when
    // it cannot, the session loses its line with the reason in lineError().
    [[nodiscard]] bool open(const QString &portName, QString *error);
    // Closes the port; every request still waiting ends as Stopped.
    void close();
    bool isOpen() const;

    // Ends a request as Stopped. One in flight leaves a quiet time behind.
    void cancel(TDeviceReply *reply);

    bool busy() const;
    // A job holds the session until it releases it; false when another does.
    [[nodiscard]] bool claim(QObject *job);
    void release(QObject *job);
    QObject *holder() const { return m_holder.data(); }
    // Told of every job started with start() on this session; not owned, null: none.
    void SetJobWatch(TJobWatch *watch) { m_jobWatch = watch; }
    TJobWatch *JobWatch() const { return m_jobWatch; }

    TEcho echo() const { return m_echo; }
    // Chunks that came while nothing was awaited, since the port was opened.
    int unsolicitedCount() const { return m_unsolicited; }
    // Valid frames dropped for answering another request.
    int staleCount() const { return m_stale; }
    // Why the line was last lost, when the port knew (a network server that
    // refused, did not answer or hung up); empty otherwise. Cleared by open().
    QString lineError() const { return m_lineError; }

signals:
    void busyChanged(bool busy);
    // The port failed or vanished; it is closed now.
    void connectionLost();
    // A request got its answer (the device is there), or got none after
    // every attempt (it may have stopped answering).
    void answered();
    void unanswered();
    // Bytes dropped: unasked for, or a stale answer.
    void unsolicitedChunk(const QByteArray &chunk);
    void staleReply(const QByteArray &chunk);

private:
    // Requests go out only as steps of a job, so that the claim that keeps
    // a second job away covers everything sent.
    friend class TDeviceJob;
    // Queues a request; the reply finishes later, never inside this call.
    TDeviceReply *submit(const TDeviceRequest &request);

    void Pump();
    void SendInFlight();
    void TakeChunk(const QByteArray &chunk);
    void AttemptFailed(TReplyError error, int quietMs);
    void TimeOut();
    void Finish(TDeviceReply *reply, TReplyError error);
    void FinishAll(TReplyError error);
    void StartQuiet(int ms);
    void LineLost();
    void UpdateBusy();
    bool Acceptable(const TDeviceRequest &request, const QByteArray &chunk) const;
    bool IsStale(const TDeviceRequest &request, const QByteArray &chunk);

    TComm *m_port = nullptr;
    QTimer *m_timeout = nullptr;
    QTimer *m_quiet = nullptr;
    QList<TDeviceReply *> m_queue;
    TDeviceReply *m_inFlight = nullptr;
    QPointer<QObject> m_holder;
    TEcho m_echo = TEcho::Unknown;
    int m_unsolicited = 0;
    int m_stale = 0;
    QString m_lineError;
    bool m_busy = false;
    TJobWatch *m_jobWatch = nullptr;
};
