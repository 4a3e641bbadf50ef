#pragma once

#include "link/BasicProtocol_Unt.h"

// Configuration pages: read (command 131) and write (command 130) of the
// 256-byte page at page x 256.
class TMasterProtocol : public TBasicProtocol
{
public:
    TDataPack ConfigReadRequest(quint8 page) const;
    TDataPack ConfigWriteRequest(quint8 page, const QByteArray &data) const;
};
