#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QFileSystemWatcher;
class QThread;
class QTimer;

// Tells the windows when devices come and go. On Windows this is the
// WM_DEVICECHANGE notice (any change, and "removal complete"), raised once
// from the event loop however many windows received it. Elsewhere the
// system's notice that a device node came or went in /dev (or
// /dev/serial/by-id) makes the list of serial ports be read again, on a
// thread of the watcher's own: reading it can take tens of milliseconds,
// which the window's thread must not spend while a job talks to a device. A
// change in the list counts as a device change (a port that disappeared as
// a removal). Only where no folder can be watched is the list read every
// pollMs milliseconds, on that thread too. An idle window therefore does
// nothing until a device node changes.
class TDeviceWatcher : public QObject
{
    Q_OBJECT
public:
    // The serial ports now (their system locations, sorted).
    using TScan = std::function<QStringList()>;

    explicit TDeviceWatcher(QObject *parent = nullptr, int pollMs = 1500);
    // folders: where device nodes appear; scan: how the ports are read.
    TDeviceWatcher(QObject *parent, int pollMs, const QStringList &folders, TScan scan);
    ~TDeviceWatcher() override;

    // The folders the watcher is told about; empty when it polls.
    QStringList WatchedFolders() const;
    static QStringList DefaultFolders();
    static QStringList CurrentPorts();
    // The ports of the last reading (empty until the first one is in):
    // windows list these instead of reading the ports themselves.
    const QStringList &Ports() const { return m_known; }

signals:
    void DevicesChanged();
    // A reading of the ports is in: the first one, and each that differs.
    void PortsRead(const QStringList &ports);
    void DeviceRemoveComplete();

private:
    void Start(int pollMs, const QStringList &folders);
    void StartScanner();
    // A device node changed: the ports are read again once the burst of
    // changes a device makes has passed.
    void NoteNodeChange();
    void Scan();
    void TakePorts(const QStringList &now, bool first);
    // Windows: a WM_DEVICECHANGE arrived; RaiseNotedChange emits for all
    // notices noted since it last ran.
    void NoteNativeChange(bool removeComplete);
    void RaiseNotedChange();

    TScan m_scan;
    QTimer *m_poll = nullptr;
    QTimer *m_raise = nullptr;
    QTimer *m_settle = nullptr;
    QFileSystemWatcher *m_folders = nullptr;
    QThread *m_thread = nullptr;
    QObject *m_scanner = nullptr;
    bool m_scanning = false;
    bool m_scanAgain = false;
    bool m_removalNoted = false;
    QStringList m_known;
    class NativeFilter;
    NativeFilter *m_native = nullptr;
};
