#include "look/FlowLayout_Unt.h"

#include <QWidget>

TFlowLayout::TFlowLayout(QWidget *parent, int spacing) : QLayout(parent), m_spacing(spacing)
{
}

TFlowLayout::~TFlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void TFlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

int TFlowLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *TFlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *TFlowLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

Qt::Orientations TFlowLayout::expandingDirections() const
{
    return {};
}

bool TFlowLayout::hasHeightForWidth() const
{
    return true;
}

int TFlowLayout::heightForWidth(int width) const
{
    return Arrange(QRect(0, 0, width, 0), false);
}

QSize TFlowLayout::minimumSize() const
{
    // One item per row at the least: the widest item sets the width.
    QSize size;
    for (const QLayoutItem *item : m_items) {
        if (!item->isEmpty())
            size = size.expandedTo(item->sizeHint());
    }
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize TFlowLayout::sizeHint() const
{
    // All items in one row.
    int width = 0;
    int height = 0;
    for (const QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        width += (width > 0 ? m_spacing : 0) + item->sizeHint().width();
        height = qMax(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return QSize(width + margins.left() + margins.right(), height + margins.top() + margins.bottom());
}

void TFlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TFlowLayout::Arrange(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight + m_spacing;
            rowHeight = 0;
        }
        if (apply)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + m_spacing;
        rowHeight = qMax(rowHeight, size.height());
    }
    const QMargins margins = contentsMargins();
    return y + rowHeight - rect.y() + margins.bottom();
}
