#pragma once

#include "link/BasicProtocol_Unt.h"

// Password check (command 1): 4 password bytes, padded with 0x00.
class TPasswordProtocol : public TBasicProtocol
{
public:
    std::array<quint8, 4> Password{};

    // Copies the first four characters of the text into Password.
    void SetPasswordText(const QString &password);
    TDataPack PasswordRequest() const;
    // True when the reply is a valid frame whose first data byte is not 0;
    // a valid frame without data bytes counts as refused.
    bool PasswordAccepted(const QByteArray &reply) const;
};
