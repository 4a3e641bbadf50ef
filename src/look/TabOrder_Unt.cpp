#include "look/TabOrder_Unt.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QPointer>
#include <QFormLayout>
#include <QGridLayout>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace {

void WalkLayout(QLayout *layout, QList<QWidget *> &stops);

void WalkWidget(QWidget *widget, QList<QWidget *> &stops)
{
    if (widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide))
        return;
    const bool single = qobject_cast<QAbstractScrollArea *>(widget) || qobject_cast<QTabWidget *>(widget)
                        || qobject_cast<QAbstractSpinBox *>(widget) || qobject_cast<QComboBox *>(widget);
    if (!single && widget->layout()) {
        WalkLayout(widget->layout(), stops);
        return;
    }
    QWidget *target = widget;
    while (target->focusProxy())
        target = target->focusProxy();
    if ((target->focusPolicy() & Qt::TabFocus) && !stops.contains(target))
        stops.append(target);
}

void WalkLayout(QLayout *layout, QList<QWidget *> &stops)
{
    struct TPlaced
    {
        int row;
        int column;
        QLayoutItem *item;
    };
    QList<TPlaced> placed;
    const int count = layout->count();
    auto *grid = qobject_cast<QGridLayout *>(layout);
    auto *form = qobject_cast<QFormLayout *>(layout);
    auto *box = qobject_cast<QBoxLayout *>(layout);
    const bool backwards = box && (box->direction() == QBoxLayout::RightToLeft
                                   || box->direction() == QBoxLayout::BottomToTop);
    for (int index = 0; index < count; ++index) {
        QLayoutItem *item = layout->itemAt(index);
        int row = 0, column = index;
        if (grid) {
            int rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        } else if (form) {
            QFormLayout::ItemRole role = QFormLayout::LabelRole;
            form->getItemPosition(index, &row, &role);
            column = int(role);
        } else if (backwards) {
            column = count - index;
        }
        placed.append({row, column, item});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const TPlaced &a, const TPlaced &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    for (const TPlaced &entry : std::as_const(placed)) {
        if (QWidget *widget = entry.item->widget())
            WalkWidget(widget, stops);
        else if (QLayout *inner = entry.item->layout())
            WalkLayout(inner, stops);
    }
}

// Takes Tab and Shift+Tab on the stops of one pane and moves to the next
// stop that can take the focus. Qt's own focus chain is left alone: moving
// compound fields (a label with its edit) along it with setTabOrder leaves
// loops behind. Past the last stop the chain takes over.
class TTabFilter : public QObject
{
public:
    TTabFilter(QWidget *root, const QList<QWidget *> &stops) : QObject(root)
    {
        setObjectName(QStringLiteral("TabOrderFilter"));
        for (QWidget *stop : stops) {
            m_stops.append(stop);
            stop->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        const bool backward = key->key() == Qt::Key_Backtab
                              || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
        if (!forward && !backward)
            return false;
        // A date or time field keeps Qt's step from section to section.
        if (auto *dates = qobject_cast<QDateTimeEdit *>(watched)) {
            const int section = dates->currentSectionIndex();
            if ((forward && section < dates->sectionCount() - 1) || (backward && section > 0))
                return false;
        }
        int index = -1;
        for (int at = 0; at < m_stops.size(); ++at) {
            if (m_stops.at(at) == watched)
                index = at;
        }
        if (index < 0)
            return false;
        for (int at = index + (forward ? 1 : -1); at >= 0 && at < m_stops.size(); at += forward ? 1 : -1) {
            QWidget *next = m_stops.at(at);
            if (next && next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)) {
                next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> m_stops;
};

} // namespace

QList<QWidget *> TabOrder::VisualOrder(QWidget *root)
{
    QList<QWidget *> stops;
    if (root && root->layout())
        WalkLayout(root->layout(), stops);
    return stops;
}

QWidget *TabOrder::FollowLayout(QWidget *root)
{
    const QList<QWidget *> stops = VisualOrder(root);
    delete root->findChild<QObject *>(QStringLiteral("TabOrderFilter"), Qt::FindDirectChildrenOnly);
    if (!stops.isEmpty())
        new TTabFilter(root, stops);
    return stops.value(0);
}
