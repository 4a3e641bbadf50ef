#pragma once

#include "config/ConfigImage_Unt.h"

#include <QString>
#include <QStringList>

// The captions the main window shows for the configuration's fields, taken
// from the language tables without any window: an edit's label, a check
// box's caption, the label beside a combo box, and "row / column" for a list
// cell. Bytes no field shows are named by their area ("Timer 5", "reserved
// bytes of page 3"). The
// window, the command-line tool, the difference tables and the profiles all
// name fields and list rows through here, so they cannot drift apart.
namespace FieldCaptions {

// Row captions of a list view ("lvDo", "lvTh", "lvTel", "lvTimer") in a
// language, as the window shows them (lvTh by model; empty for no model),
// with the list's own padding ("  1" for the numbered lists).
QStringList RowCaptions(const QString &view, int modelIndex, int language);

// control: a control's or list's object name (empty: the image byte `row`);
// row and subItem: the list cell, -1 for a control.
QString Caption(const QString &control, int row, int subItem, int modelIndex, int language);

// The name of the area an image byte lies in: the caption of a single
// field, else the list row or sensor slot it belongs to, else the reserved
// bytes of its page (pages counted from 1 as the write counts them).
QString AreaCaption(int offset, int modelIndex, int language);

// The window's message for a value that cannot be encoded, naming the field.
QString EncodeErrorText(const TConfigError &error, int modelIndex, int language);

} // namespace FieldCaptions
