#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One field whose value differs between two configuration images: a control
// of the panes (Row and SubItem -1), or a cell of a list (Control is the
// list's name). Before and After are the texts the panes would show.
// A difference in bytes no field shows (reserved areas) is reported with an
// empty Control and the offset of its area's first differing byte in Row
// (named by FieldCaptions::AreaCaption), Before and After in hex.
struct TFieldDiff
{
    QString Control;
    int Row = -1;
    int SubItem = -1;
    QString Before;
    QString After;
};

// The fields that differ between image before and image after (3646 bytes
// each) when both are decoded for modelIndex, in the order of the panes.
// Empty when the images are byte for byte equal. An image that does not
// decode gives one entry with an empty Control and Row -1.
QList<TFieldDiff> DiffConfigImages(const QByteArray &before, const QByteArray &after, int modelIndex);

// The fields in which settings (an image encoded from the panes or a
// profile) differ from a device's image, the device's image taken as the
// panes would show it. Compare with Device and the command-line tool's diff
// both go through here, so that they agree.
QList<TFieldDiff> DiffDeviceWithSettings(const QByteArray &device, const QByteArray &settings, int modelIndex);

// A value of a difference as the panes show it in a language: the timer
// list's day and action codes in words (as the timer list shows them),
// anything else as it is.
QString DiffValueText(const TFieldDiff &diff, const QString &value, int language);

// The on-screen caption of the field a difference names (FieldCaptions), as
// the window's difference tables and the command-line tool list it.
QString DiffCaption(const TFieldDiff &diff, int modelIndex, int language);
