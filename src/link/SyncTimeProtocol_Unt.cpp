#include "link/SyncTimeProtocol_Unt.h"

void TSyncTimeProtocol::SetClock(quint8 yearSince2000, quint8 month, quint8 day, quint8 hour,
                                 quint8 minute)
{
    ClockData = {yearSince2000, month, day, hour, minute, 0};
}

TDataPack TSyncTimeProtocol::SetClockRequest() const
{
    return BuildFrame(CmdSetClock, IntToAddress(0),
                      QByteArray(reinterpret_cast<const char *>(ClockData.data()), 6));
}

TDataPack TSyncTimeProtocol::ReadClockRequest() const
{
    return BuildFrame(CmdReadClock, IntToAddress(0));
}
