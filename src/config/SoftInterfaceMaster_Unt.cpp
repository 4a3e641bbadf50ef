#include "config/SoftInterfaceMaster_Unt.h"

#include "config/ConfigErrorText_Unt.h"
#include "config/FieldCaptions_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "look/ComponentEx.h"
#include "views/BaseSoftInterface_Unt.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTreeWidget>

namespace {

QStringList RowCells(const QTreeWidgetItem *row, int subItems)
{
    QStringList cells;
    for (int subItem = 0; subItem < subItems; ++subItem)
        cells << (row ? row->text(subItem + 1) : QString());
    return cells;
}

QVector<QStringList> ListRows(const QTreeWidget *view, int rowCount, int subItems)
{
    QVector<QStringList> rows;
    for (int index = 0; index < rowCount; ++index)
        rows << RowCells(view ? view->topLevelItem(index) : nullptr, subItems);
    return rows;
}

int SubItemCount(const QVector<QStringList> &rows)
{
    return rows.isEmpty() ? 0 : int(rows.first().size());
}

} // namespace

TSoftMaster::TSoftMaster(QWidget *window) : QObject(window), m_window(window) {}

QString TSoftMaster::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_language);
}

void TSoftMaster::BlankPanes()
{
    for (const char *name : {"grp_BasicSeting", "grp_PasswordSeting", "Sheet_Telephone", "Sheet_DO",
                             "Sheet_TH", "Sheet_DateTime", "grp_GPRS_BasicSeting"}) {
        if (auto *container = m_window->findChild<QWidget *>(QString::fromLatin1(name)))
            TBaseSoftInterface::ResetControls(container);
    }
}

void TSoftMaster::Apply(const TConfigAssignment &assignment)
{
    QWidget *control = m_window->findChild<QWidget *>(assignment.Control);
    if (!control)
        return;
    switch (assignment.Kind) {
    case TAssignKind::Text:
        if (auto *edit = qobject_cast<TLabeledEdit *>(control))
            edit->setText(assignment.Value.toString());
        else if (auto *line = qobject_cast<QLineEdit *>(control))
            line->setText(assignment.Value.toString());
        break;
    case TAssignKind::Check:
        if (auto *box = qobject_cast<QCheckBox *>(control))
            box->setChecked(assignment.Value.toBool());
        break;
    case TAssignKind::ComboIndex:
        if (auto *combo = qobject_cast<QComboBox *>(control))
            combo->setCurrentIndex(assignment.Value.toInt());
        break;
    case TAssignKind::Time:
        if (auto *picker = qobject_cast<QDateTimeEdit *>(control)) {
            const QTime time = assignment.Value.toTime();
            picker->setTime(time.isValid() ? time : QTime::currentTime());
        }
        break;
    case TAssignKind::Enabled:
        control->setEnabled(assignment.Value.toBool());
        break;
    case TAssignKind::Cell:
    case TAssignKind::TimerDay:
    case TAssignKind::TimerAction: {
        auto *view = qobject_cast<QTreeWidget *>(control);
        QTreeWidgetItem *row = view ? view->topLevelItem(assignment.Row) : nullptr;
        if (!row)
            break;
        if (assignment.Kind == TAssignKind::Cell)
            row->setText(assignment.SubItem + 1, assignment.Value.toString());
        else if (assignment.Kind == TAssignKind::TimerDay)
            TSoftDateTime::SetTimerDay(row, assignment.Value.toInt(), m_language);
        else
            TSoftDateTime::SetTimerAction(row, assignment.Value.toInt(), m_language);
        break;
    }
    }
}

void TSoftMaster::ImageToControls(const TDecodeResult &decoded)
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    BlankPanes();
    for (const TConfigAssignment &assignment : decoded.Assignments)
        Apply(assignment);
}

int TSoftMaster::ShownModel() const
{
    if (m_modelIndex >= 0)
        return m_modelIndex;
    return TSoftDiDoTh::ThRowsModel(m_window->findChild<QTreeWidget *>(ConfigControls::ThList));
}

