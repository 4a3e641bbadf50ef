#include "link/PasswordProtocol_Unt.h"

#include <QString>

void TPasswordProtocol::SetPasswordText(const QString &password)
{
    Password.fill(0);
    const QByteArray bytes = password.toLatin1();
    for (int index = 0; index < 4 && index < bytes.size(); ++index)
        Password[index] = quint8(bytes.at(index));
}

TDataPack TPasswordProtocol::PasswordRequest() const
{
    return BuildFrame(CmdPassword, IntToAddress(0),
                      QByteArray(reinterpret_cast<const char *>(Password.data()), 4));
}

bool TPasswordProtocol::PasswordAccepted(const QByteArray &reply) const
{
    if (!CheckFrame(reply))
        return false;
    const TDataPack data = GetData(reply);
    return !data.isEmpty() && data.at(0) != 0;
}
