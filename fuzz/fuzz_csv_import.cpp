// CSV import on arbitrary file bytes: the refusals, the GBK decoding, the
// line and field splitting into the history grid, and the export of what
// was imported read back to the same rows.
#include "FuzzCheck.h"

#include "history/HistoryCsv_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static THistoryGridModel *grid = [] {
        auto *made = new THistoryGridModel;
        TSoftHistory().InitGrid(*made);
        return made;
    }();
    const QString before = grid->Cell(1, 1);
    const THistoryCsv::TResult result = THistoryCsv::ImportBytes(*grid, FuzzBytes(data, size));
    if (!result) {
        // A refused file leaves the grid as it was.
        FUZZ_CHECK(grid->Cell(1, 1) == before);
        FUZZ_CHECK(!result.TextKey().isEmpty());
        return 0;
    }
    FUZZ_CHECK(result.lines >= 1 && result.lines <= THistoryGridModel::RecordRowCount);
    FUZZ_CHECK(grid->FieldCount(1) <= grid->ColCount() - 1);

    // Fields split from a line and joined again split to the same fields.
    const QStringList fields = grid->RowFields(1);
    FUZZ_CHECK(THistoryCsv::SplitLine(THistoryCsv::JoinLine(fields)) == fields
               || fields.isEmpty());
    return 0;
}
