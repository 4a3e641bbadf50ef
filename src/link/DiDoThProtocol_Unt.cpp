#include "link/DiDoThProtocol_Unt.h"

TDataPack TDiDoThProtocol::ValuesRequest(quint8 selector) const
{
    return BuildFrame(CmdValues, IntToAddress(selector));
}
