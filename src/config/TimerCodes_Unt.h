#pragma once

#include <QString>
#include <QStringList>

// The one mapping between the cells of the timer list and the codes of a
// device timer record: the day code (mode bits 3-0) and the action code
// (byte 3). The window's cells, the profile load, the configuration codec and
// the tests all go through here, so a code survives being shown, saved and
// written back, whatever the language, also when no list entry names it.
//
// The week list holds Sunday .. Saturday at positions 0 .. 6 and "every day"
// at position 7; the action list holds the actions 0 .. 10 at their codes.
namespace TimerCodes {

constexpr int NoCode = -1;            // an empty cell
constexpr int EveryDayCode = 15;      // what the device stores for every day
constexpr int EveryDayPosition = 7;   // where the week list shows every day
constexpr int MaxDayCode = 15;        // four bits of the mode byte
constexpr int MaxActionCode = 255;    // one byte

// Week-list position of a day code: 0 .. 6 themselves, 15 and 7 every day;
// -1 for any other code.
int DayPosition(int dayCode);
// Day code of a week-list position: 0 .. 6 themselves, 7 every day (15);
// -1 for any other position.
int DayCodeOfPosition(int position);

// The cell text of a code: the list entry that names it, or, for a code no
// entry names, its decimal number ("9", "255"), so it is seen and kept.
// NoCode (and any negative code) gives the empty text.
QString DayText(int dayCode, const QStringList &weekList);
QString ActionText(int actionCode, const QStringList &actionList);

// The code a cell text stands for in one language's list: NoCode for an
// empty cell; the entry equal to the text; a decimal number (as DayText
// writes an unnamed code) within 0 .. MaxDayCode or 0 .. MaxActionCode;
// the first entry that contains the text. NoCode when none of these fits.
int DayCodeOfText(const QString &text, const QStringList &weekList);
int ActionCodeOfText(const QString &text, const QStringList &actionList);

} // namespace TimerCodes
