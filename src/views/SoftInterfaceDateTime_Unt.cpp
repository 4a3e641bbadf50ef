#include "views/SoftInterfaceDateTime_Unt.h"

#include "lang/ConstLang_Unt.h"
#include "views/TimerSetting_Frm.h"
#include "views/ViewContext_Unt.h"

#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

namespace {

// The day and action codes live beside the texts in this role.
constexpr int kCodeRole = Qt::UserRole;

QStringList NumberList(int count)
{
    QStringList numbers;
    for (int number = 0; number < count; ++number)
        numbers << QString::number(number);
    return numbers;
}

QStringList &MutableActionList()
{
    static QStringList list;
    return list;
}

QStringList &MutableWeekList()
{
    static QStringList list;
    return list;
}

void SetCodedCell(QTreeWidgetItem *row, int subItem, const QStringList &texts, int code)
{
    const int column = subItem + 1;
    if (code < 0 || code >= texts.size()) {
        row->setText(column, QString());
        row->setData(column, kCodeRole, QVariant());
        return;
    }
    row->setText(column, texts.at(code));
    row->setData(column, kCodeRole, code);
}

// The code a day or action cell encodes to; see TimerDay.
int CodeOfCell(const QTreeWidgetItem *row, int subItem, QStringList (*texts)(int language))
{
    const int column = subItem + 1;
    const QString text = row->text(column);
    if (text.isEmpty())
        return -1;
    const int current = ViewContext::CurrentLanguage();
    const int other = current == ConstLang::English ? ConstLang::Chinese : ConstLang::English;
    const QStringList lists[] = {texts(current), texts(other)};

    const QVariant stored = row->data(column, kCodeRole);
    if (stored.isValid()) {
        const int code = stored.toInt();
        for (const QStringList &list : lists) {
            if (code >= 0 && code < list.size() && list.at(code) == text)
                return code;
        }
    }
    for (const QStringList &list : lists) {
        const int position = list.indexOf(text);
        if (position >= 0)
            return position;
    }
    for (const QStringList &list : lists) {
        for (int position = 0; position < list.size(); ++position) {
            if (list.at(position).contains(text))
                return position;
        }
    }
    return -1;
}

} // namespace

TSoftDateTime::TSoftDateTime(QObject *parent) : TBaseSoftInterface(parent)
{
}

QTreeWidget *TSoftDateTime::CreateTimerView(QWidget *sheet)
{
    auto *view = new QTreeWidget(sheet);
    SetupReportView(view, "lvTimer", TimerColumns);
    for (int column = 0; column < TimerColumns; ++column) {
        view->headerItem()->setTextAlignment(column, column < 2 ? Qt::AlignLeft | Qt::AlignVCenter
                                                                : Qt::AlignCenter);
    }
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

void TSoftDateTime::BindView(QTreeWidget *lvTimer)
{
    m_lvTimer = lvTimer;
    auto *pmTimer = new QMenu(lvTimer);
    pmTimer->setObjectName(QStringLiteral("pmTimer"));
    connect(ViewContext::AddMenuItem(pmTimer, "Pop_Timer_Setting"), &QAction::triggered, this,
            &TSoftDateTime::Pop_Timer_SettingClick);
    connect(ViewContext::AddMenuItem(pmTimer, "Pop_Timer_Delete"), &QAction::triggered, this,
            &TSoftDateTime::Pop_Timer_DeleteClick);
    connect(ViewContext::AddMenuItem(pmTimer, "Pop_Timer_Clear"), &QAction::triggered, this,
            &TSoftDateTime::Pop_Timer_ClearClick);
    connect(lvTimer, &QWidget::customContextMenuRequested, pmTimer,
            [lvTimer, pmTimer](const QPoint &pos) { pmTimer->popup(lvTimer->viewport()->mapToGlobal(pos)); });
    OnDoubleClick(lvTimer, [this] { lvTimerDblClick(); });
}

void TSoftDateTime::BuildTimerRows(QTreeWidget *lvTimer) const
{
    AddNumberedRows(lvTimer, 1, TimerRows);
}

void TSoftDateTime::BuildTimerLists(int language)
{
    MutableActionList() = ConstLang::TimerActionTexts(language);
    MutableWeekList() = ConstLang::TimerWeekTexts(language);
}

const QStringList &TSoftDateTime::ActionList()
{
    return MutableActionList();
}

const QStringList &TSoftDateTime::WeekList()
{
    return MutableWeekList();
}

const QStringList &TSoftDateTime::HourList()
{
    static const QStringList hours = NumberList(24);
    return hours;
}

const QStringList &TSoftDateTime::MinuteList()
{
    static const QStringList minutes = NumberList(60);
    return minutes;
}

void TSoftDateTime::SetTimerDay(QTreeWidgetItem *row, int dayPosition, int language)
{
    SetCodedCell(row, DaySubItem, ConstLang::TimerWeekTexts(language), dayPosition);
}

void TSoftDateTime::SetTimerAction(QTreeWidgetItem *row, int actionCode, int language)
{
    SetCodedCell(row, ActionSubItem, ConstLang::TimerActionTexts(language), actionCode);
}

int TSoftDateTime::TimerDay(const QTreeWidgetItem *row)
{
    return CodeOfCell(row, DaySubItem, &ConstLang::TimerWeekTexts);
}

int TSoftDateTime::TimerAction(const QTreeWidgetItem *row)
{
    return CodeOfCell(row, ActionSubItem, &ConstLang::TimerActionTexts);
}

void TSoftDateTime::RetranslateTimerRows(QTreeWidget *lvTimer, int language)
{
    for (int index = 0; index < lvTimer->topLevelItemCount(); ++index) {
        QTreeWidgetItem *row = lvTimer->topLevelItem(index);
        const int day = TimerDay(row);
        if (day >= 0)
            SetTimerDay(row, day, language);
        const int action = TimerAction(row);
        if (action >= 0)
            SetTimerAction(row, action, language);
    }
}

void TSoftDateTime::Pop_Timer_SettingClick()
{
    const int row = SelectedRowIndex(m_lvTimer);
    if (row < 0) {
        ViewContext::ShowMessage(ViewContext::Text("MsgSelectRow"));
        return;
    }
    TFormTimerSetting editor(m_lvTimer, row, m_lvTimer->window());
    editor.exec();
}

void TSoftDateTime::lvTimerDblClick()
{
    Pop_Timer_SettingClick();
}

void TSoftDateTime::Pop_Timer_DeleteClick()
{
    const int row = SelectedRowIndex(m_lvTimer);
    if (row < 0) {
        ViewContext::ShowMessage(ViewContext::Text("MsgSelectRow"));
        return;
    }
    ClearRow(m_lvTimer, row);
}

void TSoftDateTime::Pop_Timer_ClearClick()
{
    ClearAllRows(m_lvTimer);
}
