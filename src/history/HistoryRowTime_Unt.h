#pragma once

#include <QChar>
#include <QHash>
#include <QStringView>

#include <optional>

// Reading the date and time cells of history grid rows ("17/6/5",
// "9:5:0") as the PC's local time, for the chart and the report alike.
namespace HistoryRowTime {

// Three decimal numbers joined by separator, e.g. "17/6/5" or "9:5:0";
// false for anything else (blanks around the whole are ignored).
bool ThreeNumbers(QStringView text, QChar separator, int numbers[3]);

// Local times of many rows: the start of each hour is converted once, since
// a change of the clock (summer time) falls on a full hour.
class TLocalTimes
{
public:
    // Milliseconds since the epoch of that local time; nothing for a date or
    // time that does not exist.
    std::optional<qint64> MSecs(int year, int month, int day, int hour, int minute, int second);

private:
    QHash<qint64, qint64> m_hours;
};

} // namespace HistoryRowTime
