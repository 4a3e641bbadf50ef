#pragma once

#include "link/BasicProtocol_Unt.h"

// History log reads (command 131) by page (four 64-byte records from 0x4000)
// or by record (record 1 at 0x4000), and the log erase (command 133).
class THistoryProtocol : public TBasicProtocol
{
public:
    TDataPack HistoryPageRequest(int page) const;
    TDataPack HistoryRecordRequest(int record) const;
    TDataPack ClearHistoryRequest() const;
};
