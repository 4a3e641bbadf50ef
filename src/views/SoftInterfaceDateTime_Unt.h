#pragma once

#include "config/TimerCodes_Unt.h"
#include "views/BaseSoftInterface_Unt.h"

#include <QPointer>

class QTreeWidget;

// The ten timers in lvTimer: row i is the device's timer i, captioned two
// spaces and i + 1; sub-item 0 enabled (tick), 1 day, 2 hour, 3 minute,
// 4 action, each an entry of its choice list.
//
// Day and action cells keep the device codes beside their texts: the day
// code (0 Sunday .. 6 Saturday, 15 every day, or whatever else the device
// stored) and the action code (0 .. 10, or whatever else the device stored)
// are kept with the cell, so a row shows the current language after
// RetranslateTimerRows and always encodes to the codes it was set to. Texts
// and codes are mapped by TimerCodes; a code no entry names shows as its
// number. A cell whose text was set without a code (a profile load, for
// instance) is read by looking its text up in both languages' lists.
class TSoftDateTime : public TBaseSoftInterface
{
    Q_OBJECT
public:
    static constexpr int TimerColumns = 6;
    static constexpr int TimerRows = 10;
    static constexpr int EnableSubItem = 0;
    static constexpr int DaySubItem = 1;
    static constexpr int HourSubItem = 2;
    static constexpr int MinuteSubItem = 3;
    static constexpr int ActionSubItem = 4;
    static constexpr int EverydayPosition = TimerCodes::EveryDayPosition;
    static constexpr int ActionCount = 11;

    explicit TSoftDateTime(QObject *parent = nullptr);

    // The list view with its columns and pop-up menu pmTimer, as a child of sheet.
    static QTreeWidget *CreateTimerView(QWidget *sheet);
    void BindView(QTreeWidget *lvTimer);
    void BuildTimerRows(QTreeWidget *lvTimer) const;

    // Fills the action and week lists with the texts of language.
    static void BuildTimerLists(int language);
    // The choice lists: action list (position = action code) and week list
    // (position = day position) of the last BuildTimerLists; hour list "0" ..
    // "23" and minute list "0" .. "59".
    static const QStringList &ActionList();
    static const QStringList &WeekList();
    static const QStringList &HourList();
    static const QStringList &MinuteList();

    // Writes the day cell in language with its day code; a negative code
    // (TimerCodes::NoCode) leaves the cell empty and without a code.
    static void SetTimerDay(QTreeWidgetItem *row, int dayCode, int language);
    // Writes the action cell in language with its action code; a negative
    // code leaves the cell empty and without a code.
    static void SetTimerAction(QTreeWidgetItem *row, int actionCode, int language);
    // The day code the row encodes to: the stored code while the cell still
    // shows that code's text (in either language), otherwise the text read
    // by TimerCodes in the current language, then the other one; -1 for an
    // empty cell or a text neither reads.
    static int TimerDay(const QTreeWidgetItem *row);
    // The action code the row encodes to, found the same way; -1 when none.
    static int TimerAction(const QTreeWidgetItem *row);
    // Shows every row's day and action in language, keeping their codes.
    // Cells that hold no code and match no entry are left as they are.
    static void RetranslateTimerRows(QTreeWidget *lvTimer, int language);

public slots:
    void Pop_Timer_SettingClick();
    void lvTimerDblClick();
    void Pop_Timer_DeleteClick();
    void Pop_Timer_ClearClick();

private:
    QPointer<QTreeWidget> m_lvTimer;
};
