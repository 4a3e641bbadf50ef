#include "views/SettingsPanes_Frm.h"

#include "base/Const_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "look/ComponentEx.h"
#include "look/TabOrder_Unt.h"
#include "views/ViewContext_Unt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int kShortEditWidth = 80;
// The widest a pane's form grows: on a large screen its fields stay near
// their labels instead of moving to the far edge of the window.
constexpr int kFormMaxWidth = 1000;

template <typename T>
T *Named(QWidget *parent, const char *name)
{
    auto *control = new T(parent);
    ViewContext::NameWithCaption(control, name);
    return control;
}

TLabeledEdit *LabeledEdit(QWidget *group, const char *name, int maxLength,
                          TLabeledEdit::LabelPosition position = TLabeledEdit::LabelPosition::Left)
{
    auto *edit = new TLabeledEdit(group, position);
    ViewContext::NameWithCaption(edit, name);
    edit->setMaxLength(maxLength);
    return edit;
}

TLabeledEdit *ShortLabeledEdit(QWidget *group, const char *name, int maxLength,
                               TLabeledEdit::LabelPosition position = TLabeledEdit::LabelPosition::Left)
{
    TLabeledEdit *edit = LabeledEdit(group, name, maxLength, position);
    edit->edit()->setFixedWidth(kShortEditWidth);
    edit->label()->setWordWrap(true);
    return edit;
}

bool IsHexDigit(QChar key)
{
    return (key >= QLatin1Char('0') && key <= QLatin1Char('9')) || (key >= QLatin1Char('A') && key <= QLatin1Char('F'))
           || (key >= QLatin1Char('a') && key <= QLatin1Char('f'));
}

} // namespace

TSettingsPanes::TSettingsPanes(const TMainSheets &sheets, QObject *parent) : QObject(parent)
{
    BuildBasicPane(sheets.Sheet_Common);
    BuildPasswordPane(sheets.Sheet_Common);
    BuildClockPane(sheets.Sheet_Common);
    auto *commonLayout = new QGridLayout(sheets.Sheet_Common);
    commonLayout->addWidget(grp_BasicSeting, 0, 0, 1, 2);
    commonLayout->addWidget(grp_PasswordSeting, 1, 0);
    commonLayout->addWidget(grp_Slave_Function, 1, 1);
    commonLayout->setRowStretch(2, 1);
    // The groups grow up to the form's width; what is left stays empty on
    // the right.
    commonLayout->setColumnStretch(0, 1);
    commonLayout->setColumnStretch(1, 1);
    commonLayout->setColumnStretch(2, 1);
    grp_BasicSeting->setMaximumWidth(kFormMaxWidth);
    grp_PasswordSeting->setMaximumWidth(kFormMaxWidth / 2);
    grp_Slave_Function->setMaximumWidth(kFormMaxWidth / 2);

    BuildGprsPane(sheets.Sheet_InfoMode);
    auto *infoLayout = new QVBoxLayout(sheets.Sheet_InfoMode);
    grp_GPRS_BasicSeting->setMaximumWidth(kFormMaxWidth);
    auto *infoRow = new QHBoxLayout;
    infoRow->addWidget(grp_GPRS_BasicSeting, 1);
    infoRow->addStretch(0);
    infoLayout->addLayout(infoRow);
    infoLayout->addStretch();
    TabOrder::FollowLayout(sheets.Sheet_Common);
    TabOrder::FollowLayout(sheets.Sheet_InfoMode);

    connect(chk_ReportTime, &QCheckBox::toggled, this, &TSettingsPanes::chk_ReportTimeClick);
    connect(chk_PwrOffTime, &QCheckBox::toggled, this, &TSettingsPanes::chk_PwrOffTimeClick);
    connect(chk_SaveRecordInterSec, &QCheckBox::toggled, this, &TSettingsPanes::chk_SaveRecordInterSecClick);
    connect(chk_SmsReportInterMin, &QCheckBox::toggled, this, &TSettingsPanes::chk_SmsReportInterMinClick);
    connect(chk_AutoAlarmAfterDisarm, &QCheckBox::toggled, this, &TSettingsPanes::chk_AutoAlarmAfterDisarmClick);
    connect(chk_ShowPassword, &QCheckBox::toggled, this, &TSettingsPanes::chk_ShowPasswordClick);
    connect(CheckBox1, &QCheckBox::toggled, this, &TSettingsPanes::CheckBox1Click);
    lbledt_GprsRegDat->edit()->installEventFilter(this);
}

