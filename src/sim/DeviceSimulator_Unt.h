#pragma once

#include "link/DemoDevice_Unt.h"
#include "sim/SimLine_Unt.h"
#include "sim/SimLogger_Unt.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>

class TComm;

// A simulated K801/K802/K803 logger on a byte stream: the logger
// (TSimLogger: memory, log, protocol) behind its line (TSimLine: pacing at
// the baud rate, latency, fault knobs). Feed it what the PC writes
// (ReceiveFromHost); it answers through BytesToHost. Every reply is one
// burst: after LatencyMs its bytes come out in slices paced at the baud rate
// (10 bits per byte), never with a gap of 100 ms or more inside, unless a
// fault knob asks for a split. The history erase is the exception: its
// progress digits come in several bursts, ErasePauseMs apart, so that each
// reaches the PC as a chunk of its own. Replies go out in the order of the
// requests. What the logger understands is described at TSimLogger.
class TDeviceSimulator : public TDemoDevice
{
    Q_OBJECT
public:
    using Model = TSimLogger::Model;
    static constexpr int ImageSize = TSimLogger::ImageSize;
    static constexpr int RecordSize = TSimLogger::RecordSize;
    static constexpr int MaxHistoryRecords = TSimLogger::MaxHistoryRecords;
    static constexpr int DefaultHistoryRecords = TSimLogger::DefaultHistoryRecords;
    static constexpr int DefaultHistoryIntervalSeconds = TSimLogger::DefaultHistoryIntervalSeconds;
    static constexpr int InputIdleTimeoutMs = TSimLogger::InputIdleTimeoutMs;
    static constexpr int ErasePauseMs = TSimLogger::ErasePauseMs;

    explicit TDeviceSimulator(Model model = Model::K802, QObject *parent = nullptr);
    ~TDeviceSimulator() override;

    TSimLogger *logger() const { return m_logger; }
    TSimLine *line() const { return m_line; }

    // "K801" / "K802" / "K803" (any case, blanks around ignored) → model;
    // false for other texts, *model unchanged.
    static bool ModelFromText(const QString &text, Model *model) { return TSimLogger::ModelFromText(text, model); }
    static QString ModelText(Model model) { return TSimLogger::ModelText(model); }

    Model model() const { return m_logger->model(); }
    // The version text and the 15-digit IMEI the device reports.
    QString firmwareVersion() const { return m_logger->firmwareVersion(); }
    QString imei() const { return m_logger->imei(); }

    // Line and timing. A baud rate of 0 sends every reply at once.
    void setBaudRate(quint32 baud) override { m_line->setBaudRate(baud); }
    quint32 baudRate() const { return m_line->baudRate(); }
    void setLatencyMs(int ms) { m_line->setLatencyMs(ms); }
    int latencyMs() const { return m_line->latencyMs(); }
    // Whether what the PC writes reaches the device at the baud rate too
    // (see TSimLine::setPacesHostBytes).
    void setPacesHostBytes(bool paces) { m_line->setPacesHostBytes(paces); }
    bool pacesHostBytes() const { return m_line->pacesHostBytes(); }

