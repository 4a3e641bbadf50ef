#pragma once

#include "link/BasicProtocol_Unt.h"

#include <QString>

// Version query (command 5). The reply's data: model (bytes 0-7), version
// (8-15), IMEI (16-31), each ended early by 0x00, and the GSM signal (byte 32).
// Every decoder gives the empty text for a reply that is not a valid frame or
// is too short to hold its field.
class TVersionProtocol : public TBasicProtocol
{
public:
    TDataPack VersionRequest() const;
    QString ReplyModel(const QByteArray &reply) const;
    QString ReplyVersion(const QByteArray &reply) const;
    QString ReplyIMEI(const QByteArray &reply) const;
    QString ReplySignal(const QByteArray &reply) const;

private:
    QString FieldText(const QByteArray &reply, int first, int last) const;
};
