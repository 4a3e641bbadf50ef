#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>

class QTimer;

// A simulated K801/K802/K803 logger on a byte stream. Feed it what the PC
// writes (ReceiveFromHost); it answers through BytesToHost. Every reply is
// one burst: after LatencyMs its bytes come out in slices paced at the baud
// rate (10 bits per byte), never with a gap of 100 ms or more inside, unless
// a fault knob asks for a split.
class TDeviceSimulator : public QObject
{
    Q_OBJECT
public:
    enum class Model { K801, K802, K803 };
    static constexpr int ImageSize = 3646;

    explicit TDeviceSimulator(Model model = Model::K802, QObject *parent = nullptr);
    ~TDeviceSimulator() override;

    // "K801" / "K802" / "K803" (any case) → model; false for other texts.
    static bool ModelFromText(const QString &text, Model *model);
    static QString ModelText(Model model);

    Model model() const { return m_model; }

    // Line and timing.
    void setBaudRate(quint32 baud) { m_baudRate = baud; }
    quint32 baudRate() const { return m_baudRate; }
    void setLatencyMs(int ms) { m_latencyMs = ms; }
    int latencyMs() const { return m_latencyMs; }

    // Device state.
    QString password() const { return m_password; }          // default "5937"
    void setPassword(const QString &password) { m_password = password; }
    QByteArray configImage() const { return m_image; }        // 3646 bytes
    void setConfigImage(const QByteArray &image);
    static QByteArray FactoryImage(Model model);
    int historyRecordCount() const { return m_historyRecords.size(); }
    // Regenerates the log: count records, one every intervalSeconds, the last near now.
    void setHistoryRecordCount(int count, int intervalSeconds = 600);
    QByteArray historyRecord(int index) const;                // 64 bytes, index 0 = record 1
    quint8 relayBits() const { return m_relayBits; }          // bit0 DO1, bit1 DO2, 1 = closed
    QDateTime deviceClock() const;
    int rebootCount() const { return m_rebootCount; }

    // Fault knobs; each applies to the next n replies (or requests).
    void dropReplies(int n) { m_dropReplies = n; }            // no answer at all
    void corruptChecksums(int n) { m_corruptReplies = n; }    // last byte flipped
    void splitReplies(int n, int pauseMs = 150) { m_splitReplies = n; m_splitPauseMs = pauseMs; }
    void delayReplies(int n, int extraMs) { m_delayReplies = n; m_delayExtraMs = extraMs; }
    // Sends bytes the PC did not ask for, as one burst, now.
    void sendGarbage(const QByteArray &bytes);

    // Requests seen so far (complete frames and text lines), for tests.
    QVector<QByteArray> requestLog() const { return m_requests; }

public slots:
    void ReceiveFromHost(const QByteArray &bytes);

signals:
    // A slice of reply bytes as the line delivers them.
    void BytesToHost(const QByteArray &bytes);

private:
    // implementation in DeviceSimulator_Unt.cpp
    Model m_model;
    quint32 m_baudRate = 115200;
    int m_latencyMs = 5;
    QString m_password = QStringLiteral("5937");
    QByteArray m_image;
    QVector<QByteArray> m_historyRecords;
    quint8 m_relayBits = 0;
    qint64 m_clockOffsetSecs = 0;
    int m_rebootCount = 0;
    int m_dropReplies = 0;
    int m_corruptReplies = 0;
    int m_splitReplies = 0;
    int m_splitPauseMs = 150;
    int m_delayReplies = 0;
    int m_delayExtraMs = 0;
    QByteArray m_input;
    QVector<QByteArray> m_requests;
    QTimer *m_pacer = nullptr;
    QByteArray m_outQueue;
    friend class TDeviceSimulatorPrivate;
};
