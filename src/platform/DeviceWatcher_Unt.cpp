#include "platform/DeviceWatcher_Unt.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSerialPortInfo>
#include <QTimer>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <dbt.h>
#endif

// Windows sends WM_DEVICECHANGE to every top-level window of the program, and
// sends it: the sender waits until the window procedure returns. The notice
// is therefore only noted here and raised once, from the event loop, so a
// question shown for it neither appears once per window nor holds up the
// system's broadcast.
class TDeviceWatcher::NativeFilter : public QAbstractNativeEventFilter
{
public:
    explicit NativeFilter(TDeviceWatcher *owner) : m_owner(owner) {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
#ifdef Q_OS_WIN
        if (eventType == "windows_generic_MSG") {
            const MSG *msg = static_cast<const MSG *>(message);
            if (msg->message == WM_DEVICECHANGE)
                m_owner->NoteNativeChange(msg->wParam == DBT_DEVICEREMOVECOMPLETE);
        }
#else
        Q_UNUSED(eventType);
        Q_UNUSED(message);
        Q_UNUSED(m_owner);
#endif
        return false;
    }

private:
    TDeviceWatcher *m_owner;
};

namespace {

QStringList CurrentPorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << info.systemLocation();
    names.sort();
    return names;
}

} // namespace

TDeviceWatcher::TDeviceWatcher(QObject *parent, int pollMs) : QObject(parent)
{
#ifdef Q_OS_WIN
    Q_UNUSED(pollMs);
    m_raise = new QTimer(this);
    m_raise->setSingleShot(true);
    m_raise->setInterval(0);
    connect(m_raise, &QTimer::timeout, this, &TDeviceWatcher::RaiseNotedChange);
    m_native = new NativeFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(m_native);
#else
    m_known = CurrentPorts();
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &TDeviceWatcher::Poll);
    m_poll->start(pollMs);
#endif
}

TDeviceWatcher::~TDeviceWatcher()
{
    if (m_native && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_native);
    delete m_native;
}

void TDeviceWatcher::Poll()
{
    const QStringList now = CurrentPorts();
    if (now == m_known)
        return;
    bool removed = false;
    for (const QString &name : m_known)
        removed = removed || !now.contains(name);
    m_known = now;
    emit DevicesChanged();
    if (removed)
        emit DeviceRemoveComplete();
}

void TDeviceWatcher::NoteNativeChange(bool removeComplete)
{
    m_removalNoted = m_removalNoted || removeComplete;
    if (m_raise)
        m_raise->start();
}

void TDeviceWatcher::RaiseNotedChange()
{
    const bool removed = m_removalNoted;
    m_removalNoted = false;
    emit DevicesChanged();
    if (removed)
        emit DeviceRemoveComplete();
}