void TSettingsPanes::BuildBasicPane(QWidget *sheet)
{
    // Children in the order the profile walk stores them.
    grp_BasicSeting = Named<QGroupBox>(sheet, "grp_BasicSeting");
    QGroupBox *group = grp_BasicSeting;
    lbledt_Master_DevDes = LabeledEdit(group, "lbledt_Master_DevDes", 60);
    lbledt_DeviseID = ShortLabeledEdit(group, "lbledt_DeviseID", 5);
    chk_AddTimeToAlarmSMS = Named<TSkinCheckBox>(group, "chk_AddTimeToAlarmSMS");
    chk_Auto_Armed = Named<TSkinCheckBox>(group, "chk_Auto_Armed");
    chk_AutoAlarmAfterDisarm = Named<TSkinCheckBox>(group, "chk_AutoAlarmAfterDisarm");
    lbledt_AutoMintues = ShortLabeledEdit(group, "lbledt_AutoMintues", 4, TLabeledEdit::LabelPosition::Right);
    lbledt_PwrOffTime = ShortLabeledEdit(group, "lbledt_PwrOffTime", 5);
    dtp_RePortTime = new QTimeEdit(group);
    dtp_RePortTime->setObjectName(QStringLiteral("dtp_RePortTime"));
    dtp_RePortTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    lbledt_SaveRecordInterSec = ShortLabeledEdit(group, "lbledt_SaveRecordInterSec", 5);
    lbledt_SmsReportInterMin = ShortLabeledEdit(group, "lbledt_SmsReportInterMin", 5);
    chk_ReportTime = Named<TSkinCheckBox>(group, "chk_ReportTime");
    chk_PwrOffTime = Named<TSkinCheckBox>(group, "chk_PwrOffTime");
    chk_SaveRecordInterSec = Named<TSkinCheckBox>(group, "chk_SaveRecordInterSec");
    chk_SmsReportInterMin = Named<TSkinCheckBox>(group, "chk_SmsReportInterMin");
    sCheckBox1 = Named<TSkinCheckBox>(group, "sCheckBox1");

    dtp_RePortTime->setTime(QTime(0, 0));
    chk_PwrOffTime->setChecked(true);
    chk_ReportTime->setChecked(true);
    chk_SaveRecordInterSec->setChecked(true);
    chk_SmsReportInterMin->setChecked(true);
    chk_AutoAlarmAfterDisarm->setChecked(true);
    lbledt_AutoMintues->setText(QStringLiteral("0"));

    auto *layout = new QGridLayout(group);
    layout->addWidget(lbledt_DeviseID, 0, 0);
    layout->addWidget(lbledt_Master_DevDes, 0, 1, 1, 2);
    layout->addWidget(chk_Auto_Armed, 1, 0);
    layout->addWidget(chk_AddTimeToAlarmSMS, 1, 1, 1, 2);
    layout->addWidget(lbledt_PwrOffTime, 2, 0, 1, 2);
    layout->addWidget(chk_PwrOffTime, 2, 2);
    layout->addWidget(chk_ReportTime, 3, 0);
    layout->addWidget(dtp_RePortTime, 3, 1, Qt::AlignLeft);
    layout->addWidget(lbledt_SaveRecordInterSec, 4, 0, 1, 2);
    layout->addWidget(chk_SaveRecordInterSec, 4, 2);
    layout->addWidget(lbledt_SmsReportInterMin, 5, 0, 1, 2);
    layout->addWidget(chk_SmsReportInterMin, 5, 2);
    layout->addWidget(chk_AutoAlarmAfterDisarm, 6, 0);
    layout->addWidget(lbledt_AutoMintues, 6, 1, 1, 2);
    // A line of its own: beside the other boxes it would push the group
    // wider than the window.
    layout->addWidget(sCheckBox1, 7, 0, 1, 3);
    layout->setColumnStretch(1, 1);
}

