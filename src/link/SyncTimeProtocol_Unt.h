#pragma once

#include "link/BasicProtocol_Unt.h"

#include <QDate>
#include <QTime>

// Device clock: set (command 3) with year-2000, month, day, hour, minute, 0
// (seconds are never sent), and read (command 8).
class TSyncTimeProtocol : public TBasicProtocol
{
public:
    std::array<quint8, 6> ClockData{};

    void SetClock(quint8 yearSince2000, quint8 month, quint8 day, quint8 hour, quint8 minute);
    TDataPack SetClockRequest() const;
    TDataPack ReadClockRequest() const;

    // The clock reply's data: year-2000, month, day, hour, minute, second.
    // The date of bytes 0-2 and the time of bytes 3-5; invalid when the bytes
    // are missing or make no calendar date or time of day.
    QDate ReplyDate(const QByteArray &reply) const;
    QTime ReplyTime(const QByteArray &reply) const;

private:
    // Data byte index of the reply, or -1 when the reply is shorter.
    int ReplyByte(const QByteArray &reply, int index) const;
};
