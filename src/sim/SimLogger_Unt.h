#pragma once

#include "sim/SimLine_Unt.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QVector>

#include <functional>

class QTimer;

// The simulated K801/K802/K803 logger itself: its memory (the configuration
// image and the history log, laid out by its own memory map, independent of
// the tool's), its clock, relays and sensors, and the protocol it speaks.
// Feed it what arrives over the line (Receive); its replies go to Send, a
// frame reply as one burst, the erase progress as several bursts
// ErasePauseMs apart. Timing and faults of the line are TSimLine's.
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
class TSimLogger : public QObject
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

    explicit TSimLogger(Model model = Model::K802, QObject *parent = nullptr);
    ~TSimLogger() override;

    // Where the replies go: the bursts of one reply, and whether it is a
    // frame (the erase progress and "OK" are not).
    std::function<void(const QList<TSimBurst> &bursts, bool isFrame)> Send;

    // "K801" / "K802" / "K803" (any case, blanks around ignored) → model;
    // false for other texts, *model unchanged.
    static bool ModelFromText(const QString &text, Model *model);
    static QString ModelText(Model model);
    // The configuration a new device of this model leaves the factory with.
    static QByteArray FactoryImage(Model model);

    Model model() const { return m_model; }
    QString firmwareVersion() const;
    QString imei() const;

    QString password() const;
    void setPassword(const QString &password);
    QByteArray configImage() const { return m_image; }
    void setConfigImage(const QByteArray &image);
    int historyRecordCount() const { return m_historyRecords.size(); }
    void setHistoryRecordCount(int count, int intervalSeconds = DefaultHistoryIntervalSeconds);
    QByteArray historyRecord(int index) const;
    void appendHistoryRecords(int count, int intervalSeconds = DefaultHistoryIntervalSeconds);
    QVector<QByteArray> historyLog() const { return m_historyRecords; }
    void setHistoryLog(const QVector<QByteArray> &records);
    void setHistoryRecord(int index, const QByteArray &record);
    void ignoreConfigPageWrites(int page) { m_ignoredPage = page; }
    quint8 relayBits() const { return m_relayBits; }
    QDateTime deviceClock() const;
    int rebootCount() const { return m_rebootCount; }
    QByteArray currentValues() const;
    QByteArray readMemory(quint32 address) const;
    // Whether frame replies carry the request's command and address (the
    // default) or zeros there.
    void setEchoesHead(bool echoes) { m_echoesHead = echoes; }

    QVector<QByteArray> requestLog() const { return m_requests; }
    int framesWithCommand(quint8 command) const;

    // Bytes that arrived over the line.
    void Receive(const QByteArray &bytes);

signals:
    // A complete request (as in requestLog) has been taken from the input.
    void requestReceived(const QByteArray &request);

private:
    void ParseInput();
    void HandleFrame(const QByteArray &frame);
    void HandleLine(const QByteArray &line);
    void Reply(const QList<TSimBurst> &bursts, bool isFrame);
    void ReplyFrame(quint8 command, quint32 address, const QByteArray &data);
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
    QByteArray m_image;
    QVector<QByteArray> m_historyRecords;
    quint8 m_relayBits = 0;
    qint64 m_clockOffsetMs = 0;
    int m_rebootCount = 0;
    int m_ignoredPage = -1;
    bool m_echoesHead = true;
    QByteArray m_input;
    QVector<QByteArray> m_requests;
    QRandomGenerator m_random;
    QTimer *m_inputIdle = nullptr;
};