void TSettingsPanes::BuildPasswordPane(QWidget *sheet)
{
    grp_PasswordSeting = Named<QGroupBox>(sheet, "grp_PasswordSeting");
    lbledt_Main_Password = ShortLabeledEdit(grp_PasswordSeting, "lbledt_Main_Password", 4);
    lbledt_Main_Password->setEchoMode(QLineEdit::Password);
    lbledt_Main_Password->setText(QString::fromLatin1(Const::DefaultPassword));
    chk_ShowPassword = Named<TSkinCheckBox>(grp_PasswordSeting, "chk_ShowPassword");
    btn_ChangePassword = Named<QPushButton>(grp_PasswordSeting, "btn_ChangePassword");

    auto *layout = new QGridLayout(grp_PasswordSeting);
    layout->addWidget(lbledt_Main_Password, 0, 0, 1, 2);
    layout->addWidget(chk_ShowPassword, 1, 0);
    layout->addWidget(btn_ChangePassword, 1, 1);
}

void TSettingsPanes::BuildClockPane(QWidget *sheet)
{
    grp_Slave_Function = Named<QGroupBox>(sheet, "grp_Slave_Function");
    dtpYMD = new QDateEdit(grp_Slave_Function);
    dtpYMD->setObjectName(QStringLiteral("dtpYMD"));
    dtpYMD->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpYMD->setCalendarPopup(true);
    dtpHMS = new QTimeEdit(grp_Slave_Function);
    dtpHMS->setObjectName(QStringLiteral("dtpHMS"));
    dtpHMS->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    btn_Main_Timer_Read = Named<QPushButton>(grp_Slave_Function, "btn_Main_Timer_Read");
    btn_Main_Timer_Write = Named<QPushButton>(grp_Slave_Function, "btn_Main_Timer_Write");
    btn_PC_Time = Named<QPushButton>(grp_Slave_Function, "btn_PC_Time");

    auto *layout = new QGridLayout(grp_Slave_Function);
    layout->addWidget(dtpYMD, 0, 0);
    layout->addWidget(dtpHMS, 0, 1);
    layout->addWidget(btn_PC_Time, 0, 2);
    layout->addWidget(btn_Main_Timer_Read, 1, 0);
    layout->addWidget(btn_Main_Timer_Write, 1, 1);
}

