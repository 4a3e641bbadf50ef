#include "history/HistoryFilter_Unt.h"

#include "base/Funs_Unt.h"
#include "history/HistoryCsv_Unt.h"

#include <QDateTime>

#include <utility>

namespace {

using TMoment = std::pair<QDate, QTime>;

// Moments compare by date, then time; no time zone plays a part, so a
// record time in a daylight-saving gap compares like any other.
bool Within(const TMoment &moment, const TMoment &begin, const TMoment &end)
{
    return !(moment < begin) && !(end < moment);
}

qint64 NumberOrZero(const QString &field)
{
    const TNumber number = ParseDecimal(field);
    return number.Ok() ? number.Value : 0;
}

} // namespace

THistoryFilter::TRowTime THistoryFilter::RecordTime(const QString &dateCell, const QString &timeCell,
                                                    QDate *date, QTime *time)
{
    const QString trimmedDate = dateCell.trimmed();
    if (trimmedDate.isEmpty())
        return TRowTime::Skipped;
    QString joined = trimmedDate + u',' + timeCell.trimmed();
    for (QChar &character : joined) {
        if (character == u':' || character == u'/' || character == u' ')
            character = u',';
    }
    const QStringList fields = THistoryCsv::SplitLine(joined.trimmed());
    if (fields.size() != 6)
        return TRowTime::Skipped;

    qint64 numbers[6];
    for (int index = 0; index < 6; ++index)
        numbers[index] = NumberOrZero(fields.at(index));
    // Years 1 to 9999 are the calendar's range; anything else is no date.
    // The cell is checked before 2000 is added, so that a number near the
    // end of the 64-bit range cannot overflow.
    constexpr qint64 FirstYear = 1 - 2000;
    constexpr qint64 LastYear = 9999 - 2000;
    if (numbers[0] < FirstYear || numbers[0] > LastYear)
        return TRowTime::Invalid;
    const qint64 year = numbers[0] + 2000;
    for (int index = 1; index < 6; ++index) {
        if (numbers[index] < 0 || numbers[index] > 99)
            return TRowTime::Invalid;
    }
    if (!QDate::isValid(int(year), int(numbers[1]), int(numbers[2]))
        || !QTime::isValid(int(numbers[3]), int(numbers[4]), int(numbers[5])))
        return TRowTime::Invalid;
    *date = QDate(int(year), int(numbers[1]), int(numbers[2]));
    *time = QTime(int(numbers[3]), int(numbers[4]), int(numbers[5]));
    return TRowTime::Valid;
}

THistoryFilter::TResult THistoryFilter::Apply(THistoryGridModel &grid, const QDate &beginDate,
                                              const QTime &beginTime, const QDate &endDate,
                                              const QTime &endTime)
{
    const TMoment begin{beginDate, beginTime};
    const TMoment end{endDate, endTime};
    TResult result;
    std::vector<int> kept;
    const int lastRow = grid.LastFilledRow();
    for (int row = 1; row <= lastRow; ++row) {
        QDate date;
        QTime time;
        if (grid.CellView(1, row).trimmed().isEmpty())
            continue;
        switch (RecordTime(grid.Cell(1, row), grid.Cell(2, row), &date, &time)) {
        case TRowTime::Skipped:
            continue;
        case TRowTime::Invalid:
            result.ok = false;
            result.badRow = row;
            return result;
        case TRowTime::Valid:
            break;
        }
        if (Within({date, time}, begin, end))
            kept.push_back(row);
    }

    result.keptRows = int(kept.size());
    grid.KeepRecordRows(kept);
    return result;
}

QList<int> THistoryFilter::RowsOutOfTimeOrder(const THistoryGridModel &grid, int lastRow)
{
    QList<int> rows;
    QDateTime previous;
    for (int row = 1; row <= lastRow; ++row) {
        QDate date;
        QTime time;
        if (RecordTime(grid.Cell(1, row), grid.Cell(2, row), &date, &time) != TRowTime::Valid)
            continue;
        const QDateTime moment(date, time);
        if (previous.isValid() && moment < previous)
            rows << row;
        previous = moment;
    }
    return rows;
}
