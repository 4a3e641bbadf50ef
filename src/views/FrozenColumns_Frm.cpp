#include "views/FrozenColumns_Frm.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

TFrozenColumns::TFrozenColumns(QTreeView *view, int count)
    : QTreeView(view), m_view(view), m_count(count)
{
    setObjectName(view->objectName() + QStringLiteral("_Frozen"));
    setModel(view->model());
    setSelectionModel(view->selectionModel());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(view->selectionBehavior());
    setItemDelegate(view->itemDelegate());
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);

    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
            &QScrollBar::setValue);
    connect(view->header(), &QHeaderView::sectionResized, this, &TFrozenColumns::FollowColumns);
    connect(view->header(), &QHeaderView::sectionMoved, this, &TFrozenColumns::FollowColumns);
    connect(view->model(), &QAbstractItemModel::headerDataChanged, this, &TFrozenColumns::FollowColumns);
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
    if (watched == m_view && (event->type() == QEvent::Resize || event->type() == QEvent::Show
                              || event->type() == QEvent::LayoutRequest))
        Place();
    return QTreeView::eventFilter(watched, event);
}
