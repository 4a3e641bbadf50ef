#include "history/HistoryRowTime_Unt.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace HistoryRowTime {

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

std::optional<qint64> TLocalTimes::MSecs(int year, int month, int day, int hour, int minute, int second)
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

} // namespace HistoryRowTime
