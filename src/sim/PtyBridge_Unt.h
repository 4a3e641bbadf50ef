#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;
class TDeviceSimulator;

// Puts a simulated logger on a pseudo-terminal (Unix only): a program that
// opens slavePath() as a serial port talks to the simulator. What the program
// writes reaches TDeviceSimulator::ReceiveFromHost; BytesToHost goes back to
// the program. The bridge keeps the slave side open itself, so the line stays
// up while programs open and close it.
class TPtyBridge : public QObject
{
    Q_OBJECT
public:
    // The device must outlive the bridge.
    explicit TPtyBridge(TDeviceSimulator *device, QObject *parent = nullptr);
    ~TPtyBridge() override;

    // Opens a new pseudo-terminal pair in raw mode. False, with errorString()
    // saying why, when it cannot; true at once when already open.
    [[nodiscard]] bool open();
    bool isOpen() const { return m_master >= 0; }
    // The path a program opens, e.g. "/dev/pts/5"; empty when not open.
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }

    // Closes both sides, as if the adapter were pulled: a program that has
    // the slave open sees the line hang up. Nothing happens when closed.
    void closeMaster();

signals:
    // The bridge closed the line after a read or write error it cannot recover from.
    void lineLost(const QString &reason);

private:
    void ReadMaster();
    void WriteMaster(const QByteArray &bytes);
    void FlushPending();
    void Fail(const QString &reason);

    TDeviceSimulator *m_device;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer *m_retryTimer = nullptr;
    QByteArray m_pending;
};
