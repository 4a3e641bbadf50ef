#include "platform/DeviceWatcher_Unt.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>
#include <QThread>
#include <QTimer>

#include <utility>

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

// A device makes several nodes (tty, by-id link) one after the other.
constexpr int NodeSettleMs = 200;

} // namespace

QStringList TDeviceWatcher::CurrentPorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << info.systemLocation();
    names.sort();
    return names;
}

QStringList TDeviceWatcher::DefaultFolders()
{
    return {QStringLiteral("/dev"), QStringLiteral("/dev/serial/by-id")};
}

TDeviceWatcher::TDeviceWatcher(QObject *parent, int pollMs)
    : TDeviceWatcher(parent, pollMs, DefaultFolders(), &TDeviceWatcher::CurrentPorts)
{
}

TDeviceWatcher::TDeviceWatcher(QObject *parent, int pollMs, const QStringList &folders, TScan scan)
    : QObject(parent), m_scan(std::move(scan))
{
#ifdef Q_OS_WIN
    Q_UNUSED(pollMs);
    Q_UNUSED(folders);
    m_raise = new QTimer(this);
    m_raise->setSingleShot(true);
    m_raise->setInterval(0);
    connect(m_raise, &QTimer::timeout, this, &TDeviceWatcher::RaiseNotedChange);
    m_native = new NativeFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(m_native);
    StartScanner();
#else
    Start(pollMs, folders);
#endif
}

TDeviceWatcher::~TDeviceWatcher()
{
    if (m_native && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(m_native);
    delete m_native;
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
        delete m_scanner;
    }
}

void TDeviceWatcher::StartScanner()
{
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("port scan"));
    m_scanner = new QObject;
    m_scanner->moveToThread(m_thread);
    m_thread->start();
    m_scanning = true;
    TScan scan = m_scan;
    QMetaObject::invokeMethod(m_scanner, [this, scan] {
        const QStringList now = scan();
        QMetaObject::invokeMethod(this, [this, now] { TakePorts(now, true); }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void TDeviceWatcher::Start(int pollMs, const QStringList &folders)
{
    m_folders = new QFileSystemWatcher(this);
    for (const QString &folder : folders) {
        if (QFileInfo(folder).isDir())
            m_folders->addPath(folder);
    }
    // A folder that appears later (/dev/serial/by-id with the first USB
    // adapter) is watched from then on.
    connect(m_folders, &QFileSystemWatcher::directoryChanged, this, [this, folders] {
        for (const QString &folder : folders) {
            if (!m_folders->directories().contains(folder) && QFileInfo(folder).isDir())
                m_folders->addPath(folder);
        }
        NoteNodeChange();
    });
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(NodeSettleMs);
    connect(m_settle, &QTimer::timeout, this, &TDeviceWatcher::Scan);
    if (m_folders->directories().isEmpty()) {
        m_poll = new QTimer(this);
        connect(m_poll, &QTimer::timeout, this, &TDeviceWatcher::Scan);
        m_poll->start(pollMs);
    }
    StartScanner();
}

QStringList TDeviceWatcher::WatchedFolders() const
{
    return m_folders ? m_folders->directories() : QStringList();
}

void TDeviceWatcher::NoteNodeChange()
{
    m_settle->start();
}

void TDeviceWatcher::Scan()
{
    if (m_scanning) {
        m_scanAgain = true;
        return;
    }
    m_scanning = true;
    TScan scan = m_scan;
    QMetaObject::invokeMethod(m_scanner, [this, scan] {
        const QStringList now = scan();
        QMetaObject::invokeMethod(this, [this, now] { TakePorts(now, false); }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void TDeviceWatcher::TakePorts(const QStringList &now, bool first)
{
    m_scanning = false;
    if (std::exchange(m_scanAgain, false))
        Scan();
    // On Windows the system's notice has been raised already; the reading
    // only brings the list up to date.
    if (first || m_native) {
        if (first || now != m_known) {
            m_known = now;
            emit PortsRead(m_known);
        }
        return;
    }
    if (now == m_known)
        return;
    bool removed = false;
    for (const QString &name : m_known)
        removed = removed || !now.contains(name);
    m_known = now;
    emit PortsRead(m_known);
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
    // The port list follows the notice, read on the scanner's thread.
    Scan();
    emit DevicesChanged();
    if (removed)
        emit DeviceRemoveComplete();
}
