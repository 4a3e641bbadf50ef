#include "link/MasterProtocol_Unt.h"

TDataPack TMasterProtocol::ConfigReadRequest(quint8 page) const
{
    return BuildFrame(CmdReadMemory, IntToAddress(PageAddress(page)));
}

TDataPack TMasterProtocol::ConfigWriteRequest(quint8 page, const QByteArray &data) const
{
    return BuildFrame(CmdWriteMemory, IntToAddress(PageAddress(page)), data);
}
