#pragma once

#include "base/Const_Unt.h"
#include "session/DeviceJob_Unt.h"

#include <QByteArray>
#include <QDateTime>

// The short device actions, each one request (or two) as a job, so that the
// claim on the session covers them and their end is told like any other's.

// Reads the device clock. Failed as ClockUnreadable when no answer comes or
// the answer holds no date and time.
class TClockReadJob : public TDeviceJob
{
    Q_OBJECT
public:
    explicit TClockReadJob(TDeviceSession *session, QObject *parent = nullptr);

    QDateTime Clock() const { return QDateTime(m_date, m_time); }

protected:
    void Begin() override;

private:
    QDate m_date;
    QTime m_time;
};

// Sets the device clock to a minute (the device starts it at 0 seconds).
class TClockWriteJob : public TDeviceJob
{
    Q_OBJECT
public:
    TClockWriteJob(TDeviceSession *session, const QDateTime &when, QObject *parent = nullptr);

protected:
    void Begin() override;

private:
    QDateTime m_when;
};

// Asks for the current values once: the relay states or the sensor values
// (kind), which the same frame carries.
class TCurrentValuesJob : public TDeviceJob
{
    Q_OBJECT
public:
    TCurrentValuesJob(TDeviceSession *session, Const::TExpectedReply kind, QObject *parent = nullptr);

    Const::TExpectedReply Kind() const { return m_kind; }
    const QByteArray &Frame() const { return m_frame; }

protected:
    void Begin() override;

private:
    Const::TExpectedReply m_kind;
    QByteArray m_frame;
};

// A system text line carrying the device password: REBOOT is done once it
// is written (the device restarts without a word), RESET when the device
// answers it.
class TTextLineJob : public TDeviceJob
{
    Q_OBJECT
public:
    TTextLineJob(TDeviceSession *session, const QString &password, const char *keyword, QObject *parent = nullptr);

    bool IsReboot() const { return m_keyword == "REBOOT"; }

protected:
    void Begin() override;

private:
    QString m_password;
    QByteArray m_keyword;
};

// Reads one history record by its number (counted from 1). Failed as
// RecordMissing when it does not come; an empty record is Done, and the
// caller tells it apart by the bytes.
class THistoryRecordJob : public TDeviceJob
{
    Q_OBJECT
public:
    THistoryRecordJob(TDeviceSession *session, int number, QObject *parent = nullptr);

    int Number() const { return m_number; }
    // The whole reply frame, and its data bytes.
    const QByteArray &Frame() const { return m_frame; }
    const QByteArray &Payload() const { return m_payload; }

protected:
    void Begin() override;

private:
    int m_number;
    QByteArray m_frame;
    QByteArray m_payload;
};
