#include "report/ReportPdf_Unt.h"

#include "history/HistoryChartData_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <cmath>

namespace {

constexpr double BodyPoints = 8.5;
constexpr double SmallPoints = 7.0;
constexpr double FooterPoints = 7.0;
// More excursions or gaps than this are counted, not listed.
constexpr int ListedRows = 60;
// Points of one line on the chart; a peak still shows (min and max per bucket).
constexpr int ChartPoints = 1600;

const QColor kPalette[] = {
    QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
    QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
    QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf), QColor(0x39, 0x3b, 0x79), QColor(0xad, 0x49, 0x4a),
    QColor(0x63, 0x79, 0x39), QColor(0x8c, 0x6d, 0x31), QColor(0x7b, 0x41, 0x73), QColor(0x31, 0x82, 0xbd),
};

QColor ChannelColour(int index)
{
    return kPalette[index % int(sizeof kPalette / sizeof kPalette[0])];
}

// Chinese glyphs come from a CJK face, embedded in the file. Digits and
// Latin letters come from a Latin face in both languages: a CJK face's
// digits lose their text in some readers (copied or searched, the hash
// would come out blank).
QFont ReportFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(points);
    return font;
}

// The footer in a monospaced face: it has no ligatures, so the hash reads
// back (copied, searched) exactly as it was computed.
QFont FooterFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Consolas"), QStringLiteral("Courier New"),
                      QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    return font;
}

QString Html(const QString &text)
{
    return text.toHtmlEscaped();
}

QString Cell(const QString &text, bool header = false)
{
    return header ? QStringLiteral("<th>%1</th>").arg(text) : QStringLiteral("<td>%1</td>").arg(text);
}

QString TableStart()
{
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" "
                          "style=\"border-collapse: collapse; border-color: #999\">");
}

QString HeaderRow(const QStringList &captions)
{
    QString row = QStringLiteral("<thead><tr style=\"background-color: #e8e8e8\">");
    for (const QString &caption : captions)
        row += Cell(Html(caption), true);
    return row + QStringLiteral("</tr></thead>");
}

QString LimitText(const std::optional<double> &limit, const TReportChannel &channel, const TReportDocument &document)
{
    if (!document.limitsKnown || !limit)
        return document.Text("RptUnknown");
    return TReportDocument::ValueText(*limit, channel);
}

QString ValueAndTime(double value, qint64 time, const TReportChannel &channel)
{
    return Html(TReportDocument::ValueText(value, channel)) + QStringLiteral("<br/>")
           + Html(TReportDocument::TimeText(time));
}

// Steps of 1, 2 or 5 times a power of ten, about count of them over span.
double NiceStep(double span, int count)
{
    const double rough = span / std::max(1, count);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10.0 * power;
}

struct TAxis
{
    double low = 0;
    double high = 1;
    bool used = false;

    void Take(double value)
    {
        if (!used) {
            low = high = value;
            used = true;
        }
        low = std::min(low, value);
        high = std::max(high, value);
    }
    void Finish()
    {
        if (!used)
            return;
        if (high - low < 1.0) {
            low -= 0.5;
            high += 0.5;
        }
        const double step = NiceStep(high - low, 5);
        low = std::floor(low / step) * step;
        high = std::ceil(high / step) * step;
    }
};

} // namespace

