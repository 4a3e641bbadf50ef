#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// How the protocol debug window writes bytes. Widget-free, so the notations
// can be checked without a window.

// The four notations of the debug window; hex is the one it starts with.
enum class TDisplayMode { Hex, Bits, Decimal, Ansi };

// One logged frame or chunk as the window adds it to its pane.
// Hex "23 ", bits "00100011 ", decimal "35 ": every byte followed by one
// space. Ansi: the bytes as GBK characters without the 0xFF bytes (erased
// memory), empty when the first byte is 0 or there are no bytes; line breaks
// in the bytes stay in the text.
QString FormatFrame(const QByteArray &bytes, TDisplayMode mode);

// All bytes of one direction redrawn after a notation change.
// Hex, bits, decimal: as FormatFrame, one text for all bytes.
// Ansi: every byte as a GBK character (0 and 0xFF included), leading and
// trailing blanks and control characters (up to U+0020) removed from the
// whole, then one space. Empty list: the empty text in every mode.
QString FormatByteList(const QByteArray &bytes, TDisplayMode mode);

// The token a frame-start byte 0x23 becomes: "23", "00100011", "35"; empty
// in Ansi mode, which marks nothing.
QString FrameStartMarker(TDisplayMode mode);

// A run of characters in a line: start index and length.
struct TTextSpan {
    int start = 0;
    int length = 0;
    bool operator==(const TTextSpan &other) const
    {
        return start == other.start && length == other.length;
    }
};

// The space-delimited tokens of line that equal the mode's frame-start
// marker, left to right. None in Ansi mode.
QList<TTextSpan> FrameStartMarks(const QString &line, TDisplayMode mode);

// The lines of a pane's text: split at CR LF, CR or LF; a line break at the
// very end starts no further line; the empty text has no lines.
QStringList PaneLines(const QString &text);

// The number of lines the pane shows for text (PaneLines(text).size()).
int CountLines(const QString &text);
