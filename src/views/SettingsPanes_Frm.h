#pragma once

#include "views/MainSheets.h"

#include <QObject>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QTimeEdit;
class TLabeledEdit;
class TSkinCheckBox;

// The scalar settings panes: basic settings, device password and device time
// on Sheet_Common, GPRS settings on Sheet_InfoMode. Every control is a direct
// child of its group, created in the order the profile walk stores them, and
// carries its objectName and English caption. The check boxes' handlers are
// connected to toggled, so they run on every change of state, from a click or
// from code (configuration read, blanking, profile load), and never when the
// state stays the same.
class TSettingsPanes : public QObject
{
    Q_OBJECT
public:
    TSettingsPanes(const TMainSheets &sheets, QObject *parent = nullptr);

    // Sheet_Common: basic settings.
    QGroupBox *grp_BasicSeting = nullptr;
    TLabeledEdit *lbledt_Master_DevDes = nullptr;
    TLabeledEdit *lbledt_DeviseID = nullptr;
    TSkinCheckBox *chk_AddTimeToAlarmSMS = nullptr;
    TSkinCheckBox *chk_Auto_Armed = nullptr;
    TSkinCheckBox *chk_AutoAlarmAfterDisarm = nullptr;
    TLabeledEdit *lbledt_AutoMintues = nullptr;
    TLabeledEdit *lbledt_PwrOffTime = nullptr;
    QTimeEdit *dtp_RePortTime = nullptr;
    TLabeledEdit *lbledt_SaveRecordInterSec = nullptr;
    TLabeledEdit *lbledt_SmsReportInterMin = nullptr;
    TSkinCheckBox *chk_ReportTime = nullptr;
    TSkinCheckBox *chk_PwrOffTime = nullptr;
    TSkinCheckBox *chk_SaveRecordInterSec = nullptr;
    TSkinCheckBox *chk_SmsReportInterMin = nullptr;
    TSkinCheckBox *sCheckBox1 = nullptr;
    // Sheet_Common: device password.
    QGroupBox *grp_PasswordSeting = nullptr;
    TLabeledEdit *lbledt_Main_Password = nullptr;
    TSkinCheckBox *chk_ShowPassword = nullptr;
    QPushButton *btn_ChangePassword = nullptr;
    // Sheet_Common: device clock (the main window connects the buttons).
    QGroupBox *grp_Slave_Function = nullptr;
    QPushButton *btn_Main_Timer_Read = nullptr;
    QPushButton *btn_Main_Timer_Write = nullptr;
    QPushButton *btn_PC_Time = nullptr;
    QDateEdit *dtpYMD = nullptr;
    QTimeEdit *dtpHMS = nullptr;
    // Sheet_InfoMode: GPRS settings.
    QGroupBox *grp_GPRS_BasicSeting = nullptr;
    TLabeledEdit *lbledt_AccessPontName = nullptr;
    TLabeledEdit *lbledt_GPRS_UserName = nullptr;
    TLabeledEdit *lbledt_GPRS_Password = nullptr;
    TLabeledEdit *lbledt_HeartCont = nullptr;
    TLabeledEdit *lbledt_GprsBeatHeart = nullptr;
    TLabeledEdit *lbledt_GprsReconnSec = nullptr;
    TLabeledEdit *lbledt_TcpPort = nullptr;
    QComboBox *cbb_GPRSCommunication_Proctocol = nullptr;
    QComboBox *cbb_GPRS_TcpUdp = nullptr;
    TLabeledEdit *lbledt_Gprs_IP = nullptr;
    TLabeledEdit *lbledt_GprsRegDat = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QLabel *lbl_GPRSCommunication_Proctocol = nullptr;
    QLabel *lbl_GPRS_Proctocol = nullptr;

public slots:
    void chk_ReportTimeClick();
    void chk_PwrOffTimeClick();
    void chk_SaveRecordInterSecClick();
    void chk_SmsReportInterMinClick();
    // Enables the delay edit with the box and sets it to "0" on every change.
    void chk_AutoAlarmAfterDisarmClick();
    void chk_ShowPasswordClick();
    // Empties the login message on every change of mode.
    void CheckBox1Click();

public:
    // Hex-mode filter of the login message, run for every character typed
    // into it before the character is inserted; true when the key is dropped.
    bool lbledt_GprsRegDatKeyPress(QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildBasicPane(QWidget *sheet);
    void BuildPasswordPane(QWidget *sheet);
    void BuildClockPane(QWidget *sheet);
    void BuildGprsPane(QWidget *sheet);
};
