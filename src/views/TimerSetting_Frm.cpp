#include "views/TimerSetting_Frm.h"

#include "look/ComponentEx.h"
#include "views/SoftInterfaceDateTime_Unt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QComboBox *ChoiceList(QWidget *parent, const char *name, const QStringList &items)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(false);
    combo->addItems(items);
    combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
    combo->setMinimumWidth(180);
    return combo;
}

QLabel *Caption(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

void Refill(QComboBox *combo, const QStringList &items)
{
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

} // namespace

TFormTimerSetting::TFormTimerSetting(QTreeWidget *lvTimer, int rowIndex, QWidget *parent)
    : QDialog(parent), m_row(lvTimer, rowIndex), m_language(ViewContext::CurrentLanguage())
{
    setObjectName(QStringLiteral("FormTimerSetting"));
    lbl_Timer_Week = Caption(this, "lbl_Timer_Week");
    cbb_TimerWeek = ChoiceList(this, "cbb_TimerWeek", TSoftDateTime::WeekList());
    lbl_TimerHour = Caption(this, "lbl_TimerHour");
    cbb_TimerHour = ChoiceList(this, "cbb_TimerHour", TSoftDateTime::HourList());
    lbl_TimerMinute = Caption(this, "lbl_TimerMinute");
    cbb_TimerMinute = ChoiceList(this, "cbb_TimerMinute", TSoftDateTime::MinuteList());
    lbl_TimerAction = Caption(this, "lbl_TimerAction");
    cbb_TimerAction = ChoiceList(this, "cbb_TimerAction", TSoftDateTime::ActionList());
    chk_Timer_Enable = new TSkinCheckBox(this);
    chk_Timer_Enable->setObjectName(QStringLiteral("chk_Timer_Enable"));
    btn_OK = new QPushButton(this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setDefault(true);
    btn_NO = new QPushButton(this);
    btn_NO->setObjectName(QStringLiteral("btn_NO"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(chk_Timer_Enable, 0, 1);
    layout->addWidget(lbl_Timer_Week, 1, 0);
    layout->addWidget(cbb_TimerWeek, 1, 1);
    layout->addWidget(lbl_TimerHour, 2, 0);
    layout->addWidget(cbb_TimerHour, 2, 1);
    layout->addWidget(lbl_TimerMinute, 3, 0);
    layout->addWidget(cbb_TimerMinute, 3, 1);
    layout->addWidget(lbl_TimerAction, 4, 0);
    layout->addWidget(cbb_TimerAction, 4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_OK);
    buttons->addWidget(btn_NO);
    layout->addLayout(buttons, 5, 0, 1, 2);
    // Tab walks the fields as they stand, top to bottom.
    const QList<QWidget *> tabOrder{chk_Timer_Enable, cbb_TimerWeek, cbb_TimerHour, cbb_TimerMinute,
                                    cbb_TimerAction, btn_OK, btn_NO};
    for (int index = 1; index < tabOrder.size(); ++index)
        QWidget::setTabOrder(tabOrder.at(index - 1), tabOrder.at(index));
    ViewContext::PrepareEditorWindow(this);

    connect(btn_OK, &QPushButton::clicked, this, &TFormTimerSetting::btn_OKClick);
    connect(btn_NO, &QPushButton::clicked, this, &TFormTimerSetting::btn_NOClick);
    FormShow();
}

void TFormTimerSetting::FormShow()
{
    setWindowTitle(ViewContext::Text("TxtTimerCaption") + QLatin1Char(' ')
                   + QString::number(m_row.Index() + 1));
    lbl_Timer_Week->setText(ViewContext::Text("TxtTimerWeek"));
    lbl_TimerHour->setText(ViewContext::Text("TxtTimerHour"));
    lbl_TimerMinute->setText(ViewContext::Text("TxtTimerMinute"));
    lbl_TimerAction->setText(ViewContext::Text("TxtTimerAction"));
    chk_Timer_Enable->setText(ViewContext::Text("TxtTimerEnable"));
    btn_OK->setText(ViewContext::Text("TxtOk"));
    btn_NO->setText(ViewContext::Text("TxtCancel"));
    TSoftDateTime::BuildTimerLists(m_language);
    Refill(cbb_TimerAction, TSoftDateTime::ActionList());
    Refill(cbb_TimerWeek, TSoftDateTime::WeekList());
    LoadTimerEditor();
}

void TFormTimerSetting::LoadTimerEditor()
{
    const QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    using Base = TBaseSoftInterface;
    chk_Timer_Enable->setChecked(Base::IsTicked(Base::SubItem(row, TSoftDateTime::EnableSubItem)));
    // A code no entry names selects the first entry, as an unknown text does.
    cbb_TimerWeek->setCurrentIndex(Base::ClampIndex(TimerCodes::DayPosition(TSoftDateTime::TimerDay(row))));
    cbb_TimerHour->setCurrentIndex(
        Base::ClampIndex(TSoftDateTime::HourList().indexOf(Base::SubItem(row, TSoftDateTime::HourSubItem))));
    cbb_TimerMinute->setCurrentIndex(
        Base::ClampIndex(TSoftDateTime::MinuteList().indexOf(Base::SubItem(row, TSoftDateTime::MinuteSubItem))));
    const int action = TSoftDateTime::TimerAction(row);
    cbb_TimerAction->setCurrentIndex(Base::ClampIndex(action < cbb_TimerAction->count() ? action : -1));
}

void TFormTimerSetting::SaveTimerEditor()
{
    QTreeWidgetItem *row = m_row.Row();
    if (row == nullptr)
        return;
    using Base = TBaseSoftInterface;
    Base::SetSubItem(row, TSoftDateTime::EnableSubItem, Base::TickText(chk_Timer_Enable->isChecked()));
    TSoftDateTime::SetTimerDay(row, TimerCodes::DayCodeOfPosition(cbb_TimerWeek->currentIndex()), m_language);
    Base::SetSubItem(row, TSoftDateTime::HourSubItem, cbb_TimerHour->currentText());
    Base::SetSubItem(row, TSoftDateTime::MinuteSubItem, cbb_TimerMinute->currentText());
    TSoftDateTime::SetTimerAction(row, cbb_TimerAction->currentIndex(), m_language);
}

void TFormTimerSetting::btn_OKClick()
{
    SaveTimerEditor();
    accept();
}

void TFormTimerSetting::btn_NOClick()
{
    reject();
}
