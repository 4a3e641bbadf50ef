#pragma once

#include "views/ViewContext_Unt.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TSkinCheckBox;

// Modal editor of one lvTimer row: enable box and four drop-down lists (week,
// hour, minute, action). It loads the row when it is created, in the current
// language, and writes texts and codes back only on OK.
class TFormTimerSetting : public QDialog
{
    Q_OBJECT
public:
    TFormTimerSetting(QTreeWidget *lvTimer, int rowIndex, QWidget *parent = nullptr);

    QComboBox *cbb_TimerWeek = nullptr;
    QComboBox *cbb_TimerHour = nullptr;
    QComboBox *cbb_TimerMinute = nullptr;
    QComboBox *cbb_TimerAction = nullptr;
    QLabel *lbl_Timer_Week = nullptr;
    QLabel *lbl_TimerHour = nullptr;
    QLabel *lbl_TimerMinute = nullptr;
    QLabel *lbl_TimerAction = nullptr;
    TSkinCheckBox *chk_Timer_Enable = nullptr;
    QPushButton *btn_OK = nullptr;
    QPushButton *btn_NO = nullptr;

    void btn_OKClick();
    void btn_NOClick();

private:
    void FormShow();
    void LoadTimerEditor();
    void SaveTimerEditor();

    TEditedRow m_row;
    int m_language;
};
