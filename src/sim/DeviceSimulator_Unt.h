#pragma once

#include "link/DemoDevice_Unt.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QVector>

class QTimer;
class TComm;

// A simulated K801/K802/K803 logger on a byte stream. Feed it what the PC
// writes (ReceiveFromHost); it answers through BytesToHost. Every reply is
// one burst: after LatencyMs its bytes come out in slices paced at the baud
// rate (10 bits per byte), never with a gap of 100 ms or more inside, unless
// a fault knob asks for a split. The history erase is the exception: its
// progress digits come in several bursts, ErasePauseMs apart, so that each
// reaches the PC as a chunk of its own. Replies go out in the order of the
// requests.
//
// What the device understands:
// - frames ('#', command, address, length, data, XOR checksum) built and
//   checked by TBasicProtocol; a frame whose checksum fails gets no reply;
// - text lines "<password><keyword>\r\n" with the keywords DOO1, DOC1, DOO2,
//   DOC2 (relays, no reply), REBOOT (no reply) and RESET (factory image,
//   answered with "OK\r\n"). A line whose prefix is not the device password
//   is ignored.
// Bytes before a '#' or before the text of a line are dropped, and so is an
// unfinished request after InputIdleTimeoutMs of silence.
class TDeviceSimulator : public TDemoDevice
{
    Q_OBJECT
public:
    enum class Model { K801, K802, K803 };
    static constexpr int ImageSize = 3646;
    static constexpr int RecordSize = 64;
    // The most records the simulated log holds (the tool reads at most 20000).
    static constexpr int MaxHistoryRecords = 20000;
    // A new device's log: this many records, one every 10 minutes up to now.
    static constexpr int DefaultHistoryRecords = 200;
    static constexpr int DefaultHistoryIntervalSeconds = 600;
    // An unfinished request is dropped after this much silence on the line.
    static constexpr int InputIdleTimeoutMs = 500;
    // Quiet time between the progress bursts of a history erase.
    static constexpr int ErasePauseMs = 150;

    explicit TDeviceSimulator(Model model = Model::K802, QObject *parent = nullptr);
    ~TDeviceSimulator() override;

    // "K801" / "K802" / "K803" (any case, blanks around ignored) → model;
    // false for other texts, *model unchanged.
    static bool ModelFromText(const QString &text, Model *model);
    static QString ModelText(Model model);

    Model model() const { return m_model; }
    // The version text and the 15-digit IMEI the device reports.
    QString firmwareVersion() const;
    QString imei() const;

    // Line and timing. A baud rate of 0 sends every reply at once.
    void setBaudRate(quint32 baud) override { m_baudRate = baud; }
    quint32 baudRate() const { return m_baudRate; }
    void setLatencyMs(int ms) { m_latencyMs = qMax(0, ms); }
    int latencyMs() const { return m_latencyMs; }
    // Whether what the PC writes reaches the device at the baud rate too
    // (byte k of a write arrives (k + 1) byte times after the line is free),
    // so that a request is taken, and its latency starts, only once its last
    // byte is in. Off: a write arrives whole at once. A benchmark turns it on
    // to charge both directions what the line costs.
    void setPacesHostBytes(bool paces) { m_pacesHostBytes = paces; }
    bool pacesHostBytes() const { return m_pacesHostBytes; }

    // Device state. The password is the first 4 bytes of the configuration
    // image, so writing page 0 changes it and RESET brings back "5937".
    QString password() const;
    // Stores the first four Latin-1 characters, padded with 0x00.
    void setPassword(const QString &password);
    QByteArray configImage() const { return m_image; }        // 3646 bytes
    // Shorter images are padded with 0xFF, longer ones cut to 3646 bytes.
    void setConfigImage(const QByteArray &image);
    // The configuration a new device of this model leaves the factory with.
    static QByteArray FactoryImage(Model model);
    int historyRecordCount() const { return m_historyRecords.size(); }
    // Regenerates the log: count records (0..MaxHistoryRecords), one every
    // intervalSeconds, the last one at the device clock's current second.
    void setHistoryRecordCount(int count, int intervalSeconds = DefaultHistoryIntervalSeconds);
    // 64 bytes, index 0 = record 1; 64 bytes 0xFF beyond the log.
    QByteArray historyRecord(int index) const;
    // The log grows by count records (up to MaxHistoryRecords in all), one
    // every intervalSeconds after the last one (or up to now when empty).
    void appendHistoryRecords(int count, int intervalSeconds = DefaultHistoryIntervalSeconds);
    // The whole log, and a log put in place as it is (records of 64 bytes,
    // cut to MaxHistoryRecords): how a test carries one device's log over
    // to the simulator behind a port opened again.
    QVector<QByteArray> historyLog() const { return m_historyRecords; }
    void setHistoryLog(const QVector<QByteArray> &records);
    // Replaces one record of the log (index 0 = record 1) with 64 bytes, as
    // damaged memory or a clock set back would leave it.
    void setHistoryRecord(int index, const QByteArray &record);
    // A device that acknowledges writes of configuration page `page` (counted
    // from 0, 256 bytes each) but stores nothing of them; -1 stores every page.
    void ignoreConfigPageWrites(int page) { m_ignoredPage = page; }
    quint8 relayBits() const { return m_relayBits; }          // bit0 DO1, bit1 DO2, 1 = closed
    QDateTime deviceClock() const;                            // local time
    int rebootCount() const { return m_rebootCount; }
    // The 33 data bytes of the current-values reply at this moment.
    QByteArray currentValues() const;
    // The bytes a memory read (command 131) at this address answers with:
    // 256 bytes for an address on a 256-byte boundary, else 64. The
    // configuration image lies at 0 (0xFF after its 3646 bytes), the log at
    // 0x4000; every other byte reads 0xFF.
    QByteArray readMemory(quint32 address) const;

