#pragma once

#include "link/LinkEnd_Unt.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// The seam through which the port component reaches an in-process device
// instead of a serial port: a "demo:<model>" port name opens whatever the
// installed factory makes for that model. The application installs the
// simulated logger's factory at start; without one, demo names do not open.
// Replies are paced at the rate given to setBaudRate; LineFailed stands for
// a pulled adapter.
class TDemoDevice : public TLinkEnd
{
    Q_OBJECT
public:
    using TLinkEnd::TLinkEnd;
};

namespace DemoDevices {

// Makes the device of a model text ("K802"), or null for an unknown model.
using TFactory = std::function<TDemoDevice *(const QString &model, QObject *parent)>;

// The application's one factory; replaces any earlier one.
void Install(TFactory factory);
TDemoDevice *Create(const QString &model, QObject *parent);

} // namespace DemoDevices