TConfigValues TSoftMaster::ControlsToValues() const
{
    TConfigValues values = BlankConfigValues(ShownModel());
    for (auto it = values.Texts.begin(); it != values.Texts.end(); ++it) {
        QWidget *control = m_window->findChild<QWidget *>(it.key());
        if (auto *edit = qobject_cast<TLabeledEdit *>(control))
            it.value() = edit->text();
        else if (auto *line = qobject_cast<QLineEdit *>(control))
            it.value() = line->text();
    }
    for (auto it = values.Checks.begin(); it != values.Checks.end(); ++it) {
        if (auto *box = m_window->findChild<QCheckBox *>(it.key()))
            it.value() = box->isChecked();
    }
    for (auto it = values.Combos.begin(); it != values.Combos.end(); ++it) {
        if (auto *combo = m_window->findChild<QComboBox *>(it.key()))
            it.value() = combo->currentIndex();
    }
    for (auto it = values.Times.begin(); it != values.Times.end(); ++it) {
        if (auto *picker = m_window->findChild<QDateTimeEdit *>(it.key()))
            it.value() = picker->time();
    }
    for (auto it = values.Enabled.begin(); it != values.Enabled.end(); ++it) {
        if (auto *control = m_window->findChild<QWidget *>(it.key()))
            it.value() = control->isEnabled();
    }

    auto view = [this](const char *name) {
        return m_window->findChild<QTreeWidget *>(QString::fromLatin1(name));
    };
    values.lvDo = ListRows(view("lvDo"), values.lvDo.size(), SubItemCount(values.lvDo));
    values.lvTel = ListRows(view("lvTel"), values.lvTel.size(), SubItemCount(values.lvTel));
    if (QTreeWidget *lvTh = view("lvTh")) {
        const int rows = qMin(int(values.lvTh.size()), lvTh->topLevelItemCount());
        values.lvTh = ListRows(lvTh, rows, SubItemCount(values.lvTh));
    }
    if (QTreeWidget *lvTimer = view("lvTimer")) {
        for (int index = 0; index < values.lvTimer.size(); ++index) {
            const QTreeWidgetItem *row = lvTimer->topLevelItem(index);
            if (!row)
                continue;
            TTimerRow &timer = values.lvTimer[index];
            timer.Enabled = TBaseSoftInterface::IsTicked(
                row->text(TSoftDateTime::EnableSubItem + 1));
            timer.DayCode = TSoftDateTime::TimerDay(row);
            timer.Hour = row->text(TSoftDateTime::HourSubItem + 1);
            timer.Minute = row->text(TSoftDateTime::MinuteSubItem + 1);
            timer.ActionCode = TSoftDateTime::TimerAction(row);
        }
    }
    return values;
}

void TSoftMaster::ValuesToControls(const TConfigValues &values)
{
    const QScopedValueRollback<bool> filling(m_filling, true);
    auto apply = [this](TAssignKind kind, const QString &control, const QVariant &value, int row = -1,
                        int subItem = -1) {
        TConfigAssignment assignment;
        assignment.Kind = kind;
        assignment.Control = control;
        assignment.Row = row;
        assignment.SubItem = subItem;
        assignment.Value = value;
        Apply(assignment);
    };
    for (auto it = values.Checks.cbegin(); it != values.Checks.cend(); ++it)
        apply(TAssignKind::Check, it.key(), it.value());
    for (auto it = values.Enabled.cbegin(); it != values.Enabled.cend(); ++it)
        apply(TAssignKind::Enabled, it.key(), it.value());
    for (auto it = values.Texts.cbegin(); it != values.Texts.cend(); ++it)
        apply(TAssignKind::Text, it.key(), it.value());
    for (auto it = values.Combos.cbegin(); it != values.Combos.cend(); ++it)
        apply(TAssignKind::ComboIndex, it.key(), it.value());
    for (auto it = values.Times.cbegin(); it != values.Times.cend(); ++it)
        apply(TAssignKind::Time, it.key(), it.value());

    const auto cells = [&apply](const QString &list, const QVector<QStringList> &rows) {
        for (int row = 0; row < rows.size(); ++row) {
            for (int subItem = 0; subItem < rows.at(row).size(); ++subItem)
                apply(TAssignKind::Cell, list, rows.at(row).at(subItem), row, subItem);
        }
    };
    cells(ConfigControls::DoList, values.lvDo);
    cells(ConfigControls::ThList, values.lvTh);
    cells(ConfigControls::TelList, values.lvTel);
    for (int row = 0; row < values.lvTimer.size(); ++row) {
        const TTimerRow &timer = values.lvTimer.at(row);
        apply(TAssignKind::Cell, ConfigControls::TimerList,
              timer.Enabled ? ConfigCells::TickMark : QString(), row, ConfigCells::TimerEnabled);
        apply(TAssignKind::TimerDay, ConfigControls::TimerList, timer.DayCode, row);
        apply(TAssignKind::Cell, ConfigControls::TimerList, timer.Hour, row, ConfigCells::TimerHour);
        apply(TAssignKind::Cell, ConfigControls::TimerList, timer.Minute, row, ConfigCells::TimerMinute);
        apply(TAssignKind::TimerAction, ConfigControls::TimerList, timer.ActionCode, row);
    }
}

TEncodeResult TSoftMaster::ControlsToImage() const
{
    return EncodeImage(ControlsToValues(), m_modelIndex);
}

QString TSoftMaster::CaptionOf(const TConfigError &error) const
{
    return FieldCaptions::Caption(error.Control, error.Row, error.SubItem, ShownModel(), m_language);
}

QString TSoftMaster::ErrorMessage(const TConfigError &error) const
{
    return ConfigErrorText(error, CaptionOf(error), m_language);
}
