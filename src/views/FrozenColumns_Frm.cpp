#include "views/FrozenColumns_Frm.h"

#include <QEvent>
#include <QHeaderView>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Paints with the list's own delegate; a row is as tall as the same row of
// the list, whatever the frozen cells alone would need.
class TFollowRowDelegate : public QStyledItemDelegate
{
public:
    TFollowRowDelegate(QTreeView *view, QObject *parent) : QStyledItemDelegate(parent), m_view(view) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        if (QAbstractItemDelegate *own = Source())
            own->paint(painter, option, index);
        else
            QStyledItemDelegate::paint(painter, option, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QAbstractItemDelegate *own = Source();
        QSize size = own ? own->sizeHint(option, index) : QStyledItemDelegate::sizeHint(option, index);
        if (m_view) {
            const int height = m_view->visualRect(index.siblingAtColumn(0)).height();
            if (height > 0)
                size.setHeight(height);
        }
        return size;
    }

private:
    QAbstractItemDelegate *Source() const
    {
        if (!m_view)
            return nullptr;
        QAbstractItemDelegate *own = m_view->itemDelegate();
        return own == this ? nullptr : own;
    }

    QPointer<QTreeView> m_view;
};

// A header exactly as tall as the list's, so the first row of both parts
// starts at the same height even when only a scrolled caption needs a taller
// line.
class TFollowHeader : public QHeaderView
{
public:
    explicit TFollowHeader(QHeaderView *source, QWidget *parent)
        : QHeaderView(Qt::Horizontal, parent), m_source(source)
    {
    }

    QSize sizeHint() const override
    {
        QSize size = QHeaderView::sizeHint();
        if (m_source)
            size.setHeight(m_source->isHidden() ? 0 : m_source->sizeHint().height());
        return size;
    }

private:
    QPointer<QHeaderView> m_source;
};

} // namespace

TFrozenColumns::TFrozenColumns(QTreeView *view, int count)
    : QTreeView(view), m_view(view), m_count(count)
{
    setObjectName(view->objectName() + QStringLiteral("_Frozen"));
    setHeader(new TFollowHeader(view->header(), this));
    setModel(view->model());
    setSelectionModel(view->selectionModel());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    // A skin's border rule for list views would shift the frozen rows.
    setStyleSheet(QStringLiteral("QTreeView { border: none; padding: 0px; margin: 0px; }"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(view->verticalScrollMode());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(view->selectionBehavior());
    setItemDelegate(new TFollowRowDelegate(view, this));
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);

    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    // A range that changes after the list scrolled would otherwise clamp the
    // frozen part to another row than the list shows.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { verticalScrollBar()->setValue(m_view->verticalScrollBar()->value()); });
    connect(view->header(), &QHeaderView::sectionResized, this, &TFrozenColumns::FollowColumns);
    connect(view->header(), &QHeaderView::sectionMoved, this, &TFrozenColumns::FollowColumns);
    connect(view->header(), &QHeaderView::geometriesChanged, this, &TFrozenColumns::FollowRows);
    connect(view->model(), &QAbstractItemModel::headerDataChanged, this, &TFrozenColumns::FollowColumns);
    connect(view->model(), &QAbstractItemModel::dataChanged, this, &TFrozenColumns::FollowRows);
    connect(view->model(), &QAbstractItemModel::rowsInserted, this, &TFrozenColumns::FollowRows);
    view->installEventFilter(this);
    FollowColumns();
    show();
}

int TFrozenColumns::FrozenWidth() const
{
    int width = 0;
    QHeaderView *source = m_view->header();
    for (int visual = 0; visual < m_count && visual < source->count(); ++visual)
        width += source->sectionSize(source->logicalIndex(visual));
    return width;
}

void TFrozenColumns::FollowColumns()
{
    QHeaderView *source = m_view->header();
    QHeaderView *own = header();
    for (int visual = 0; visual < source->count(); ++visual) {
        const int logical = source->logicalIndex(visual);
        const int ownVisual = own->visualIndex(logical);
        if (ownVisual != visual && ownVisual >= 0)
            own->moveSection(ownVisual, visual);
        setColumnHidden(logical, visual >= m_count);
        if (visual < m_count)
            own->resizeSection(logical, source->sectionSize(logical));
    }
    FollowRows();
}

// Row heights of the list may change with a text in any column, a font or a
// style; the frozen rows are measured again from the list's.
void TFrozenColumns::FollowRows()
{
    setVerticalScrollMode(m_view->verticalScrollMode());
    scheduleDelayedItemsLayout();
    updateGeometries();
    Place();
}

void TFrozenColumns::Place()
{
    const int frame = m_view->frameWidth();
    setGeometry(frame, frame, FrozenWidth(), m_view->viewport()->height() + m_view->header()->height());
    verticalScrollBar()->setValue(m_view->verticalScrollBar()->value());
}

bool TFrozenColumns::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::LayoutRequest:
            Place();
            break;
        case QEvent::FontChange:
        case QEvent::StyleChange:
        case QEvent::Polish:
            FollowRows();
            break;
        default:
            break;
        }
    }
    return QTreeView::eventFilter(watched, event);
}
