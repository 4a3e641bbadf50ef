#pragma once

#include "history/HistoryGridModel_Unt.h"

#include <QDate>
#include <QList>
#include <QTime>

// The Search button of the history sheet: keeps the record rows whose date
// and time lie within a range, both ends included.
class THistoryFilter
{
public:
    // How a row's date and time cells read as a moment.
    enum class TRowTime {
        Skipped,   // empty date cell, or not six numbers: the row is dropped
        Invalid,   // six numbers that make no calendar date and time
        Valid,
    };

    struct TResult
    {
        bool ok = true;     // false: a row held an impossible date; the grid is unchanged
        int badRow = 0;     // that row (grid row number)
        int keptRows = 0;   // rows now in the grid from row 1 on

        explicit operator bool() const { return ok; }
    };

    // Reads the date cell ("y/m/d", y within the century) and the time cell
    // ("h:m:s"): colons, slashes and spaces separate, text that is not a
    // number counts as 0, the year is y + 2000, the millisecond 0.
    static TRowTime RecordTime(const QString &dateCell, const QString &timeCell, QDate *date,
                               QTime *time);

    // Begin and End are a date picker's date with a time picker's time
    // (milliseconds included). Rows that are kept move up, in their order,
    // to rows 1, 2, ...; the rest of the grid is cleared as by the Clear
    // button and column 0 keeps its numbers. When a row's date and time make
    // no valid moment, the filter stops there and changes nothing.
    static TResult Apply(THistoryGridModel &grid, const QDate &beginDate, const QTime &beginTime,
                         const QDate &endDate, const QTime &endTime);

    // Rows 1..lastRow whose moment is earlier than that of the row before
    // them (rows without a valid moment are passed over). A log is written in
    // time order, so such rows mean a page shown twice or in the wrong place,
    // or a device clock that was set back.
    static QList<int> RowsOutOfTimeOrder(const THistoryGridModel &grid, int lastRow);
};
