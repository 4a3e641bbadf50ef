#pragma once

#include <QTreeView>

// Keeps the first visual columns of a list view in place while the others
// scroll sideways: a second view over the same model and selection, laid over
// the list's left edge and showing only those columns. It takes no mouse
// input, so clicks, double-clicks and the pop-up menu reach the list below;
// it follows the list's vertical scrolling and column widths.
//
// Its rows take their heights from the list and its header takes the list's
// header height: a text in a taller script (a Chinese channel name among Latin
// captions) in a scrolled column would otherwise make the list's rows taller
// than the frozen ones, and the two parts would drift apart row by row.
//
// Created by the list's owner; a child of the list.
class TFrozenColumns : public QTreeView
{
    Q_OBJECT
public:
    // Freezes the columns at visual positions 0 .. count - 1 of view.
    TFrozenColumns(QTreeView *view, int count);

    int FrozenWidth() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FollowColumns();
    void FollowRows();
    void Place();

    QTreeView *m_view;
    int m_count;
};
