#include "config/TimerCodes_Unt.h"

#include "base/Funs_Unt.h"

namespace TimerCodes {

namespace {

// A code written as its plain decimal number, without sign or leading zeros.
int CodeOfNumber(const QString &text, int maxCode)
{
    const TNumber number = ParseDecimal(text);
    if (!number.Ok() || number.Value < 0 || number.Value > maxCode
        || QString::number(number.Value) != text)
        return NoCode;
    return int(number.Value);
}

int PositionContaining(const QString &text, const QStringList &list)
{
    for (int position = 0; position < list.size(); ++position) {
        if (list.at(position).contains(text, Qt::CaseSensitive))
            return position;
    }
    return -1;
}

} // namespace

int DayPosition(int dayCode)
{
    if (dayCode == EveryDayCode || dayCode == EveryDayPosition)
        return EveryDayPosition;
    return dayCode >= 0 && dayCode < EveryDayPosition ? dayCode : -1;
}

int DayCodeOfPosition(int position)
{
    if (position == EveryDayPosition)
        return EveryDayCode;
    return position >= 0 && position < EveryDayPosition ? position : NoCode;
}

QString DayText(int dayCode, const QStringList &weekList)
{
    if (dayCode < 0)
        return QString();
    const int position = DayPosition(dayCode);
    if (position >= 0 && position < weekList.size())
        return weekList.at(position);
    return QString::number(dayCode);
}

QString ActionText(int actionCode, const QStringList &actionList)
{
    if (actionCode < 0)
        return QString();
    if (actionCode < actionList.size())
        return actionList.at(actionCode);
    return QString::number(actionCode);
}

int DayCodeOfText(const QString &text, const QStringList &weekList)
{
    if (text.isEmpty())
        return NoCode;
    const int exact = int(weekList.indexOf(text));
    if (exact >= 0)
        return DayCodeOfPosition(exact);
    const int number = CodeOfNumber(text, MaxDayCode);
    if (number != NoCode)
        return number;
    const int containing = PositionContaining(text, weekList);
    return containing >= 0 ? DayCodeOfPosition(containing) : NoCode;
}

int ActionCodeOfText(const QString &text, const QStringList &actionList)
{
    if (text.isEmpty())
        return NoCode;
    const int exact = int(actionList.indexOf(text));
    if (exact >= 0)
        return exact;
    const int number = CodeOfNumber(text, MaxActionCode);
    if (number != NoCode)
        return number;
    return PositionContaining(text, actionList);
}

} // namespace TimerCodes
