#include "history/HistoryChartData_Unt.h"

#include "history/HistoryRowTime_Unt.h"
#include "history/HistoryGridModel_Unt.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int DateColumn = 1;
constexpr int TimeColumn = 2;
constexpr int FirstValueColumn = 8;
constexpr int FieldsBeforeValues = FirstValueColumn - 1;

} // namespace

THistoryChartData THistoryChartData::FromGrid(const THistoryGridModel &grid, int modelIndex,
                                              const QVector<TChartChannelInfo> &channels)
{
    THistoryChartData data;
    const int lastRow = grid.LastFilledRow();
    int valueColumns = 0;
    for (int row = 1; row <= lastRow; ++row)
        valueColumns = qMax(valueColumns, grid.FieldCount(row) - FieldsBeforeValues);
    valueColumns = qMin(valueColumns, grid.ColCount() - FirstValueColumn);

    for (int index = 0; index < valueColumns; ++index) {
        TChartSeries series;
        series.column = FirstValueColumn + index;
        const TChartChannelInfo info = channels.value(index);
        series.name = info.name.isEmpty() ? grid.Cell(series.column, 0) : info.name;
        series.humidity = modelIndex != 2 && index % 2 == 1;
        series.high = info.high;
        series.low = info.low;
        data.series.append(series);
    }

    const QLocale numbers = QLocale::c();
    HistoryRowTime::TLocalTimes times;
    QVector<double> values(valueColumns);
    QVector<bool> present(valueColumns);
    bool any = false;
    for (int row = 1; row <= lastRow; ++row) {
        if (grid.FieldCount(row) == 0)
            continue;
        int date[3];
        int time[3];
        std::optional<qint64> x;
        if (HistoryRowTime::ThreeNumbers(grid.CellView(DateColumn, row), u'/', date)
            && HistoryRowTime::ThreeNumbers(grid.CellView(TimeColumn, row), u':', time))
            x = times.MSecs(2000 + date[0], date[1], date[2], time[0], time[1], time[2]);
        bool readable = x.has_value();
        for (int index = 0; readable && index < valueColumns; ++index) {
            const QStringView cell = grid.CellView(FirstValueColumn + index, row).trimmed();
            present[index] = !cell.isEmpty();
            if (present[index])
                values[index] = numbers.toDouble(cell, &readable);
        }
        if (!readable) {
            ++data.rowsSkipped;
            continue;
        }
        ++data.rowsUsed;
        const double at = double(*x);
        if (!any || at < data.firstX)
            data.firstX = at;
        if (!any || at > data.lastX)
            data.lastX = at;
        any = true;
        for (int index = 0; index < valueColumns; ++index) {
            if (present[index])
                data.series[index].points.append(QPointF(at, values[index]));
        }
    }
    return data;
}

QVector<QPointF> THistoryChartData::Downsample(const QVector<QPointF> &points, int maxPoints)
{
    if (maxPoints < 2 || points.size() <= maxPoints)
        return points;
    const int buckets = maxPoints / 2;
    QVector<QPointF> shown;
    shown.reserve(buckets * 2);
    const qsizetype count = points.size();
    for (int bucket = 0; bucket < buckets; ++bucket) {
        const qsizetype begin = count * bucket / buckets;
        const qsizetype end = count * (bucket + 1) / buckets;
        if (begin >= end)
            continue;
        qsizetype lowest = begin;
        qsizetype highest = begin;
        for (qsizetype index = begin + 1; index < end; ++index) {
            if (points[index].y() < points[lowest].y())
                lowest = index;
            if (points[index].y() > points[highest].y())
                highest = index;
        }
        shown.append(points[qMin(lowest, highest)]);
        if (lowest != highest)
            shown.append(points[qMax(lowest, highest)]);
    }
    return shown;
}
