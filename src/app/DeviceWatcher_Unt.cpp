#include "app/DeviceWatcher_Unt.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSerialPortInfo>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#include <dbt.h>
#endif

class TDeviceWatcher::NativeFilter : public QAbstractNativeEventFilter
{
public:
    explicit NativeFilter(TDeviceWatcher *owner) : m_owner(owner) {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
#ifdef Q_OS_WIN
        if (eventType == "windows_generic_MSG") {
            const MSG *msg = static_cast<const MSG *>(message);
            if (msg->message == WM_DEVICECHANGE) {
                emit m_owner->DevicesChanged();
                if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
                    emit m_owner->DeviceRemoveComplete();
            }
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
