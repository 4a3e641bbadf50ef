#include "views/BaseSoftInterface_Unt.h"

#include "base/GbkText_Unt.h"
#include "look/ComponentEx.h"
#include "views/ViewContext_Unt.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStringEncoder>
#include <QTime>
#include <QKeyEvent>
#include <QTimer>
#include <QTreeWidget>

namespace {

// Keeps the view from repainting while rows are added; updates come back on
// every way out of the scope.
class TUpdateBracket
{
public:
    explicit TUpdateBracket(QWidget *view) : m_view(view), m_wasEnabled(view->updatesEnabled())
    {
        m_view->setUpdatesEnabled(false);
    }
    ~TUpdateBracket() { m_view->setUpdatesEnabled(m_wasEnabled); }
    TUpdateBracket(const TUpdateBracket &) = delete;
    TUpdateBracket &operator=(const TUpdateBracket &) = delete;

private:
    QWidget *m_view;
    bool m_wasEnabled;
};

void ClearSubItems(QTreeWidget *view, QTreeWidgetItem *row)
{
    const int columns = qMax(view->columnCount(), row->columnCount());
    for (int column = 1; column < columns; ++column) {
        row->setText(column, QString());
        row->setData(column, Qt::UserRole, QVariant());
    }
}

class TDoubleClickFilter : public QObject
{
public:
    TDoubleClickFilter(QObject *parent, std::function<void()> handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick) {
            // After the view has finished with the click: the handler may open
            // a modal editor.
            QTimer::singleShot(0, this, m_handler);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_handler;
};

// Enter and F2 on a list row open its editor, as a double click does; on a
// list without a current row they do nothing.
class TRowKeyFilter : public QObject
{
public:
    TRowKeyFilter(QTreeWidget *view, std::function<void()> handler)
        : QObject(view), m_view(view), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_view && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const bool opens = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F2;
            if (opens && key->modifiers() == Qt::NoModifier && m_view->currentItem()) {
                if (!m_view->currentItem()->isSelected())
                    m_view->setCurrentItem(m_view->currentItem());
                QTimer::singleShot(0, this, m_handler);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeWidget *m_view;
    std::function<void()> m_handler;
};

// Paints each cell as usual, then its right and bottom grid line.
class TGridLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(QColor(0xd8, 0xd8, 0xd8));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
};

} // namespace

const QString &TBaseSoftInterface::TickMark()
{
    static const QString mark(QChar(0x221A));
    return mark;
}

QString TBaseSoftInterface::TickText(bool flag)
{
    return flag ? TickMark() : QString();
}

bool TBaseSoftInterface::IsTicked(const QString &text)
{
    return text == TickMark();
}

void TBaseSoftInterface::ClearRow(QTreeWidget *view, int rowIndex)
{
    if (rowIndex < 0 || rowIndex >= view->topLevelItemCount())
        return;
    if (SelectedRowIndex(view) < 0)
        return;
    ClearSubItems(view, view->topLevelItem(rowIndex));
}

void TBaseSoftInterface::ClearAllRows(QTreeWidget *view)
{
    for (int row = 0; row < view->topLevelItemCount(); ++row)
        ClearSubItems(view, view->topLevelItem(row));
}

void TBaseSoftInterface::AddNumberedRows(QTreeWidget *view, int first, int last)
{
    if (last < first)
        return;
    TUpdateBracket bracket(view);
    for (int number = first; number <= last; ++number)
        AppendRow(view, QStringLiteral("  ") + QString::number(number));
}

int TBaseSoftInterface::IndexOfContaining(const QString &text, const QStringList &list)
{
    for (int position = 0; position < list.size(); ++position) {
        if (list.at(position).contains(text, Qt::CaseSensitive))
            return position;
    }
    return 0;
}

int TBaseSoftInterface::ClampIndex(int index)
{
    return index < 0 ? 0 : index;
}

void TBaseSoftInterface::ResetControls(QWidget *container)
{
    // A handler run by an unticked box may change the container's children
    // list only in theory; walk a copy.
    const QObjectList children = container->children();
    for (QObject *child : children) {
        if (auto *labeled = qobject_cast<TLabeledEdit *>(child))
            labeled->setText(QString());
        else if (auto *edit = qobject_cast<QLineEdit *>(child))
            edit->clear();
        else if (auto *box = qobject_cast<TSkinCheckBox *>(child))
            box->setChecked(false);
        else if (auto *combo = qobject_cast<QComboBox *>(child))
            combo->setCurrentIndex(-1);
        else if (auto *picker = qobject_cast<QDateTimeEdit *>(child))
            picker->setTime(QTime::currentTime());
        else if (auto *view = qobject_cast<QTreeWidget *>(child))
            ClearAllRows(view);
    }
}

int TBaseSoftInterface::SelectedRowIndex(const QTreeWidget *view)
{
    int first = -1;
    const QList<QTreeWidgetItem *> selected = view->selectedItems();
    for (QTreeWidgetItem *item : selected) {
        const int row = view->indexOfTopLevelItem(item);
        if (row >= 0 && (first < 0 || row < first))
            first = row;
    }
    return first;
}

QString TBaseSoftInterface::SubItem(const QTreeWidgetItem *row, int subItem)
{
    return row->text(subItem + 1);
}

void TBaseSoftInterface::SetSubItem(QTreeWidgetItem *row, int subItem, const QString &text)
{
    row->setText(subItem + 1, text);
}

QTreeWidgetItem *TBaseSoftInterface::AppendRow(QTreeWidget *view, const QString &caption)
{
    auto *row = new QTreeWidgetItem(view);
    const QTreeWidgetItem *header = view->headerItem();
    for (int column = 0; column < view->columnCount(); ++column) {
        row->setText(column, column == 0 ? caption : QString());
        row->setTextAlignment(column, Qt::Alignment(header->textAlignment(column)));
    }
    return row;
}

int TBaseSoftInterface::Cp936Length(const QString &text)
{
    return int(TGbkText::ByteLength(text));
}

void TBaseSoftInterface::SetupReportView(QTreeWidget *view, const char *name, int columnCount)
{
    view->setObjectName(QString::fromLatin1(name));
    view->setColumnCount(columnCount);
    QStringList captions;
    for (int column = 0; column < columnCount; ++column) {
        captions << ViewContext::TargetText(name, ConstLang::TargetKind::Column, column,
                                            ConstLang::English);
    }
    view->setHeaderLabels(captions);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    // Rows differ in height when a text in a taller script (Chinese names among
    // Latin captions) stands in a later row; each row fits its own texts.
    view->setUniformRowHeights(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->header()->setStretchLastSection(false);
    // The grid lines come from a delegate, not from a style sheet rule on the
    // items: with such a rule Qt no longer paints the selected row from the
    // palette, and it would look blank in every skin.
    view->setItemDelegate(new TGridLineDelegate(view));
}

int TBaseSoftInterface::ColumnWidthFor(const QTreeWidget *view, const QString &text)
{
    constexpr int kCellPadding = 16;
    const int textWidth = qMax(view->fontMetrics().horizontalAdvance(text),
                               view->header()->fontMetrics().horizontalAdvance(text));
    return textWidth + kCellPadding;
}

void TBaseSoftInterface::OnDoubleClick(QTreeWidget *view, std::function<void()> handler)
{
    view->viewport()->installEventFilter(new TDoubleClickFilter(view, handler));
    view->installEventFilter(new TRowKeyFilter(view, std::move(handler)));
}

TBaseSoftInterface &SharedBaseSoftInterface()
{
    static TBaseSoftInterface instance;
    return instance;
}
