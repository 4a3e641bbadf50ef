#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// The seam through which the port component reaches an in-process device
// instead of a serial port: a "demo:<model>" port name opens whatever the
// installed factory makes for that model. The application installs the
// simulated logger's factory at start; without one, demo names do not open.
class TDemoDevice : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // What the PC writes, in order.
    virtual void ReceiveFromHost(const QByteArray &bytes) = 0;
    // The line rate the port was set to; replies are paced at it.
    virtual void setBaudRate(quint32 baud) = 0;

signals:
    // A slice of reply bytes as the line delivers them.
    void BytesToHost(const QByteArray &bytes);
    // The line broke (the adapter was pulled): the port reports it lost.
    void LineFailed();
};

namespace DemoDevices {

// Makes the device of a model text ("K802"), or null for an unknown model.
using TFactory = std::function<TDemoDevice *(const QString &model, QObject *parent)>;

// The application's one factory; replaces any earlier one.
void Install(TFactory factory);
TDemoDevice *Create(const QString &model, QObject *parent);

} // namespace DemoDevices
