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
};

// The login exchange: the password check, then the version query, which
// must name a known model. Optionally the port is closed and opened again
// first, with the pauses the device needs around the opening.
class TLoginJob : public TDeviceJob
{
    Q_OBJECT
public:
    // Pause between opening the port and the first request, and between
    // closing and opening it again.
    static constexpr int PortSettleMs = 200;
    // Version replies asked for before the device counts as unidentified.
    static constexpr int VersionAsks = 3;

    enum class TFailure { None, OpenFailed, NoAnswer, Refused, Unidentified };

    TLoginJob(TDeviceSession *session, const QString &password, QObject *parent = nullptr);

    // Closes the session's port and opens portName again before the login.
    void SetReopen(const QString &portName) { m_reopenPort = portName; }

    TFailure Failure() const { return m_failure; }
    // The port's reason when the opening failed.
    const QString &OpenError() const { return m_openError; }
    const TDeviceIdentity &Identity() const { return m_identity; }

    // The model index of a model text; -1 for anything but K801, K802, K803.
    static int ModelIndexOf(const QString &model);

protected:
    bool RequiresOpenPort() const override { return m_reopenPort.isEmpty(); }
    void Begin() override;

private:
    void Reopen();
    void SendPassword();
    void AskVersion();
    void Fail(TFailure failure);

    QString m_password;
    QString m_reopenPort;
    QString m_openError;
    TFailure m_failure = TFailure::None;
    TDeviceIdentity m_identity;
    int m_versionAsks = 0;
};
