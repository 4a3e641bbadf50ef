// The Search button's date filter on arbitrary date and time cells.
#include "FuzzCheck.h"

#include "history/HistoryFilter_Unt.h"
#include "history/HistoryGridModel_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static THistoryGridModel *grid = new THistoryGridModel;
    // The input as UTF-8 text: lines of "date,time" cells for rows 1, 2, ...
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    const QStringList lines = text.split(u'\n');
    if (lines.size() > 64)
        return 0;
    grid->ClearDisplay();
    int row = 1;
    for (const QString &line : lines) {
        const int comma = line.indexOf(u',');
        const QString date = comma < 0 ? line : line.left(comma);
        const QString time = comma < 0 ? QString() : line.mid(comma + 1);
        QDate readDate;
        QTime readTime;
        const THistoryFilter::TRowTime read = THistoryFilter::RecordTime(date, time, &readDate, &readTime);
        FUZZ_CHECK(read != THistoryFilter::TRowTime::Valid || (readDate.isValid() && readTime.isValid()));
        grid->SetCells(row++, 1, QStringList{date, time});
    }
    const THistoryFilter::TResult result = THistoryFilter::Apply(
        *grid, QDate(2000, 1, 1), QTime(0, 0), QDate(2099, 12, 31), QTime(23, 59, 59, 999));
    FUZZ_CHECK(!result.ok || result.keptRows <= lines.size());
    FUZZ_CHECK(result.ok || (result.badRow >= 1 && result.badRow <= lines.size()));
    return 0;
}