void TSettingsPanes::BuildGprsPane(QWidget *sheet)
{
    using Position = TLabeledEdit::LabelPosition;
    grp_GPRS_BasicSeting = Named<QGroupBox>(sheet, "grp_GPRS_BasicSeting");
    QGroupBox *group = grp_GPRS_BasicSeting;
    // Children in the order the profile walk stores them; the two plain
    // labels, which it does not store, come last.
    lbledt_AccessPontName = LabeledEdit(group, "lbledt_AccessPontName", 40, Position::Above);
    lbledt_GPRS_UserName = LabeledEdit(group, "lbledt_GPRS_UserName", 40, Position::Above);
    lbledt_GPRS_Password = LabeledEdit(group, "lbledt_GPRS_Password", 40, Position::Above);
    lbledt_HeartCont = LabeledEdit(group, "lbledt_HeartCont", 60, Position::Above);
    lbledt_GprsBeatHeart = LabeledEdit(group, "lbledt_GprsBeatHeart", 20, Position::Above);
    lbledt_GprsReconnSec = LabeledEdit(group, "lbledt_GprsReconnSec", 40, Position::Above);
    lbledt_TcpPort = LabeledEdit(group, "lbledt_TcpPort", 5, Position::Above);
    cbb_GPRSCommunication_Proctocol = new QComboBox(group);
    cbb_GPRSCommunication_Proctocol->setObjectName(QStringLiteral("cbb_GPRSCommunication_Proctocol"));
    cbb_GPRSCommunication_Proctocol->addItems(ConstLang::GprsProtocolItems(ConstLang::English));
    cbb_GPRSCommunication_Proctocol->setCurrentIndex(0);
    cbb_GPRS_TcpUdp = new QComboBox(group);
    cbb_GPRS_TcpUdp->setObjectName(QStringLiteral("cbb_GPRS_TcpUdp"));
    cbb_GPRS_TcpUdp->addItems({QStringLiteral("TCP"), QStringLiteral("UDP")});
    cbb_GPRS_TcpUdp->setCurrentIndex(0);
    lbledt_Gprs_IP = LabeledEdit(group, "lbledt_Gprs_IP", 60, Position::Above);
    lbledt_GprsRegDat = LabeledEdit(group, "lbledt_GprsRegDat", 100, Position::Above);
    CheckBox1 = Named<QCheckBox>(group, "CheckBox1");
    lbl_GPRSCommunication_Proctocol = Named<QLabel>(group, "lbl_GPRSCommunication_Proctocol");
    lbl_GPRS_Proctocol = Named<QLabel>(group, "lbl_GPRS_Proctocol");

    auto *layout = new QGridLayout(group);
    QWidget *const left[] = {lbl_GPRSCommunication_Proctocol, cbb_GPRSCommunication_Proctocol,
                             lbledt_AccessPontName, lbledt_GPRS_UserName, lbledt_GPRS_Password, lbledt_Gprs_IP};
    QWidget *const right[] = {lbl_GPRS_Proctocol, cbb_GPRS_TcpUdp, lbledt_HeartCont,
                              lbledt_GprsReconnSec, lbledt_GprsBeatHeart, lbledt_TcpPort};
    int line = 0;
    for (QWidget *control : left)
        layout->addWidget(control, line++, 0);
    line = 0;
    for (QWidget *control : right)
        layout->addWidget(control, line++, 1);
    layout->addWidget(lbledt_GprsRegDat, line, 0);
    layout->addWidget(CheckBox1, line, 1, Qt::AlignBottom);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    // Numbers take the room of their digits, not the column's width.
    for (TLabeledEdit *number : {lbledt_GprsBeatHeart, lbledt_GprsReconnSec, lbledt_TcpPort}) {
        number->edit()->setMaximumWidth(number->edit()->fontMetrics().horizontalAdvance(QStringLiteral("0000000"))
                                        + kShortEditWidth / 2);
    }
}

void TSettingsPanes::chk_ReportTimeClick()
{
    dtp_RePortTime->setEnabled(chk_ReportTime->isChecked());
}

void TSettingsPanes::chk_PwrOffTimeClick()
{
    lbledt_PwrOffTime->setEnabled(chk_PwrOffTime->isChecked());
}

void TSettingsPanes::chk_SaveRecordInterSecClick()
{
    lbledt_SaveRecordInterSec->setEnabled(chk_SaveRecordInterSec->isChecked());
}

void TSettingsPanes::chk_SmsReportInterMinClick()
{
    lbledt_SmsReportInterMin->setEnabled(chk_SmsReportInterMin->isChecked());
}

void TSettingsPanes::chk_AutoAlarmAfterDisarmClick()
{
    lbledt_AutoMintues->setEnabled(chk_AutoAlarmAfterDisarm->isChecked());
    lbledt_AutoMintues->setText(QStringLiteral("0"));
}

void TSettingsPanes::chk_ShowPasswordClick()
{
    lbledt_Main_Password->setEchoMode(chk_ShowPassword->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void TSettingsPanes::CheckBox1Click()
{
    lbledt_GprsRegDat->setText(QString());
}

bool TSettingsPanes::lbledt_GprsRegDatKeyPress(QKeyEvent *event)
{
    if (!CheckBox1->isChecked())
        return false;
    const bool backspace = event->key() == Qt::Key_Backspace;
    const QString typed = event->text();
    // Only typed characters pass through the filter: caret keys, Delete and
    // shortcuts such as paste keep their usual effect.
    if (!backspace && (typed.size() != 1 || !typed.at(0).isPrint()))
        return false;
    const bool keep = backspace || IsHexDigit(typed.at(0));
    QLineEdit *edit = lbledt_GprsRegDat->edit();
    const int length = edit->text().size();
    if (!backspace && length >= 2 && (length - 2) % 3 == 0)
        edit->setText(edit->text() + QLatin1Char(' '));
    edit->end(false);
    return !keep;
}

bool TSettingsPanes::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == lbledt_GprsRegDat->edit())
        return lbledt_GprsRegDatKeyPress(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}
