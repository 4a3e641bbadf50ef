#include "views/SettingsViews_Unt.h"

#include "views/FrameBar_Frm.h"
#include "views/SettingsPanes_Frm.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/SoftInterfaceInfoMode_Unt.h"
#include "views/SoftInterfaceTelephone_Unt.h"
#include "views/ViewContext_Unt.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *RelayButton(QGroupBox *group, const char *name)
{
    auto *button = new QPushButton(group);
    ViewContext::NameWithCaption(button, name);
    group->layout()->addWidget(button);
    return button;
}

} // namespace

void TSettingsViews::SizeColumns() const
{
    SoftTelephone->SizeTelColumns(lvTel);
    SoftDiDoTh->SizeDoColumns(lvDo);
    SoftDiDoTh->SizeThColumns(lvTh);
}

void TSettingsViews::BuildRows() const
{
    SoftTelephone->BuildTelRows(lvTel);
    SoftDateTime->BuildTimerRows(lvTimer);
    SoftDiDoTh->BuildDoRows(lvDo);
}

TSettingsViews BuildSettingsViews(const TMainSheets &sheets, QObject *owner)
{
    TSettingsViews views;
    views.SoftDateTime = new TSoftDateTime(owner);
    views.SoftDiDoTh = new TSoftDiDoTh(owner);
    views.SoftInfoMode = new TSoftInfoMode(owner);
    views.SoftTelephone = new TSoftTelephone(owner);
    views.Panes = new TSettingsPanes(sheets, owner);

    views.lvDo = TSoftDiDoTh::CreateDoView(sheets.Sheet_DO);
    views.grp_OpenCloseDO = new QGroupBox(sheets.Sheet_DO);
    ViewContext::NameWithCaption(views.grp_OpenCloseDO, "grp_OpenCloseDO");
    new QHBoxLayout(views.grp_OpenCloseDO);
    views.btn_DO1_Close = RelayButton(views.grp_OpenCloseDO, "btn_DO1_Close");
    views.btn_DO1_Open = RelayButton(views.grp_OpenCloseDO, "btn_DO1_Open");
    views.btn_Do2_Close = RelayButton(views.grp_OpenCloseDO, "btn_Do2_Close");
    views.btn_Do2_Open = RelayButton(views.grp_OpenCloseDO, "btn_Do2_Open");
    auto *doLayout = new QVBoxLayout(sheets.Sheet_DO);
    doLayout->addWidget(views.lvDo, 1);
    doLayout->addWidget(views.grp_OpenCloseDO);

    views.lvTh = TSoftDiDoTh::CreateThView(sheets.Sheet_TH);
    (new QVBoxLayout(sheets.Sheet_TH))->addWidget(views.lvTh);
    views.SoftDiDoTh->BindViews(views.lvDo, views.lvTh);

    views.lvTel = TSoftTelephone::CreateTelView(sheets.Sheet_Telephone);
    (new QVBoxLayout(sheets.Sheet_Telephone))->addWidget(views.lvTel);
    views.SoftTelephone->BindView(views.lvTel);

    views.lvTimer = TSoftDateTime::CreateTimerView(sheets.Sheet_DateTime);
    views.grp_Timer_Notice = new QGroupBox(sheets.Sheet_DateTime);
    ViewContext::NameWithCaption(views.grp_Timer_Notice, "grp_Timer_Notice");
    // The notice is the group's title alone: no frame is drawn under it.
    views.grp_Timer_Notice->setFlat(true);
    views.grp_Timer_Notice->setStyleSheet(QStringLiteral("QGroupBox { border: none; }"));
    views.grp_Timer_Notice->setFixedHeight(views.grp_Timer_Notice->fontMetrics().height() + 8);
    auto *timerLayout = new QVBoxLayout(sheets.Sheet_DateTime);
    timerLayout->addWidget(views.lvTimer, 1);
    timerLayout->addWidget(views.grp_Timer_Notice);
    views.SoftDateTime->BindView(views.lvTimer);
    return views;
}

TFrameBar *CreateFrameBar(const TMainSheets &sheets, QWidget *parent)
{
    return new TFrameBar(sheets, parent);
}
