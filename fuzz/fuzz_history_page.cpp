// History page and record replies decoded into the grid, for every model.
#include "ReplyInput.h"

#include "history/SoftInterfaceHistory_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static THistoryGridModel *grid = [] {
        auto *made = new THistoryGridModel;
        TSoftHistory().InitGrid(*made);
        return made;
    }();
    if (size < 2)
        return 0;
    // Byte 0: model index (bits 0-1), quantity (bits 2-7); the rest the reply.
    const int modelIndex = data[0] & 3;
    const int quantity = 1 + (data[0] >> 2);
    const QByteArray reply = ReplyInput(data + 1, size - 1, TBasicProtocol::CmdReadMemory);

    TSoftHistory history;
    history.SetTexts(THistoryTexts::ForLanguage(data[1] & 1));
    history.SetValueColumns(*grid, modelIndex, data[1] & 1);
    history.BeginRead(*grid);
    const TSoftHistory::TPageResult page = history.ShowPage(*grid, reply, quantity, modelIndex);
    FUZZ_CHECK(page.rowsFilled <= page.recordsTaken && page.recordsTaken <= HistoryRecord::PerPage);
    FUZZ_CHECK(history.RecordCounter() <= quantity);
    FUZZ_CHECK(page.frameValid || page.rowsFilled == 0);
    history.ShowRecord(*grid, reply, 7, modelIndex);

    const TDataPack payload = TBasicProtocol().GetData(reply);
    for (int offset = 0; offset + HistoryRecord::Size <= payload.size(); offset += HistoryRecord::Size) {
        const QByteArrayView record(payload.constData() + offset, HistoryRecord::Size);
        if (!HistoryRecord::IsEmpty(record))
            FUZZ_CHECK(HistoryRecord::RowCells(record, modelIndex, history.Texts()).size()
                       == 7 + HistoryRecord::ValueColumnCount(modelIndex));
    }
    return 0;
}
