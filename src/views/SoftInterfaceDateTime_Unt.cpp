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

// How one kind of cell (day or action) maps to its codes.
struct TCodedCell
{
    int SubItem;
    QStringList (*Texts)(int language);
    QString (*TextOf)(int code, const QStringList &list);
    int (*CodeOf)(const QString &text, const QStringList &list);
};

const TCodedCell kDayCell{TSoftDateTime::DaySubItem, &ConstLang::TimerWeekTexts, &TimerCodes::DayText,
                          &TimerCodes::DayCodeOfText};
const TCodedCell kActionCell{TSoftDateTime::ActionSubItem, &ConstLang::TimerActionTexts,
                             &TimerCodes::ActionText, &TimerCodes::ActionCodeOfText};

void SetCodedCell(QTreeWidgetItem *row, const TCodedCell &cell, int code, int language)
{
    const int column = cell.SubItem + 1;
    if (code < 0) {
        row->setText(column, QString());
        row->setData(column, kCodeRole, QVariant());
        return;
    }
    row->setText(column, cell.TextOf(code, cell.Texts(language)));
    row->setData(column, kCodeRole, code);
}

// The code a day or action cell encodes to; see TimerDay.
int CodeOfCell(const QTreeWidgetItem *row, const TCodedCell &cell)
{
    const int column = cell.SubItem + 1;
    const QString text = row->text(column);
    if (text.isEmpty())
        return TimerCodes::NoCode;
    const int current = ViewContext::CurrentLanguage();
    const int other = current == ConstLang::English ? ConstLang::Chinese : ConstLang::English;
    const QStringList lists[] = {cell.Texts(current), cell.Texts(other)};

    const QVariant stored = row->data(column, kCodeRole);
    if (stored.isValid()) {
        const int code = stored.toInt();
        for (const QStringList &list : lists) {
            if (cell.TextOf(code, list) == text)
                return code;
        }
    }
    for (const QStringList &list : lists) {
        const int code = cell.CodeOf(text, list);
        if (code != TimerCodes::NoCode)
            return code;
    }
    return TimerCodes::NoCode;
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

void TSoftDateTime::SetTimerDay(QTreeWidgetItem *row, int dayCode, int language)
{
    SetCodedCell(row, kDayCell, dayCode, language);
}

void TSoftDateTime::SetTimerAction(QTreeWidgetItem *row, int actionCode, int language)
{
    SetCodedCell(row, kActionCell, actionCode, language);
}

int TSoftDateTime::TimerDay(const QTreeWidgetItem *row)
{
    return CodeOfCell(row, kDayCell);
}

int TSoftDateTime::TimerAction(const QTreeWidgetItem *row)
{
    return CodeOfCell(row, kActionCell);
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
    if (editor.exec() == QDialog::Accepted)
        emit rowsEdited();
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
    emit rowsEdited();
}

void TSoftDateTime::Pop_Timer_ClearClick()
{
    ClearAllRows(m_lvTimer);
    emit rowsEdited();
}
