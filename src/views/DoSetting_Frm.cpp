#include "views/DoSetting_Frm.h"

#include "look/ComponentEx.h"
#include "views/BaseSoftInterface_Unt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

TLabeledEdit *RelayField(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new TLabeledEdit(parent, TLabeledEdit::LabelPosition::Left);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    edit->label()->setMinimumWidth(170);
    edit->edit()->setMinimumWidth(260);
    return edit;
}

} // namespace

TFormDoSetting::TFormDoSetting(QTreeWidget *lvDo, int rowIndex, QWidget *parent)
    : QDialog(parent), m_row(lvDo, rowIndex)
{
    setObjectName(QStringLiteral("FormDoSetting"));
    lbledt_DO_ChannleName = RelayField(this, "lbledt_DO_ChannleName", 40);
    lbledt_DO_CloseTime = RelayField(this, "lbledt_DO_CloseTime", 0);
    lbledt_DO_OpenDes = RelayField(this, "lbledt_DO_OpenDes", 40);
    lbledt_DO_CloseDes = RelayField(this, "lbledt_DO_CloseDes", 40);
    chk_Enable_RecoveryAlert = new TSkinCheckBox(this);
    chk_Enable_RecoveryAlert->setObjectName(QStringLiteral("chk_Enable_RecoveryAlert"));
    btn_DO_Default = new QPushButton(this);
    btn_DO_Default->setObjectName(QStringLiteral("btn_DO_Default"));
    btn_OK = new QPushButton(this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setDefault(true);
    btn_NO = new QPushButton(this);
    btn_NO->setObjectName(QStringLiteral("btn_NO"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btn_DO_Default);
    buttons->addStretch();
    buttons->addWidget(btn_OK);
    buttons->addWidget(btn_NO);
    auto *layout = new QGridLayout(this);
    layout->addWidget(lbledt_DO_ChannleName, 0, 0);
    layout->addWidget(lbledt_DO_CloseTime, 1, 0);
    layout->addWidget(lbledt_DO_OpenDes, 2, 0);
    layout->addWidget(lbledt_DO_CloseDes, 3, 0);
    layout->addWidget(chk_Enable_RecoveryAlert, 4, 0);
    layout->addLayout(buttons, 5, 0);
    ViewContext::PrepareEditorWindow(this);

    connect(btn_DO_Default, &QPushButton::clicked, this, &TFormDoSetting::btn_DO_DefaultClick);
    connect(btn_OK, &QPushButton::clicked, this, &TFormDoSetting::btn_OKClick);
    connect(btn_NO, &QPushButton::clicked, this, &TFormDoSetting::btn_NOClick);
    FormShow();
}

void TFormDoSetting::FormShow()
{
    LoadDoEditor();
    setWindowTitle(DefaultName());
    lbledt_DO_ChannleName->setLabelText(ViewContext::Text("TxtDoChannelName"));
    lbledt_DO_CloseTime->setLabelText(ViewContext::Text("TxtDoCloseTime"));
    lbledt_DO_OpenDes->setLabelText(ViewContext::Text("TxtDoOpenDes"));
    lbledt_DO_CloseDes->setLabelText(ViewContext::Text("TxtDoCloseDes"));
    chk_Enable_RecoveryAlert->setText(ViewContext::Text("TxtDoRecoveryAlert"));
    btn_DO_Default->setText(ViewContext::Text("TxtDoDefault"));
    btn_OK->setText(ViewContext::Text("TxtOk"));
    btn_NO->setText(ViewContext::Text("TxtCancel"));
    lbledt_DO_CloseTime->setHint(ViewContext::Text("TxtDoCloseTimeHint"));
    lbledt_DO_CloseTime->edit()->setToolTipDuration(LongHintMs);
}

QString TFormDoSetting::DefaultName() const
{
    return ViewContext::Text("TxtDoName") + QString::number(m_row.Index() + 1);
}

void TFormDoSetting::LoadDoEditor()
{
    const QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    const QString name = TBaseSoftInterface::SubItem(row, 0);
    lbledt_DO_ChannleName->setText(name.isEmpty() ? DefaultName() : name);
    lbledt_DO_CloseTime->setText(TBaseSoftInterface::SubItem(row, 1));
    lbledt_DO_OpenDes->setText(TBaseSoftInterface::SubItem(row, 3));
    lbledt_DO_CloseDes->setText(TBaseSoftInterface::SubItem(row, 4));
    chk_Enable_RecoveryAlert->setChecked(TBaseSoftInterface::IsTicked(TBaseSoftInterface::SubItem(row, 5)));
}

void TFormDoSetting::SaveDoEditor()
{
    QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    TBaseSoftInterface::SetSubItem(row, 0, lbledt_DO_ChannleName->text());
    TBaseSoftInterface::SetSubItem(row, 1, lbledt_DO_CloseTime->text());
    TBaseSoftInterface::SetSubItem(row, 3, lbledt_DO_OpenDes->text());
    TBaseSoftInterface::SetSubItem(row, 4, lbledt_DO_CloseDes->text());
    TBaseSoftInterface::SetSubItem(row, 5,
                                   TBaseSoftInterface::TickText(chk_Enable_RecoveryAlert->isChecked()));
}

void TFormDoSetting::btn_DO_DefaultClick()
{
    lbledt_DO_ChannleName->setText(DefaultName());
    lbledt_DO_CloseTime->setText(QStringLiteral("0"));
    lbledt_DO_OpenDes->setText(ViewContext::Text("TxtDoDefaultOpen"));
    lbledt_DO_CloseDes->setText(ViewContext::Text("TxtDoDefaultClose"));
    chk_Enable_RecoveryAlert->setChecked(true);
}

void TFormDoSetting::btn_OKClick()
{
    SaveDoEditor();
    accept();
}

void TFormDoSetting::btn_NOClick()
{
    reject();
}
