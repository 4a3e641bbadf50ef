#pragma once

#include "views/ViewContext_Unt.h"

#include <QDialog>

class QPushButton;
class TLabeledEdit;
class TSkinCheckBox;

// Modal editor of one lvTh row, titled with the row's channel caption. It
// loads the row when it is created, shows the texts of the current language
// and writes the row back only on OK.
class TFormThSetting : public QDialog
{
    Q_OBJECT
public:
    TFormThSetting(QTreeWidget *lvTh, int rowIndex, QWidget *parent = nullptr);

    QString ChannelCaption() const { return m_channelCaption; }

    TLabeledEdit *lbledt_Th_ChannelName = nullptr;
    TLabeledEdit *lbledt_Th_AlarmVerify = nullptr;
    TLabeledEdit *lbledt_Th_ThresholdHigh = nullptr;
    TLabeledEdit *lbledt_Th_ThresholdLow = nullptr;
    TLabeledEdit *lbledt_Th_ThresholdHighSMS = nullptr;
    TLabeledEdit *lbledt_Th_ThresholdLowSMS = nullptr;
    TLabeledEdit *lbledt_Th_RecoverySMS = nullptr;
    TSkinCheckBox *chk_Th_Enable = nullptr;
    TSkinCheckBox *chk_Th_RecoveryAlarm = nullptr;
    TSkinCheckBox *chk_Th_AlarmLinkDO1 = nullptr;
    TSkinCheckBox *chk_Th_AlarmLinkDO2 = nullptr;
    QPushButton *btn_Th_Default = nullptr;
    QPushButton *btn_Th_OK = nullptr;
    QPushButton *btn_Th_NO = nullptr;

    // Fills the fields with the channel's defaults (by model and by whether the
    // caption names a humidity channel); the row changes only on OK.
    void btn_Th_DefaultClick();
    void btn_Th_OKClick();
    void btn_Th_NOClick();

private:
    void FormShow();
    void LoadThEditor();
    void SaveThEditor();

    TEditedRow m_row;
    QString m_channelCaption;
};