QString TReportPdf::BodyHtml(const TReportDocument &document)
{
    const auto text = [&document](const char *key) { return document.Text(key); };
    const TReportSeries &series = document.series;
    const ReportStats::TResult &stats = document.stats;
    QString html;
    html += QStringLiteral("<h2>%1</h2>").arg(Html(text("RptTitle")));
    html += QStringLiteral("<p>%1</p>")
                .arg(Html(text("RptGenerated")
                              .arg(document.generatedBy, TReportDocument::TimeText(document.generatedAt),
                                   document.program)));

    html += QStringLiteral("<h3>%1</h3>").arg(Html(text("RptDevice"))) + TableStart();
    const QList<QPair<QString, QString>> device{
        {text("RptModel"), document.model},
        {text("RptImei"), document.imei},
        {text("RptFirmware"), document.firmware.isEmpty() ? text("RptUnknown") : document.firmware},
        {text("RptDescription"), document.description},
        {text("RptInterval"), document.IntervalText()},
    };
    for (const auto &field : device)
        html += QStringLiteral("<tr>") + Cell(Html(field.first), true) + Cell(Html(field.second)) + QStringLiteral("</tr>");
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h3>%1</h3><p>").arg(Html(text("RptPeriod")));
    html += Html(document.PeriodText()) + QStringLiteral("<br/>");
    html += Html(text("RptTimeZone").arg(TReportDocument::OffsetText(stats.records ? stats.first
                                                                                   : document.generatedAt.toMSecsSinceEpoch())));
    for (qint64 change : stats.offsetChanges)
        html += QStringLiteral("<br/>")
                + Html(text("RptOffsetChange")
                           .arg(QDateTime::fromMSecsSinceEpoch(change, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    html += QStringLiteral("<br/>%1: %2").arg(Html(text("RptRecords"))).arg(stats.records);
    if (series.rowsSkipped > 0)
        html += QStringLiteral("<br/>") + Html(text("RptRowsSkipped").arg(series.rowsSkipped));
    html += QStringLiteral("</p><p><b>%1</b></p>").arg(Html(document.LimitsText()));

    html += QStringLiteral("<h3>%1</h3>").arg(Html(text("RptChannels"))) + TableStart();
    html += HeaderRow({text("RptChannel"), text("RptUnit"), text("RptLowLimit"), text("RptHighLimit")});
    for (const TReportChannel &channel : series.channels) {
        QString name = Html(channel.name);
        if (!channel.enabled)
            name += QStringLiteral(" (%1)").arg(Html(text("RptSwitchedOff")));
        html += QStringLiteral("<tr>") + Cell(name) + Cell(Html(TReportDocument::Unit(channel)))
                + Cell(Html(LimitText(channel.low, channel, document)))
                + Cell(Html(LimitText(channel.high, channel, document))) + QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");

    html += QStringLiteral("<h3>%1</h3>").arg(Html(text("RptSummary"))) + TableStart();
    html += HeaderRow({text("RptChannel"), text("RptReadings"), text("RptFirstLast"), text("RptMinimum"),
                       text("RptMaximum"), text("RptMean"), text("RptStdDev"), text("RptMkt"), text("RptLeftOut"),
                       text("RptResult")});
    for (int index = 0; index < series.channels.size(); ++index) {
        const TReportChannel &channel = series.channels.at(index);
        const ReportStats::TChannelStats &each = stats.channels.at(index);
        html += QStringLiteral("<tr>") + Cell(Html(channel.name)) + Cell(QString::number(each.readings));
        if (each.readings > 0) {
            html += Cell(Html(TReportDocument::TimeText(each.first)) + QStringLiteral("<br/>")
                         + Html(TReportDocument::TimeText(each.last)));
            html += Cell(ValueAndTime(each.minimum, each.minimumTime, channel));
            html += Cell(ValueAndTime(each.maximum, each.maximumTime, channel));
            html += Cell(Html(QString::number(each.mean, 'f', 2)));
            html += Cell(Html(QString::number(each.stdDev, 'f', 2)));
        } else {
            html += Cell(QString()) + Cell(QString()) + Cell(QString()) + Cell(QString()) + Cell(QString());
        }
        html += Cell(each.mkt ? Html(QString::number(*each.mkt, 'f', 2) + QStringLiteral(" °C")) : QString());
        html += Cell(QStringLiteral("%1 / %2").arg(each.invalid).arg(each.absent));
        const std::optional<bool> pass = each.Pass();
        html += Cell(!pass ? QStringLiteral("—")
                           : (*pass ? Html(text("RptPass"))
                                    : QStringLiteral("<b><font color=\"#c00000\">%1</font></b>").arg(Html(text("RptFail")))));
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p><small>%1</small></p>")
                .arg(Html(text("RptMktNote").arg(QString::number(document.options.deltaH, 'g', 6))));

    html += QStringLiteral("<h3>%1</h3>").arg(Html(text("RptExcursions")));
    if (!document.limitsKnown) {
        html += QStringLiteral("<p>%1</p>").arg(Html(text("RptLimitsUnknown")));
    } else {
        html += TableStart();
        html += HeaderRow({text("RptChannel"), text("RptLimit"), text("RptCount"), text("RptTotalTime"),
                           text("RptLongest"), text("RptFirstStart"), text("RptWorst")});
        QString list;
        int listed = 0;
        int unlisted = 0;
        for (int index = 0; index < series.channels.size(); ++index) {
            const TReportChannel &channel = series.channels.at(index);
            const ReportStats::TChannelStats &each = stats.channels.at(index);
            for (const ReportStats::TLimitResult *limit : {&each.high, &each.low}) {
                if (!limit->known || !channel.enabled)
                    continue;
                const bool above = limit == &each.high;
                const QString limitName =
                    text(above ? "RptHigh" : "RptLow").arg(TReportDocument::ValueText(limit->limit, channel));
                html += QStringLiteral("<tr>") + Cell(Html(channel.name)) + Cell(Html(limitName))
                        + Cell(QString::number(limit->Count()));
                if (limit->Count() == 0) {
                    html += Cell(QString()) + Cell(QString()) + Cell(QString()) + Cell(QString())
                            + QStringLiteral("</tr>");
                    continue;
                }
                const ReportStats::TExcursion *worst = &limit->excursions.first();
                for (const ReportStats::TExcursion &excursion : limit->excursions) {
                    if (above ? excursion.worst > worst->worst : excursion.worst < worst->worst)
                        worst = &excursion;
                    if (listed >= ListedRows) {
                        ++unlisted;
                        continue;
                    }
                    ++listed;
                    QString length = Html(document.DurationText(excursion.Length()));
                    if (excursion.open)
                        length += QStringLiteral(" (%1)").arg(Html(text("RptOpenAtEnd")));
                    list += QStringLiteral("<tr>") + Cell(Html(channel.name)) + Cell(Html(limitName))
                            + Cell(Html(TReportDocument::TimeText(excursion.start)))
                            + Cell(Html(TReportDocument::TimeText(excursion.end))) + Cell(length)
                            + Cell(ValueAndTime(excursion.worst, excursion.worstTime, channel)) + QStringLiteral("</tr>");
                }
                html += Cell(Html(document.DurationText(limit->totalMs)))
                        + Cell(Html(document.DurationText(limit->longestMs)))
                        + Cell(Html(TReportDocument::TimeText(limit->excursions.first().start)))
                        + Cell(ValueAndTime(worst->worst, worst->worstTime, channel)) + QStringLiteral("</tr>");
            }
        }
        html += QStringLiteral("</table>");
        if (list.isEmpty()) {
            html += QStringLiteral("<p>%1</p>").arg(Html(text("RptNoExcursions")));
        } else {
            html += QStringLiteral("<h4>%1</h4>").arg(Html(text("RptEachExcursion"))) + TableStart();
            html += HeaderRow({text("RptChannel"), text("RptLimit"), text("RptStart"), text("RptEnd"), text("RptLength"),
                               text("RptWorst")});
            html += list + QStringLiteral("</table>");
            if (unlisted > 0)
                html += QStringLiteral("<p>%1</p>").arg(Html(text("RptMore").arg(unlisted)));
        }
    }

    html += QStringLiteral("<h3>%1</h3>").arg(Html(text("RptGaps")));
    if (stats.gaps.isEmpty()) {
        html += QStringLiteral("<p>%1</p>").arg(Html(text("RptNoGaps")));
    } else {
        html += QStringLiteral("<p>%1</p>").arg(Html(text("RptGapsText").arg(document.IntervalText())));
        html += TableStart() + HeaderRow({text("RptFrom"), text("RptTo"), text("RptLength")});
        for (int index = 0; index < stats.gaps.size() && index < ListedRows; ++index) {
            const ReportStats::TGap &gap = stats.gaps.at(index);
            html += QStringLiteral("<tr>") + Cell(Html(TReportDocument::TimeText(gap.start)))
                    + Cell(Html(TReportDocument::TimeText(gap.end))) + Cell(Html(document.DurationText(gap.Length())))
                    + QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
        if (stats.gaps.size() > ListedRows)
            html += QStringLiteral("<p>%1</p>").arg(Html(text("RptMore").arg(stats.gaps.size() - ListedRows)));
    }
    html += QStringLiteral("<p><small>%1</small></p>").arg(Html(text("RptHashText")));
    return html;
}

void TReportPdf::DrawChart(QPainter &painter, const QRectF &rect, const TReportDocument &document)
{
    const TReportSeries &series = document.series;
    const ReportStats::TResult &stats = document.stats;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double line = metrics.height();
    const double unit = line / 6.0;

    // The legend under the plot: a swatch and the channel's name, in rows.
    struct TEntry { QString label; QColor colour; double width; };
    QVector<TEntry> entries;
    for (int index = 0; index < series.channels.size(); ++index) {
        const TReportChannel &channel = series.channels.at(index);
        if (!channel.enabled || stats.channels.at(index).readings == 0)
            continue;
        const QString label = channel.name + QStringLiteral(" (") + TReportDocument::Unit(channel) + QLatin1Char(')');
        entries.append({label, ChannelColour(index), 4 * line + metrics.horizontalAdvance(label)});
    }
    int legendRows = entries.isEmpty() ? 0 : 1;
    double x = 0;
    for (const TEntry &entry : entries) {
        if (x > 0 && x + entry.width > rect.width()) {
            ++legendRows;
            x = 0;
        }
        x += entry.width;
    }

    TAxis temperature;
    TAxis humidity;
    for (int index = 0; index < series.channels.size(); ++index) {
        const TReportChannel &channel = series.channels.at(index);
        const ReportStats::TChannelStats &each = stats.channels.at(index);
        if (!channel.enabled || each.readings == 0)
            continue;
        TAxis &axis = channel.humidity ? humidity : temperature;
        axis.Take(each.minimum);
        axis.Take(each.maximum);
        if (document.limitsKnown && channel.high)
            axis.Take(*channel.high);
        if (document.limitsKnown && channel.low)
            axis.Take(*channel.low);
    }
    temperature.Finish();
    humidity.Finish();

    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("-000.0")) + unit * 4;
    QRectF plot = rect.adjusted(temperature.used || !humidity.used ? labelWidth : unit * 4, line * 1.5,
                                humidity.used ? -labelWidth : -unit * 4, -(line * 3.4 + legendRows * line * 1.4));
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    qint64 first = stats.first;
    qint64 last = stats.last;
    if (last <= first) {
        first -= 30 * 60000;
        last += 30 * 60000;
    }
    const auto xOf = [&](qint64 time) { return plot.left() + plot.width() * double(time - first) / double(last - first); };
    const auto yOf = [&](const TAxis &axis, double value) {
        return plot.bottom() - plot.height() * (value - axis.low) / (axis.high - axis.low);
    };

    // Grid, axes and their labels.
    painter.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), unit * 0.5));
    const TAxis &left = temperature.used ? temperature : humidity;
    const double leftStep = NiceStep(left.high - left.low, 5);
    for (double value = left.low; value <= left.high + leftStep / 2; value += leftStep)
        painter.drawLine(QPointF(plot.left(), yOf(left, value)), QPointF(plot.right(), yOf(left, value)));
    painter.setPen(QPen(Qt::black, unit * 0.6));
    painter.drawRect(plot);
    const auto axisLabels = [&](const TAxis &axis, bool onLeft, const QString &title) {
        const double step = NiceStep(axis.high - axis.low, 5);
        for (double value = axis.low; value <= axis.high + step / 2; value += step) {
            const QString label = QString::number(value, 'f', step < 1 ? 1 : 0);
            const double y = yOf(axis, value);
            const QRectF box = onLeft ? QRectF(rect.left(), y - line / 2, plot.left() - rect.left() - unit * 2, line)
                                      : QRectF(plot.right() + unit * 2, y - line / 2, rect.right() - plot.right(), line);
            painter.drawText(box, (onLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, label);
        }
        painter.drawText(QRectF(onLeft ? rect.left() : plot.right() - rect.width() / 2, rect.top(),
                                rect.width() / 2, line),
                         (onLeft ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, title);
    };
    if (temperature.used)
        axisLabels(temperature, true, QStringLiteral("°C"));
    if (humidity.used)
        axisLabels(humidity, !temperature.used, QStringLiteral("%RH"));
    const int ticks = std::max(2, int(plot.width() / (metrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00")) * 1.3)));
    for (int tick = 0; tick <= ticks; ++tick) {
        const qint64 time = first + (last - first) * tick / ticks;
        const double tickX = xOf(time);
        painter.drawLine(QPointF(tickX, plot.bottom()), QPointF(tickX, plot.bottom() + unit * 2));
        const QDateTime moment = QDateTime::fromMSecsSinceEpoch(time);
        const QString label = moment.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\n')
                              + moment.toString(QStringLiteral("HH:mm"));
        const double width = metrics.horizontalAdvance(QStringLiteral("0000-00-00 "));
        const int align = tick == 0 ? Qt::AlignLeft : (tick == ticks ? Qt::AlignRight : Qt::AlignHCenter);
        const double boxLeft = tick == 0 ? tickX : (tick == ticks ? tickX - width : tickX - width / 2);
        painter.drawText(QRectF(boxLeft, plot.bottom() + unit * 2, width, line * 2), align | Qt::AlignTop, label);
    }

    // The lines, broken where readings are missing, then the limits.
    const qint64 breakAfter = stats.intervalMs > 0 ? stats.intervalMs * 3 / 2 : 0;
    painter.setClipRect(plot.adjusted(-unit, -unit, unit, unit));
    for (int index = 0; index < series.channels.size(); ++index) {
        const TReportChannel &channel = series.channels.at(index);
        if (!channel.enabled || stats.channels.at(index).readings == 0)
            continue;
        const TAxis &axis = channel.humidity ? humidity : temperature;
        QVector<QPointF> points;
        const QVector<double> &values = series.values.at(index);
        for (int row = 0; row < values.size(); ++row) {
            const double value = values.at(row);
            if (std::isfinite(value) && value >= channel.rangeMin && value <= channel.rangeMax)
                points.append(QPointF(double(series.times.at(row)), value));
        }
        points = THistoryChartData::Downsample(points, ChartPoints);
        QPainterPath path;
        for (int point = 0; point < points.size(); ++point) {
            const QPointF at(xOf(qint64(points[point].x())), yOf(axis, points[point].y()));
            const bool gapBefore = point > 0 && breakAfter > 0
                                   && qint64(points[point].x() - points[point - 1].x()) > breakAfter;
            if (point == 0 || gapBefore)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        painter.setPen(QPen(ChannelColour(index), unit * 0.8));
        painter.drawPath(path);
        if (points.size() == 1)
            painter.drawEllipse(QPointF(xOf(qint64(points[0].x())), yOf(axis, points[0].y())), unit, unit);
        if (!document.limitsKnown)
            continue;
        QPen dashed(ChannelColour(index), unit * 0.8, Qt::DashLine);
        painter.setPen(dashed);
        for (const std::optional<double> &limit : {channel.high, channel.low}) {
            if (limit)
                painter.drawLine(QPointF(plot.left(), yOf(axis, *limit)), QPointF(plot.right(), yOf(axis, *limit)));
        }
    }
    painter.setClipping(false);

    double legendX = rect.left();
    double legendY = plot.bottom() + line * 3.2;
    for (const TEntry &entry : entries) {
        if (legendX > rect.left() && legendX + entry.width > rect.right()) {
            legendX = rect.left();
            legendY += line * 1.4;
        }
        painter.setPen(QPen(entry.colour, unit * 0.8));
        painter.drawLine(QPointF(legendX, legendY + line / 2), QPointF(legendX + line * 1.5, legendY + line / 2));
        painter.setPen(QPen(entry.colour, unit * 0.8, Qt::DashLine));
        painter.drawLine(QPointF(legendX + line * 1.7, legendY + line / 2), QPointF(legendX + line * 3.2, legendY + line / 2));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(legendX + line * 3.5, legendY, entry.width, line), Qt::AlignLeft | Qt::AlignVCenter,
                         entry.label);
        legendX += entry.width;
    }
    painter.restore();
}

int TReportPdf::Render(const TReportDocument &document, QPagedPaintDevice *device)
{
    device->setPageSize(QPageSize(QPageSize::A4));
    device->setPageOrientation(QPageLayout::Portrait);
    device->setPageMargins(QMarginsF(15, 12, 15, 10), QPageLayout::Millimeter);
    const int dpi = device->logicalDpiY();
    const QSizeF area = device->pageLayout().paintRectPixels(dpi).size();
    const auto points = [dpi](double pt) { return pt * dpi / 72.0; };

    QPainter painter(device);
    const QFont footerFont = FooterFont(FooterPoints);
    const QFontMetricsF footerMetrics(footerFont, device);
    const double footerHeight = footerMetrics.height() * 1.8;
    const double bodyHeight = area.height() - footerHeight;

    QTextDocument text;
    text.documentLayout()->setPaintDevice(device);
    text.setDefaultFont(ReportFont(BodyPoints));
    text.setDocumentMargin(0);
    text.setDefaultStyleSheet(QStringLiteral("h2 { font-size: 15pt; } h3 { font-size: 11pt; } th { text-align: left; }"));
    text.setPageSize(QSizeF(area.width(), bodyHeight));
    text.setHtml(TReportPdf::BodyHtml(document));
    const int textPages = text.pageCount();

    // The appendix: a plain table painted row by row, far quicker than a
    // laid-out document of thousands of rows.
    const QFont smallFont = ReportFont(SmallPoints);
    const QFont titleFont = ReportFont(11);
    const QFontMetricsF smallMetrics(smallFont, device);
    const QFontMetricsF titleMetrics(titleFont, device);
    const double rowHeight = smallMetrics.height() * 1.15;
    const double titleHeight = titleMetrics.height() * 1.6;
    const int rows = document.series.RowCount();
    const int rowsPerPage = std::max(1, int((bodyHeight - titleHeight - rowHeight * 1.5) / rowHeight));
    const int appendixPages = document.appendix ? std::max(1, (rows + rowsPerPage - 1) / rowsPerPage) : 0;
    const int totalPages = textPages + 1 + appendixPages;
    const QString hash = document.Hash();

    const int channels = document.series.channels.size();
    const double timeWidth = smallMetrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + points(6);
    const double valueWidth = channels > 0 ? (area.width() - timeWidth) / channels : 0;

    for (int page = 0; page < totalPages; ++page) {
        if (page > 0)
            device->newPage();
        if (page < textPages) {
            const QRectF view(0, page * bodyHeight, area.width(), bodyHeight);
            painter.save();
            painter.translate(0, -view.top());
            painter.setClipRect(view);
            // A line that starts the next page touches this one's edge;
            // clipped, it would still be in the file's text.
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = view.adjusted(0, 1, 0, -1);
            text.documentLayout()->draw(&painter, context);
            painter.restore();
        } else if (page == textPages) {
            painter.setFont(titleFont);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, 0, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             document.Text("RptChart") + QStringLiteral(" — ") + document.PeriodText());
            painter.setFont(smallFont);
            const double chartHeight = std::min(bodyHeight - titleHeight, area.width() * 0.8);
            DrawChart(painter, QRectF(0, titleHeight, area.width(), chartHeight), document);
        } else {
            const int firstRow = (page - textPages - 1) * rowsPerPage;
            painter.setFont(titleFont);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, 0, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             document.Text("RptAppendix"));
            painter.setFont(smallFont);
            double y = titleHeight;
            painter.fillRect(QRectF(0, y, area.width(), rowHeight), QColor(0xe8, 0xe8, 0xe8));
            painter.drawText(QRectF(0, y, timeWidth, rowHeight), Qt::AlignLeft | Qt::AlignVCenter, document.Text("RptTime"));
            for (int channel = 0; channel < channels; ++channel) {
                const QRectF box(timeWidth + channel * valueWidth, y, valueWidth - points(1), rowHeight);
                painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                                 smallMetrics.elidedText(document.series.channels.at(channel).name, Qt::ElideRight,
                                                         box.width()));
            }
            y += rowHeight * 1.2;
            for (int row = firstRow; row < std::min(rows, firstRow + rowsPerPage); ++row, y += rowHeight) {
                painter.drawText(QRectF(0, y, timeWidth, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                                 TReportDocument::TimeText(document.series.times.at(row)));
                for (int channel = 0; channel < channels; ++channel) {
                    const double value = document.series.values.at(channel).at(row);
                    const QString cell = std::isnan(value) ? QString()
                                         : std::isinf(value) ? QStringLiteral("?")
                                                             : QString::number(value, 'f', 1);
                    painter.drawText(QRectF(timeWidth + channel * valueWidth, y, valueWidth - points(1), rowHeight),
                                     Qt::AlignRight | Qt::AlignVCenter, cell);
                }
            }
        }

        painter.setFont(footerFont);
        painter.setPen(QPen(Qt::darkGray, points(0.5)));
        const double footerTop = area.height() - footerHeight;
        painter.drawLine(QPointF(0, footerTop + footerMetrics.height() * 0.3),
                         QPointF(area.width(), footerTop + footerMetrics.height() * 0.3));
        painter.setPen(Qt::black);
        const QRectF footer(0, footerTop + footerMetrics.height() * 0.5, area.width(), footerMetrics.height());
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, document.Text("RptFooter").arg(hash));
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                         document.Text("RptPage").arg(page + 1).arg(totalPages));
    }
    painter.end();
    return totalPages;
}

TReportPdf::TResult TReportPdf::Write(const TReportDocument &document, const QString &fileName)
{
    TResult result;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = document.Text("RptWriteFailed").arg(fileName, file.errorString());
        return result;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setTitle(document.Text("RptTitle") + QStringLiteral(" ") + document.imei);
        writer.setCreator(document.program);
        result.pages = Render(document, &writer);
    }
    if (!file.commit()) {
        result.error = document.Text("RptWriteFailed").arg(fileName, file.errorString());
        result.pages = 0;
        return result;
    }
    result.ok = true;
    return result;
}
