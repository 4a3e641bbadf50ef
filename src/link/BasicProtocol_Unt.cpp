#include "link/BasicProtocol_Unt.h"

#include "link/FrameLog_Unt.h"

bool TBasicProtocol::CheckFrame(const QByteArray &received) const
{
    const int length = received.size();
    if (length < 2 || quint8(received.at(0)) != StartByte)
        return false;
    // The sum starts from byte 1, so "#" followed by a single byte compares
    // that byte with itself and passes.
    const quint8 sum = length == 2 ? quint8(received.at(1))
                                   : GetCheckSum(received.mid(1, length - 2));
    return sum == quint8(received.at(length - 1));
}

bool TBasicProtocol::IsWholeFrame(const QByteArray &received) const
{
    return received.size() > HeadSize && received.size() == HeadSize + GetDataLength(received) + 1
        && CheckFrame(received);
}

quint8 TBasicProtocol::GetCheckSum(const QByteArray &bytes) const
{
    quint8 sum = 0;
    for (char byte : bytes)
        sum ^= quint8(byte);
    return sum;
}

int TBasicProtocol::GetDataLength(const QByteArray &received) const
{
    if (received.size() < HeadSize + 1)
        return 0;
    return quint8(received.at(6)) * 256 + quint8(received.at(7));
}

TDataPack TBasicProtocol::GetData(const QByteArray &received) const
{
    if (received.size() <= HeadSize)
        return {};
    return received.mid(HeadSize, GetDataLength(received));
}

TDataPack TBasicProtocol::BytesToPack(const char *buffer, quint16 count) const
{
    return TDataPack(buffer, count);
}

TAddress TBasicProtocol::IntToAddress(quint32 value) const
{
    return {quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)};
}

TDataPack TBasicProtocol::BuildFrame(quint8 command, const TAddress &address,
                                     const QByteArray &data) const
{
    QByteArray body;
    body.reserve(HeadSize - 1 + data.size());
    body.append(char(command));
    for (quint8 byte : address)
        body.append(char(byte));
    body.append(char((data.size() >> 8) & 0xFF));
    body.append(char(data.size() & 0xFF));
    body.append(data);

    TDataPack frame;
    frame.reserve(body.size() + 2);
    frame.append(char(StartByte));
    frame.append(body);
    frame.append(char(GetCheckSum(body)));
    return frame;
}

TDataPack TBasicProtocol::SlicePack(const TDataPack &data, int index, int size) const
{
    const qsizetype start = qsizetype(index) * size;
    if (index < 0 || size <= 0 || start >= data.size())
        return {};
    return data.mid(start, size);
}

TDataPack TBasicProtocol::FillPage(const TDataPack &source, quint8 filler) const
{
    TDataPack page(PageSize, char(filler));
    const qsizetype count = qMin<qsizetype>(source.size(), PageSize);
    for (qsizetype index = 0; index < count; ++index)
        page[index] = source.at(index);
    return page;
}

void TBasicProtocol::LogFrame(const QByteArray &bytes, int direction) const
{
    TFrameLog::instance().log(bytes, direction);
}
