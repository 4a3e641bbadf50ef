#include "history/HistoryChartData_Unt.h"

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

// Three decimal numbers joined by separator, e.g. "17/6/5" or "9:5:0".
bool ThreeNumbers(QStringView text, QChar separator, int numbers[3])
{
    int part = 0;
    int value = 0;
    bool digits = false;
    for (const QChar character : text.trimmed()) {
        if (character == separator) {
            if (!digits || part == 2)
                return false;
            numbers[part++] = value;
            value = 0;
            digits = false;
        } else if (character >= u'0' && character <= u'9') {
            value = value * 10 + (character.unicode() - u'0');
            if (value > 100000)
                return false;
            digits = true;
        } else {
            return false;
        }
    }
    if (!digits || part != 2)
        return false;
    numbers[2] = value;
    return true;
}

// Local times of many rows: the start of each hour is converted once, since
// a change of the clock (summer time) falls on a full hour.
class TTimeCache
{
public:
    std::optional<qint64> MSecs(int year, int month, int day, int hour, int minute, int second)
    {
        const QDate date(year, month, day);
        const QTime time(hour, minute, second);
        if (!date.isValid() || !time.isValid())
            return std::nullopt;
        const qint64 key = date.toJulianDay() * 24 + hour;
        auto found = m_hours.constFind(key);
        if (found == m_hours.constEnd())
            found = m_hours.insert(key, QDateTime(date, QTime(hour, 0)).toMSecsSinceEpoch());
        return *found + (minute * 60 + second) * qint64(1000);
    }

private:
    QHash<qint64, qint64> m_hours;
};

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
    TTimeCache times;
    QVector<double> values(valueColumns);
    QVector<bool> present(valueColumns);
    bool any = false;
    for (int row = 1; row <= lastRow; ++row) {
        if (grid.FieldCount(row) == 0)
            continue;
        int date[3];
        int time[3];
        std::optional<qint64> x;
        if (ThreeNumbers(grid.CellView(DateColumn, row), u'/', date)
            && ThreeNumbers(grid.CellView(TimeColumn, row), u':', time))
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
