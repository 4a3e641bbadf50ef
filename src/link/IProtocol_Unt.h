#pragma once

#include <QByteArray>

// What every frame object offers to the code that only checks and logs
// traffic: the frame test, the checksum and the protocol log.
class IProtocol
{
public:
    virtual ~IProtocol() = default;
    virtual bool CheckFrame(const QByteArray &received) const = 0;
    virtual quint8 GetCheckSum(const QByteArray &bytes) const = 0;
    virtual void LogFrame(const QByteArray &bytes, int direction) const = 0;
};
