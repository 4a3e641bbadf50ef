#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The far end of the line when it is no local serial port: an in-process
// demo device or a connection to a network serial server. The port component
// (TComm) writes to it and takes what it raises exactly as it does with a
// serial port, so everything above the port works unchanged on either.
class TLinkEnd : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // What the PC writes, in order.
    virtual void ReceiveFromHost(const QByteArray &bytes) = 0;
    // The line rate the port was set to.
    virtual void setBaudRate(quint32 baud) = 0;
    // Why the line failed, in the user's words; empty when it gave no reason
    // (an adapter pulled) or has not failed.
    virtual QString FailureText() const { return {}; }

signals:
    // A slice of bytes as the line delivers them.
    void BytesToHost(const QByteArray &bytes);
    // The line broke: the port reports it lost.
    void LineFailed();
};
