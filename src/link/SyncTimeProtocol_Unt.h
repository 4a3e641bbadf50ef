#pragma once

#include "link/BasicProtocol_Unt.h"

// Device clock: set (command 3) with year-2000, month, day, hour, minute, 0
// (seconds are never sent), and read (command 8).
class TSyncTimeProtocol : public TBasicProtocol
{
public:
    std::array<quint8, 6> ClockData{};

    void SetClock(quint8 yearSince2000, quint8 month, quint8 day, quint8 hour, quint8 minute);
    TDataPack SetClockRequest() const;
    TDataPack ReadClockRequest() const;
};
