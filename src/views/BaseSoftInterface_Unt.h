#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The conventions every settings binding shares. A list view is a report-style
// QTreeWidget: column 0 holds the row caption and column k + 1 shows sub-item
// k; cells hold text only, a set flag is the tick mark and a clear flag the
// empty text; rows are created once with all their sub-items and never
// deleted, so clearing a row empties its sub-items and keeps its caption.
//
// The operations keep no state; they are static, so any code may call them
// through the shared instance, through any binding object or directly.
class TBaseSoftInterface : public QObject
{
    Q_OBJECT
public:
    explicit TBaseSoftInterface(QObject *parent = nullptr) : QObject(parent) {}

    // The tick mark U+221A; "√".
    static const QString &TickMark();
    // The tick mark when flag is set, otherwise the empty text.
    static QString TickText(bool flag);
    // True only when text is exactly the tick mark.
    static bool IsTicked(const QString &text);

    // Empties every sub-item of row rowIndex (texts and any data kept beside
    // them). Does nothing when rowIndex is negative or beyond the rows, or
    // when the view has no selected row at all.
    static void ClearRow(QTreeWidget *view, int rowIndex);
    // Empties every sub-item of every row; captions stay.
    static void ClearAllRows(QTreeWidget *view);
    // Appends rows captioned two spaces and n, for n = first .. last, each with
    // one empty sub-item per column after column 0. Nothing when last < first.
    static void AddNumberedRows(QTreeWidget *view, int first, int last);
    // Position of the first entry that contains text (case-sensitive); 0 when
    // none does or the list is empty, so the result is never negative.
    static int IndexOfContaining(const QString &text, const QStringList &list);
    // 0 for a negative index, otherwise the index: a text not found among a
    // combo box's items selects the first item.
    static int ClampIndex(int index);
    // Blanks the container's direct children, in child order: labelled edits
    // and edits become empty, themed check boxes unticked (their handlers run
    // when the state changes), combo boxes lose their selection, time pickers
    // show the current time of day, list views are emptied. Anything else,
    // nested controls and the plain check box of the login message included,
    // is left as it is.
    static void ResetControls(QWidget *container);

    // Index of the selected row, the first one in row order when several are
    // selected; -1 when none is.
    static int SelectedRowIndex(const QTreeWidget *view);
    // Text of sub-item subItem (column subItem + 1); empty beyond the row.
    static QString SubItem(const QTreeWidgetItem *row, int subItem);
    static void SetSubItem(QTreeWidgetItem *row, int subItem, const QString &text);
    // Appends a row with its caption and one empty sub-item per column after
    // column 0, each cell aligned like its column's header.
    static QTreeWidgetItem *AppendRow(QTreeWidget *view, const QString &caption);
    // Length of text in bytes in code page 936 (1 per ASCII character, 2 per
    // Chinese character); the unit of the column width rules.
    static int Cp936Length(const QString &text);

    // Makes view a read-only report-style list view with columnCount columns
    // captioned in English, whole-row and multiple selection, and a pop-up
    // menu request instead of the default menu.
    static void SetupReportView(QTreeWidget *view, const char *name, int columnCount);
    // The width a column of view needs to show text whole (in the view's and
    // the header's font), padding included.
    static int ColumnWidthFor(const QTreeWidget *view, const QString &text);
    // Runs handler after a double click anywhere in the view, on a row or on
    // the empty area below the rows, and after Enter or F2 on the current row.
    static void OnDoubleClick(QTreeWidget *view, std::function<void()> handler);

signals:
    // The user changed rows of one of the object's lists: an editor closed
    // with OK, or a row or the whole list cleared from its menu.
    void rowsEdited();
};

// The process-wide base instance.
TBaseSoftInterface &SharedBaseSoftInterface();
