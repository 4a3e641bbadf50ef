#include "views/PhoneSetting_Frm.h"

#include "look/ComponentEx.h"
#include "views/BaseSoftInterface_Unt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

const char *const kNumberHintLines[] = {
    "1.Country code is needed before the telephone number,e.g.0086,0044,0065,001 etc",
    "2.Dial:Ticked it stands for when alarm occurrence,will dial the related telephone number one by one ,",
    "till answer it or call all number.Modbus Slave alarm occurrence will not dail telephone",
    "3.Except for dial item,ticked it stands for when the event occurrence will send SMS to the related number",
    "4.Low Signal: stand for GSM\\3G\\4G\\5G signal is lower than 14,full is 31.",
};

QString NumberHint()
{
    QStringList lines;
    for (const char *line : kNumberHintLines)
        lines << QString::fromLatin1(line);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

TFormPhoneSetting::TFormPhoneSetting(QTreeWidget *lvTel, int rowIndex, QWidget *parent)
    : QDialog(parent), m_row(lvTel, rowIndex)
{
    setObjectName(QStringLiteral("FormPhoneSetting"));
    chk_Dial = TSkinCheckBox::Named(this, "chk_Dial");
    chk_TimeRePort = TSkinCheckBox::Named(this, "chk_TimeRePort");
    chk_SMSFunction = TSkinCheckBox::Named(this, "chk_SMSFunction");
    chk_Alam = TSkinCheckBox::Named(this, "chk_Alam");
    chk_AlamReco = TSkinCheckBox::Named(this, "chk_AlamReco");
    chk_ExtendPower = TSkinCheckBox::Named(this, "chk_ExtendPower");
    chk_GPRS = TSkinCheckBox::Named(this, "chk_GPRS");
    chk_GSMSignal = TSkinCheckBox::Named(this, "chk_GSMSignal");
    chk_Realy = TSkinCheckBox::Named(this, "chk_Realy");
    chk_TelAll = TSkinCheckBox::Named(this, "chk_TelAll");
    lbledt_TelNumber = new TLabeledEdit(this, TLabeledEdit::LabelPosition::Above);
    lbledt_TelNumber->setObjectName(QStringLiteral("lbledt_TelNumber"));
    lbledt_TelNumber->setMaxLength(NumberMaxLength);
    btn_Phone_OK = new QPushButton(this);
    btn_Phone_OK->setObjectName(QStringLiteral("btn_Phone_OK"));
    btn_Phone_OK->setDefault(true);
    btn_Phone_NO = new QPushButton(this);
    btn_Phone_NO->setObjectName(QStringLiteral("btn_Phone_NO"));

    // The number first: it is what the user comes to change.
    auto *layout = new QGridLayout(this);
    layout->addWidget(lbledt_TelNumber, 0, 0, 1, 2);
    TSkinCheckBox *const columns[][2] = {
        {chk_Dial, chk_TimeRePort}, {chk_SMSFunction, chk_Alam}, {chk_AlamReco, chk_ExtendPower},
        {chk_GPRS, chk_GSMSignal},  {chk_Realy, chk_TelAll},
    };
    int line = 1;
    for (const auto &pair : columns) {
        layout->addWidget(pair[0], line, 0);
        layout->addWidget(pair[1], line, 1);
        ++line;
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_Phone_OK);
    buttons->addWidget(btn_Phone_NO);
    layout->addLayout(buttons, line, 0, 1, 2);
    ViewContext::PrepareEditorWindow(this);

    connect(chk_TelAll, &QCheckBox::toggled, this, &TFormPhoneSetting::chk_TelAllClick);
    connect(btn_Phone_OK, &QPushButton::clicked, this, &TFormPhoneSetting::btn_Phone_OKClick);
    connect(btn_Phone_NO, &QPushButton::clicked, this, &TFormPhoneSetting::btn_Phone_NOClick);
    FormShow();
}

QList<TSkinCheckBox *> TFormPhoneSetting::FlagBoxes() const
{
    return {chk_Dial, chk_TimeRePort, chk_SMSFunction, chk_Alam, chk_AlamReco,
            chk_ExtendPower, chk_GPRS, chk_GSMSignal, chk_Realy};
}

void TFormPhoneSetting::FormShow()
{
    if (const QTreeWidgetItem *row = m_row.Row())
        setWindowTitle(ViewContext::Text("TxtPhoneCaption") + row->text(0));
    LoadPhoneEditor();
    lbledt_TelNumber->setLabelText(ViewContext::Text("TxtPhoneNumber"));
    chk_Dial->setText(ViewContext::Text("TxtPhoneDial"));
    chk_TimeRePort->setText(ViewContext::Text("TxtPhoneTimerReport"));
    chk_SMSFunction->setText(ViewContext::Text("TxtPhoneArmSms"));
    chk_Alam->setText(ViewContext::Text("TxtPhoneAlarm"));
    chk_AlamReco->setText(ViewContext::Text("TxtPhoneRecovery"));
    chk_ExtendPower->setText(ViewContext::Text("TxtPhonePower"));
    chk_GPRS->setText(ViewContext::Text("TxtPhoneGprs"));
    chk_GSMSignal->setText(ViewContext::Text("TxtPhoneSignal"));
    chk_Realy->setText(ViewContext::Text("TxtPhoneRelay"));
    chk_TelAll->setText(ViewContext::Text("TxtPhoneAll"));
    btn_Phone_OK->setText(ViewContext::Text("TxtPhoneOk"));
    btn_Phone_NO->setText(ViewContext::Text("TxtPhoneCancel"));
    lbledt_TelNumber->setHint(NumberHint());
    lbledt_TelNumber->edit()->setToolTipDuration(LongHintMs);
}

void TFormPhoneSetting::LoadPhoneEditor()
{
    const QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    lbledt_TelNumber->setText(TBaseSoftInterface::SubItem(row, 0));
    const QList<TSkinCheckBox *> boxes = FlagBoxes();
    for (int flag = 0; flag < boxes.size(); ++flag)
        boxes.at(flag)->setChecked(TBaseSoftInterface::IsTicked(TBaseSoftInterface::SubItem(row, flag + 1)));
}

void TFormPhoneSetting::SavePhoneEditor()
{
    QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    TBaseSoftInterface::SetSubItem(row, 0, lbledt_TelNumber->text());
    const QList<TSkinCheckBox *> boxes = FlagBoxes();
    for (int flag = 0; flag < boxes.size(); ++flag)
        TBaseSoftInterface::SetSubItem(row, flag + 1, TBaseSoftInterface::TickText(boxes.at(flag)->isChecked()));
}

void TFormPhoneSetting::chk_TelAllClick()
{
    const bool ticked = chk_TelAll->isChecked();
    const QList<TSkinCheckBox *> boxes = findChildren<TSkinCheckBox *>(QString(), Qt::FindDirectChildrenOnly);
    for (TSkinCheckBox *box : boxes)
        box->setChecked(ticked);
}

void TFormPhoneSetting::btn_Phone_OKClick()
{
    SavePhoneEditor();
    accept();
}

void TFormPhoneSetting::btn_Phone_NOClick()
{
    reject();
}