    // Device state. The password is the first 4 bytes of the configuration
    // image, so writing page 0 changes it and RESET brings back "5937".
    QString password() const { return m_logger->password(); }
    // Stores the first four Latin-1 characters, padded with 0x00.
    void setPassword(const QString &password) { m_logger->setPassword(password); }
    QByteArray configImage() const { return m_logger->configImage(); }   // 3646 bytes
    // Shorter images are padded with 0xFF, longer ones cut to 3646 bytes.
    void setConfigImage(const QByteArray &image) { m_logger->setConfigImage(image); }
    // The configuration a new device of this model leaves the factory with.
    static QByteArray FactoryImage(Model model) { return TSimLogger::FactoryImage(model); }
    int historyRecordCount() const { return m_logger->historyRecordCount(); }
    // Regenerates the log: count records (0..MaxHistoryRecords), one every
    // intervalSeconds, the last one at the device clock's current second.
    void setHistoryRecordCount(int count, int intervalSeconds = DefaultHistoryIntervalSeconds)
    {
        m_logger->setHistoryRecordCount(count, intervalSeconds);
    }
    // 64 bytes, index 0 = record 1; 64 bytes 0xFF beyond the log.
    QByteArray historyRecord(int index) const { return m_logger->historyRecord(index); }
    // The log grows by count records (up to MaxHistoryRecords in all), one
    // every intervalSeconds after the last one (or up to now when empty).
    void appendHistoryRecords(int count, int intervalSeconds = DefaultHistoryIntervalSeconds)
    {
        m_logger->appendHistoryRecords(count, intervalSeconds);
    }
    // The whole log, and a log put in place as it is (records of 64 bytes,
    // cut to MaxHistoryRecords): how a test carries one device's log over
    // to the simulator behind a port opened again.
    QVector<QByteArray> historyLog() const { return m_logger->historyLog(); }
    void setHistoryLog(const QVector<QByteArray> &records) { m_logger->setHistoryLog(records); }
    // Replaces one record of the log (index 0 = record 1) with 64 bytes, as
    // damaged memory or a clock set back would leave it.
    void setHistoryRecord(int index, const QByteArray &record) { m_logger->setHistoryRecord(index, record); }
    // A device that acknowledges writes of configuration page `page` (counted
    // from 0, 256 bytes each) but stores nothing of them; -1 stores every page.
    void ignoreConfigPageWrites(int page) { m_logger->ignoreConfigPageWrites(page); }
    quint8 relayBits() const { return m_logger->relayBits(); }   // bit0 DO1, bit1 DO2, 1 = closed
    QDateTime deviceClock() const { return m_logger->deviceClock(); }   // local time
    int rebootCount() const { return m_logger->rebootCount(); }
    // The 33 data bytes of the current-values reply at this moment.
    QByteArray currentValues() const { return m_logger->currentValues(); }
    // The bytes a memory read (command 131) at this address answers with:
    // 256 bytes for an address on a 256-byte boundary, else 64. The
    // configuration image lies at 0 (0xFF after its 3646 bytes), the log at
    // 0x4000; every other byte reads 0xFF.
    QByteArray readMemory(quint32 address) const { return m_logger->readMemory(address); }

    // Fault knobs of the line (TSimLine); each applies to the next n replies.
    void dropReplies(int n) { m_line->dropReplies(n); }
    void corruptChecksums(int n) { m_line->corruptChecksums(n); }
    void splitReplies(int n, int pauseMs = 150) { m_line->splitReplies(n, pauseMs); }
    void delayReplies(int n, int extraMs) { m_line->delayReplies(n, extraMs); }
    void duplicateReplies(int n, int pauseMs) { m_line->duplicateReplies(n, pauseMs); }
    void repeatPreviousReplies(int n) { m_line->repeatPreviousReplies(n); }
    void loseLineAfterReplies(int n) { m_line->loseLineAfterReplies(n); }
    void stopAnsweringAfterReplies(int n) { m_line->stopAnsweringAfterReplies(n); }
    // Whether frame replies carry the request's command and address (the
    // default) or zeros there: the logger's firmware.
    void setEchoesHead(bool echoes) { m_logger->setEchoesHead(echoes); }
    // Sends bytes the PC did not ask for, as one burst, now (after any reply
    // already on its way).
    void sendGarbage(const QByteArray &bytes) { m_line->SendUnasked(bytes); }

    // Requests seen so far (complete frames, good or bad, and text lines
    // with their CR LF), for tests.
    QVector<QByteArray> requestLog() const { return m_logger->requestLog(); }
    // Frames received with this command byte (the password and line
    // commands are no frames and are not counted).
    int framesWithCommand(quint8 command) const { return m_logger->framesWithCommand(command); }
    // True while reply bytes are still waiting to go out.
    bool replyPending() const { return m_line->pending(); }

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
    TSimLogger *m_logger;
    TSimLine *m_line;
};

// The simulated logger behind a port opened on a "demo:" name, else null.
TDeviceSimulator *DemoSimulator(const TComm *port);
