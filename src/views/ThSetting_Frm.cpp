#include "views/ThSetting_Frm.h"

#include "look/ComponentEx.h"
#include "views/BaseSoftInterface_Unt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

TLabeledEdit *ChannelField(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new TLabeledEdit(parent, TLabeledEdit::LabelPosition::Above);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    edit->edit()->setMinimumWidth(300);
    return edit;
}

} // namespace

TFormThSetting::TFormThSetting(QTreeWidget *lvTh, int rowIndex, QWidget *parent)
    : QDialog(parent), m_row(lvTh, rowIndex)
{
    setObjectName(QStringLiteral("FormThSetting"));
    if (const QTreeWidgetItem *row = m_row.Row())
        m_channelCaption = row->text(0);

    lbledt_Th_ChannelName = ChannelField(this, "lbledt_Th_ChannelName", 40);
    lbledt_Th_AlarmVerify = ChannelField(this, "lbledt_Th_AlarmVerify", 40);
    lbledt_Th_ThresholdHigh = ChannelField(this, "lbledt_Th_ThresholdHigh", 5);
    lbledt_Th_ThresholdLow = ChannelField(this, "lbledt_Th_ThresholdLow", 5);
    lbledt_Th_ThresholdHighSMS = ChannelField(this, "lbledt_Th_ThresholdHighSMS", 40);
    lbledt_Th_ThresholdLowSMS = ChannelField(this, "lbledt_Th_ThresholdLowSMS", 40);
    lbledt_Th_RecoverySMS = ChannelField(this, "lbledt_Th_RecoverySMS", 40);
    chk_Th_Enable = TSkinCheckBox::Named(this, "chk_Th_Enable");
    chk_Th_RecoveryAlarm = TSkinCheckBox::Named(this, "chk_Th_RecoveryAlarm");
    chk_Th_AlarmLinkDO1 = TSkinCheckBox::Named(this, "chk_Th_AlarmLinkDO1");
    chk_Th_AlarmLinkDO2 = TSkinCheckBox::Named(this, "chk_Th_AlarmLinkDO2");
    btn_Th_Default = new QPushButton(this);
    btn_Th_Default->setObjectName(QStringLiteral("btn_Th_Default"));
    btn_Th_OK = new QPushButton(this);
    btn_Th_OK->setObjectName(QStringLiteral("btn_Th_OK"));
    btn_Th_OK->setDefault(true);
    btn_Th_NO = new QPushButton(this);
    btn_Th_NO->setObjectName(QStringLiteral("btn_Th_NO"));

    auto *boxes = new QHBoxLayout;
    for (QWidget *box : {static_cast<QWidget *>(chk_Th_Enable), static_cast<QWidget *>(chk_Th_RecoveryAlarm),
                         static_cast<QWidget *>(chk_Th_AlarmLinkDO1), static_cast<QWidget *>(chk_Th_AlarmLinkDO2)})
        boxes->addWidget(box);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btn_Th_Default);
    buttons->addStretch();
    buttons->addWidget(btn_Th_OK);
    buttons->addWidget(btn_Th_NO);
    auto *layout = new QGridLayout(this);
    layout->addWidget(lbledt_Th_ChannelName, 0, 0);
    layout->addWidget(lbledt_Th_AlarmVerify, 0, 1);
    layout->addWidget(lbledt_Th_ThresholdHigh, 1, 0);
    layout->addWidget(lbledt_Th_ThresholdLow, 1, 1);
    layout->addWidget(lbledt_Th_ThresholdHighSMS, 2, 0);
    layout->addWidget(lbledt_Th_ThresholdLowSMS, 2, 1);
    layout->addWidget(lbledt_Th_RecoverySMS, 3, 0);
    layout->addLayout(boxes, 4, 0, 1, 2);
    layout->addLayout(buttons, 5, 0, 1, 2);
    ViewContext::PrepareEditorWindow(this);

    connect(btn_Th_Default, &QPushButton::clicked, this, &TFormThSetting::btn_Th_DefaultClick);
    connect(btn_Th_OK, &QPushButton::clicked, this, &TFormThSetting::btn_Th_OKClick);
    connect(btn_Th_NO, &QPushButton::clicked, this, &TFormThSetting::btn_Th_NOClick);
    FormShow();
}

