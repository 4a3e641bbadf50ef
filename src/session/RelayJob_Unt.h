#pragma once

#include "session/DeviceJob_Unt.h"

#include <QByteArray>

// Switches a relay: the relay line, the pause the device needs to act on it,
// then the relay state. Failed means the line went out but no valid state
// came back, so the relay's state is unknown.
class TRelayJob : public TDeviceJob
{
    Q_OBJECT
public:
    static constexpr int SwitchPauseMs = 500;

    // keyword: DOO1, DOC1, DOO2 or DOC2.
    TRelayJob(TDeviceSession *session, const char *keyword, QObject *parent = nullptr);

    // The current-values frame that came after the switch; empty on failure.
    const QByteArray &StatusFrame() const { return m_status; }
    // DOO1, DOC1, DOO2 or DOC2.
    const QByteArray &Keyword() const { return m_keyword; }

protected:
    void Begin() override;

private:
    QByteArray m_keyword;
    QByteArray m_status;
};
