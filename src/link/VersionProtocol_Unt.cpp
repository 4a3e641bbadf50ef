#include "link/VersionProtocol_Unt.h"

TDataPack TVersionProtocol::VersionRequest() const
{
    return BuildFrame(CmdVersion, IntToAddress(0), QByteArray(1, '\0'));
}

QString TVersionProtocol::FieldText(const QByteArray &reply, int first, int last) const
{
    if (!CheckFrame(reply))
        return {};
    const TDataPack field = GetData(reply).mid(first, last - first + 1);
    const int end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end));
}

QString TVersionProtocol::ReplyModel(const QByteArray &reply) const
{
    return FieldText(reply, 0, 7);
}

QString TVersionProtocol::ReplyVersion(const QByteArray &reply) const
{
    return FieldText(reply, 8, 15);
}

QString TVersionProtocol::ReplyIMEI(const QByteArray &reply) const
{
    return FieldText(reply, 16, 31);
}

QString TVersionProtocol::ReplySignal(const QByteArray &reply) const
{
    if (!CheckFrame(reply))
        return {};
    const TDataPack data = GetData(reply);
    if (data.size() < 33)
        return {};
    return QString::number(quint8(data.at(32)));
}