    // Fault knobs; each applies to the next n replies.
    // The device still acts on the request; only the reply is lost.
    void dropReplies(int n) { m_dropReplies = qMax(0, n); }
    // Flips the last byte (the checksum) of the next n frame replies; the
    // text replies (erase progress, RESET) are not counted.
    void corruptChecksums(int n) { m_corruptReplies = qMax(0, n); }
    // The next n replies stop in their middle for pauseMs.
    void splitReplies(int n, int pauseMs = 150) { m_splitReplies = qMax(0, n); m_splitPauseMs = qMax(0, pauseMs); }
    // The next n replies start extraMs later than the latency.
    void delayReplies(int n, int extraMs) { m_delayReplies = qMax(0, n); m_delayExtraMs = qMax(0, extraMs); }
    // The next n replies come twice, the copy pauseMs after the first ends.
    void duplicateReplies(int n, int pauseMs) { m_duplicateReplies = qMax(0, n); m_duplicatePauseMs = qMax(0, pauseMs); }
    // The next n frame replies are the previous frame reply again (an
    // answer that belongs to another request).
    void repeatPreviousReplies(int n) { m_repeatReplies = qMax(0, n); }
    // Whether frame replies carry the request's command and address (the
    // default) or zeros there.
    void setEchoesHead(bool echoes) { m_echoesHead = echoes; }
    // After n more replies the line breaks: the request that would get the
    // next reply gets none, and LineFailed is raised. -1 turns it off.
    void loseLineAfterReplies(int n) { m_loseLineAfter = qMax(-1, n); }
    // Sends bytes the PC did not ask for, as one burst, now (after any reply
    // already on its way).
    void sendGarbage(const QByteArray &bytes);

    // Requests seen so far (complete frames, good or bad, and text lines
    // with their CR LF), for tests.
    QVector<QByteArray> requestLog() const { return m_requests; }
    // Frames received with this command byte (the password and line
    // commands are no frames and are not counted).
    int framesWithCommand(quint8 command) const;
    // True while reply bytes are still waiting to go out.
    bool replyPending() const { return !m_bursts.isEmpty(); }

    void ReceiveFromHost(const QByteArray &bytes) override;

    // Makes "demo:K801".."demo:K803" open a simulated logger of that model.
    static void InstallDemoPorts();

signals:
    // A complete request (as in requestLog) has been taken from the input.
    void requestReceived(const QByteArray &request);
    // The PC has written these bytes: they are on the line now (with
    // setPacesHostBytes they reach the device later, at the line's pace).
    void bytesFromHost(const QByteArray &bytes);

private:
    // A run of bytes that leaves the device without a pause. It starts no
    // earlier than earliestNs and at least quietNs after the burst before it.
    struct TBurst
    {
        QByteArray bytes;
        qint64 earliestNs = 0;
        qint64 quietNs = 0;
    };

    void ParseInput();
    void HandleFrame(const QByteArray &frame);
    void HandleLine(const QByteArray &line);
    void Reply(QList<TBurst> bursts, bool isFrame);
    void ReplyFrame(quint8 command, quint32 address, const QByteArray &data);
    void Pace();
    void TakeHostBytes();
    void DropUnfinishedInput();

    bool PasswordMatches(const QByteArray &requestData) const;
    bool SetClockFrom(const QByteArray &requestData);
    bool WriteMemory(quint32 address, const QByteArray &data);
    QByteArray VersionData();
    QByteArray MakeHistoryRecord(int number, const QDateTime &when, quint8 previousFlags,
                                 quint8 *flags) const;
    bool SlotUsed(int slot) const;
    qint16 SensorValue(int slot, qint64 epochSeconds, int secondOfDay) const;

    Model m_model;
    quint32 m_baudRate = 115200;
    int m_latencyMs = 5;
    QByteArray m_image;
    QVector<QByteArray> m_historyRecords;
    quint8 m_relayBits = 0;
    qint64 m_clockOffsetMs = 0;
    int m_rebootCount = 0;
    int m_dropReplies = 0;
    int m_ignoredPage = -1;
    int m_corruptReplies = 0;
    int m_splitReplies = 0;
    int m_splitPauseMs = 150;
    int m_delayReplies = 0;
    int m_delayExtraMs = 0;
    int m_duplicateReplies = 0;
    int m_duplicatePauseMs = 0;
    int m_repeatReplies = 0;
    bool m_echoesHead = true;
    int m_loseLineAfter = -1;
    QByteArray m_previousFrameReply;
    QByteArray m_input;
    QVector<QByteArray> m_requests;
    QRandomGenerator m_random;

    // Reply pacing: one monotonic clock for request times and the line.
    QElapsedTimer m_clock;
    qint64 m_requestNs = 0;          // when the request being handled arrived
    QTimer *m_pacer = nullptr;
    QTimer *m_inputIdle = nullptr;
    QList<TBurst> m_bursts;
    qint64 m_burstStartNs = -1;      // start of m_bursts.first(), -1 before it starts
    int m_burstSent = 0;
    qint64 m_lineFreeNs = 0;         // when the last byte sent went out

    // The other direction: writes of the PC still on their way, each with
    // the moment its last byte reaches the device.
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

// The simulated logger behind a port opened on a "demo:" name, else null.
TDeviceSimulator *DemoSimulator(const TComm *port);
