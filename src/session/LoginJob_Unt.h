#pragma once

#include "session/DeviceJob_Unt.h"

#include <QString>

// What the version reply tells of the device.
struct TDeviceIdentity
{
    int modelIndex = -1; // 0 K801, 1 K802, 2 K803
    QString model;
    QString version;
    QString imei;
    QString signal;

    bool operator==(const TDeviceIdentity &other) const
    {
        return modelIndex == other.modelIndex && model == other.model && version == other.version
            && imei == other.imei && signal == other.signal;
    }
    bool operator!=(const TDeviceIdentity &other) const { return !(*this == other); }
};

// The login exchange: the password check, then the version query, which
// must name a known model. Optionally the port is closed and opened again
// first, with the pauses the device needs around the opening.
class TLoginJob : public TDeviceJob
{
    Q_OBJECT
public:
    // Version replies asked for before the device counts as unidentified.
    static constexpr int VersionAsks = 3;

    // The pauses and the patience of the password exchange.
    struct TPacing
    {
        // Pause between opening the port and the first request, and between
        // closing and opening it again.
        int settleMs = 200;
        // Time allowed for the password reply, and its sends; 0: the
        // request's own.
        int passwordTimeoutMs = 0;
        int passwordAttempts = 0;
    };
    // The main window's: the request's own time-out and attempts.
    static TPacing SessionPacing() { return {}; }
    // The login window's: 100 ms after the opening, one send, five seconds.
    static TPacing LoginWindowPacing() { return {100, 5000, 1}; }

    // Steps, for the failure record.
    enum TStep { StepOpen, StepPassword, StepVersion };

    TLoginJob(TDeviceSession *session, const QString &password, QObject *parent = nullptr);

    // Opens portName before the login (closing the session's port first
    // when it is open).
    void SetReopen(const QString &portName) { m_reopenPort = portName; }
    void SetPacing(const TPacing &pacing) { m_pacing = pacing; }

    const QString &Password() const { return m_password; }
    // The port opened before the login (empty: the session's open one).
    const QString &PortName() const { return m_reopenPort; }
    const TDeviceIdentity &Identity() const { return m_identity; }

protected:
    bool RequiresOpenPort() const override { return m_reopenPort.isEmpty(); }
    void Begin() override;

private:
    void Reopen();
    void SendPassword();
    void AskVersion();

    QString m_password;
    QString m_reopenPort;
    TPacing m_pacing;
    TDeviceIdentity m_identity;
    int m_versionAsks = 0;
};
