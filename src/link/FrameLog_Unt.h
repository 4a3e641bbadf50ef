#pragma once

#include <QObject>

// The protocol log: every frame sent and every chunk received passes here.
// Recording is off until the debug window switches it on; while off, a frame
// costs one test of a flag. One per process, owned by the application.
class TFrameLog : public QObject
{
    Q_OBJECT
public:
    static TFrameLog &instance();

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    // direction 0 = sent by the program, 1 = received from the device
    void log(const QByteArray &bytes, int direction);

signals:
    void frameLogged(const QByteArray &bytes, int direction);

private:
    TFrameLog() = default;
    bool m_enabled = false;
};
