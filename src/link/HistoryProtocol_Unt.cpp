#include "link/HistoryProtocol_Unt.h"

TDataPack THistoryProtocol::HistoryPageRequest(int page) const
{
    return BuildFrame(CmdReadMemory, IntToAddress(HistoryPageAddress(page)));
}

TDataPack THistoryProtocol::HistoryRecordRequest(int record) const
{
    return BuildFrame(CmdReadMemory, IntToAddress(HistoryRecordAddress(record)));
}

TDataPack THistoryProtocol::ClearHistoryRequest() const
{
    return BuildFrame(CmdClearHistory, IntToAddress(0));
}
