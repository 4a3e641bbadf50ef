#pragma once

#include "report/ReportDocument_Unt.h"

#include <QString>

class QPagedPaintDevice;
class QPainter;
class QRectF;

// The report as pages: the text (device, period, limits, statistics,
// excursions, gaps) laid out by a QTextDocument, a page with the chart of
// the period and its dashed limit lines, and the data rows as an appendix
// when asked for. Every page's footer carries the SHA-256 of the data rows
// and "page i of n". QtGui only: the command-line tool makes the same PDF
// on the offscreen platform.
class TReportPdf
{
public:
    // The outcome of writing a file.
    struct TResult
    {
        bool ok = false;
        int pages = 0;
        QString error;     // the message for the user, in the document's language
    };

    // Paints every page onto device (a QPdfWriter, or a QPrinter of the
    // print preview), which must not be painted yet. Returns the page count.
    static int Render(const TReportDocument &document, QPagedPaintDevice *device);

    // Writes the PDF through a temporary file that replaces fileName only
    // when everything was written, so a file open in another program is
    // left whole and the user told so.
    [[nodiscard]] static TResult Write(const TReportDocument &document, const QString &fileName);

    // The chart of the period in rect: one line per channel (gaps left
    // open), each channel's limits as dashed lines of its colour,
    // temperatures on the left axis, humidity on the right.
    static void DrawChart(QPainter &painter, const QRectF &rect, const TReportDocument &document);

    // The body text as HTML (what the text pages show).
    static QString BodyHtml(const TReportDocument &document);
};
