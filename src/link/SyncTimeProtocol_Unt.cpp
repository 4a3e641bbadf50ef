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

int TSyncTimeProtocol::ReplyByte(const QByteArray &reply, int index) const
{
    const TDataPack data = GetData(reply);
    return index < data.size() ? quint8(data.at(index)) : -1;
}

QDate TSyncTimeProtocol::ReplyDate(const QByteArray &reply) const
{
    return QDate(2000 + ReplyByte(reply, 0), ReplyByte(reply, 1), ReplyByte(reply, 2));
}

QTime TSyncTimeProtocol::ReplyTime(const QByteArray &reply) const
{
    return QTime(ReplyByte(reply, 3), ReplyByte(reply, 4), ReplyByte(reply, 5));
}
