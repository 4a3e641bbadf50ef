#pragma once

#include <QObject>
#include <QStringList>

class QTimer;

// Tells the windows when devices come and go. On Windows this is the
// WM_DEVICECHANGE notice (any change, and "removal complete"), raised once
// from the event loop however many windows received it; elsewhere the
// list of serial ports is compared every pollMs milliseconds and a change in
// it counts as a device change (a port that disappeared as a removal).
class TDeviceWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TDeviceWatcher(QObject *parent = nullptr, int pollMs = 1500);
    ~TDeviceWatcher() override;

signals:
    void DevicesChanged();
    void DeviceRemoveComplete();

private:
    void Poll();
    // Windows: a WM_DEVICECHANGE arrived; RaiseNotedChange emits for all
    // notices noted since it last ran.
    void NoteNativeChange(bool removeComplete);
    void RaiseNotedChange();

    QTimer *m_poll = nullptr;
    QTimer *m_raise = nullptr;
    bool m_removalNoted = false;
    QStringList m_known;
    class NativeFilter;
    NativeFilter *m_native = nullptr;
};
