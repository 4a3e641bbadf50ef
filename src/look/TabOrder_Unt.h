#pragma once

#include <QList>

class QWidget;

// Tab and Shift+Tab follow what the eye reads: the focus stops under a pane
// or dialog in the order its layouts place them (grid rows top to bottom,
// each row left to right; boxes in their direction), into groups and
// composite fields, whatever order the controls were created in.
namespace TabOrder {

// The controls under root that take the focus by Tab, in layout order. A
// list, a tab page control, a spin or combo box counts as one stop.
QList<QWidget *> VisualOrder(QWidget *root);

// Makes Tab and Shift+Tab step through VisualOrder(root) (skipping stops
// that are hidden or disabled; a date or time field is left section by
// section first) and returns its first stop (null when there is none), the
// field an editor starts on. Calling it again for root replaces the order.
QWidget *FollowLayout(QWidget *root);

} // namespace TabOrder