void TFormThSetting::FormShow()
{
    LoadThEditor();
    const int language = ViewContext::CurrentLanguage();
    const int model = ViewContext::CurrentModelIndex();
    setWindowTitle(m_channelCaption);
    lbledt_Th_ChannelName->setLabelText(ViewContext::Text("TxtThChannelName"));
    lbledt_Th_AlarmVerify->setLabelText(ViewContext::Text("TxtThVerify"));
    if (const auto high = ConstLang::ThresholdText(true, model, language))
        lbledt_Th_ThresholdHigh->setLabelText(*high);
    if (const auto low = ConstLang::ThresholdText(false, model, language))
        lbledt_Th_ThresholdLow->setLabelText(*low);
    lbledt_Th_ThresholdHighSMS->setLabelText(ViewContext::Text("TxtThHighSms"));
    lbledt_Th_ThresholdLowSMS->setLabelText(ViewContext::Text("TxtThLowSms"));
    lbledt_Th_RecoverySMS->setLabelText(ViewContext::Text("TxtThRecoverySms"));
    chk_Th_Enable->setText(ViewContext::Text("TxtThEnable"));
    chk_Th_RecoveryAlarm->setText(ViewContext::Text("TxtThRecoveryAlarm"));
    chk_Th_AlarmLinkDO1->setText(ViewContext::Text("TxtThLinkDo1"));
    chk_Th_AlarmLinkDO2->setText(ViewContext::Text("TxtThLinkDo2"));
    btn_Th_Default->setText(ViewContext::Text("TxtThDefault"));
    btn_Th_OK->setText(ViewContext::Text("TxtThOk"));
    btn_Th_NO->setText(ViewContext::Text("TxtCancel"));
}

void TFormThSetting::LoadThEditor()
{
    const QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    using Base = TBaseSoftInterface;
    lbledt_Th_ChannelName->setText(Base::SubItem(row, 0));
    chk_Th_Enable->setChecked(Base::IsTicked(Base::SubItem(row, 2)));
    lbledt_Th_AlarmVerify->setText(Base::SubItem(row, 3));
    lbledt_Th_ThresholdHigh->setText(Base::SubItem(row, 4));
    lbledt_Th_ThresholdLow->setText(Base::SubItem(row, 5));
    lbledt_Th_ThresholdHighSMS->setText(Base::SubItem(row, 6));
    lbledt_Th_ThresholdLowSMS->setText(Base::SubItem(row, 7));
    lbledt_Th_RecoverySMS->setText(Base::SubItem(row, 8));
    chk_Th_RecoveryAlarm->setChecked(Base::IsTicked(Base::SubItem(row, 9)));
    chk_Th_AlarmLinkDO1->setChecked(Base::IsTicked(Base::SubItem(row, 10)));
    chk_Th_AlarmLinkDO2->setChecked(Base::IsTicked(Base::SubItem(row, 11)));
}

void TFormThSetting::SaveThEditor()
{
    QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    using Base = TBaseSoftInterface;
    Base::SetSubItem(row, 0, lbledt_Th_ChannelName->text());
    Base::SetSubItem(row, 2, Base::TickText(chk_Th_Enable->isChecked()));
    Base::SetSubItem(row, 3, lbledt_Th_AlarmVerify->text());
    Base::SetSubItem(row, 4, lbledt_Th_ThresholdHigh->text());
    Base::SetSubItem(row, 5, lbledt_Th_ThresholdLow->text());
    Base::SetSubItem(row, 6, lbledt_Th_ThresholdHighSMS->text());
    Base::SetSubItem(row, 7, lbledt_Th_ThresholdLowSMS->text());
    Base::SetSubItem(row, 8, lbledt_Th_RecoverySMS->text());
    Base::SetSubItem(row, 9, Base::TickText(chk_Th_RecoveryAlarm->isChecked()));
    Base::SetSubItem(row, 10, Base::TickText(chk_Th_AlarmLinkDO1->isChecked()));
    Base::SetSubItem(row, 11, Base::TickText(chk_Th_AlarmLinkDO2->isChecked()));
}

void TFormThSetting::btn_Th_DefaultClick()
{
    lbledt_Th_ChannelName->setText(m_channelCaption);
    lbledt_Th_AlarmVerify->setText(QStringLiteral("2"));
    const bool wideTemperature = ViewContext::CurrentModelIndex() == 2;
    lbledt_Th_ThresholdHigh->setText(wideTemperature ? QStringLiteral("125") : QStringLiteral("80"));
    lbledt_Th_ThresholdLow->setText(wideTemperature ? QStringLiteral("-55") : QStringLiteral("-40"));
    if (m_channelCaption.contains(ConstLang::Text(QStringLiteral("TxtHumidity"), ConstLang::Chinese))
        || m_channelCaption.contains(ConstLang::Text(QStringLiteral("TxtHumidity"), ConstLang::English))) {
        lbledt_Th_ThresholdHigh->setText(QStringLiteral("100"));
        lbledt_Th_ThresholdLow->setText(QStringLiteral("0"));
    }
    lbledt_Th_ThresholdHighSMS->setText(ViewContext::Text("TxtThDefaultHighSms"));
    lbledt_Th_ThresholdLowSMS->setText(ViewContext::Text("TxtThDefaultLowSms"));
    lbledt_Th_RecoverySMS->setText(ViewContext::Text("TxtThDefaultRecoverySms"));
    chk_Th_Enable->setChecked(true);
    chk_Th_RecoveryAlarm->setChecked(true);
    chk_Th_AlarmLinkDO1->setChecked(false);
    chk_Th_AlarmLinkDO2->setChecked(false);
}

void TFormThSetting::btn_Th_OKClick()
{
    SaveThEditor();
    accept();
}

void TFormThSetting::btn_Th_NOClick()
{
    reject();
}
