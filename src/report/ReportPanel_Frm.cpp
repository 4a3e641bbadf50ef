#include "report/ReportPanel_Frm.h"

#include "lang/ConstLang_Unt.h"
#include "report/ReportDocument_Unt.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *const kHeaderKeys[TReportStatsPanel::ColumnCount] = {
    "RptChannel", "RptReadings", "RptMinimum", "RptMaximum", "RptMean",
    "RptStdDev",  "RptMkt",      "RptExcursions", "RptResult",
};

const QString kNone = QStringLiteral("—");

QString ValueAndTime(double value, qint64 time, const TReportChannel &channel)
{
    return QStringLiteral("%1 (%2)").arg(TReportDocument::ValueText(value, channel), TReportDocument::TimeText(time));
}

// "High 8.0 °C: 2, 00:20:00; Low 2.0 °C: 0" for the limits that are known.
QString ExcursionsText(const TReportDocument &document, const TReportChannel &channel,
                       const ReportStats::TChannelStats &each)
{
    QStringList parts;
    for (const ReportStats::TLimitResult *limit : {&each.high, &each.low}) {
        if (!limit->known)
            continue;
        QString part = document.Text(limit == &each.high ? "RptHigh" : "RptLow")
                           .arg(TReportDocument::ValueText(limit->limit, channel))
                       + QStringLiteral(": ") + QString::number(limit->Count());
        if (limit->Count() > 0)
            part += QStringLiteral(", ") + document.DurationText(limit->totalMs);
        parts << part;
    }
    return parts.isEmpty() ? kNone : parts.join(QStringLiteral("; "));
}

} // namespace

TReportStatsPanel::TReportStatsPanel(QWidget *parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("grp_ReportStats"));
    tbl_ReportStats = new QTableWidget(0, ColumnCount, this);
    tbl_ReportStats->setObjectName(QStringLiteral("tbl_ReportStats"));
    tbl_ReportStats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_ReportStats->setSelectionBehavior(QAbstractItemView::SelectRows);
    tbl_ReportStats->setWordWrap(false);
    tbl_ReportStats->verticalHeader()->hide();
    tbl_ReportStats->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tbl_ReportStats->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tbl_ReportStats->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tbl_ReportStats->horizontalHeader()->setHighlightSections(false);
    lbl_ReportStatsNote = new QLabel(this);
    lbl_ReportStatsNote->setObjectName(QStringLiteral("lbl_ReportStatsNote"));
    lbl_ReportStatsNote->setWordWrap(true);
    lbl_ReportStatsNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lbl_ReportStatsNote);
    layout->addWidget(tbl_ReportStats, 1);
    Retranslate(m_language);
    ShowEmpty(m_language);
}

void TReportStatsPanel::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    setTitle(ConstLang::Text("RptPanel", language));
    QStringList headers;
    for (const char *key : kHeaderKeys)
        headers << ConstLang::Text(key, language);
    tbl_ReportStats->setHorizontalHeaderLabels(headers);
    if (tbl_ReportStats->rowCount() == 0)
        lbl_ReportStatsNote->setText(ConstLang::Text("RptPanelEmpty", language));
}

void TReportStatsPanel::ShowEmpty(int language)
{
    Retranslate(language);
    tbl_ReportStats->setRowCount(0);
    lbl_ReportStatsNote->setText(ConstLang::Text("RptPanelEmpty", m_language));
}

void TReportStatsPanel::ShowDocument(const TReportDocument &document)
{
    Retranslate(document.language);
    const ReportStats::TResult &stats = document.stats;
    if (stats.records == 0) {
        ShowEmpty(document.language);
        return;
    }
    QStringList note;
    note << document.Text("RptPeriod") + QStringLiteral(": ") + document.PeriodText() + QStringLiteral(" (UTC")
                + TReportDocument::OffsetText(stats.first) + QLatin1Char(')');
    note << document.Text("RptRecords") + QStringLiteral(": ") + QString::number(stats.records);
    note << document.Text("RptGaps") + QStringLiteral(": ") + QString::number(stats.gaps.size());
    QString text = note.join(QStringLiteral(" · "));
    if (document.series.rowsSkipped > 0)
        text += QLatin1Char('\n') + document.Text("RptRowsSkipped").arg(document.series.rowsSkipped);
    for (qint64 change : stats.offsetChanges)
        text += QLatin1Char('\n')
                + document.Text("RptOffsetChange")
                      .arg(QDateTime::fromMSecsSinceEpoch(change, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    text += QLatin1Char('\n') + document.LimitsText();
    lbl_ReportStatsNote->setText(text);

    const QVector<TReportChannel> &channels = document.series.channels;
    tbl_ReportStats->setRowCount(int(channels.size()));
    for (int row = 0; row < channels.size(); ++row) {
        const TReportChannel &channel = channels.at(row);
        const ReportStats::TChannelStats &each = stats.channels.at(row);
        QString cells[ColumnCount];
        cells[ColChannel] = channel.enabled ? channel.name
                                            : QStringLiteral("%1 (%2)").arg(channel.name, document.Text("RptSwitchedOff"));
        cells[ColReadings] = QString::number(each.readings);
        const bool readings = each.readings > 0;
        cells[ColMinimum] = readings ? ValueAndTime(each.minimum, each.minimumTime, channel) : kNone;
        cells[ColMaximum] = readings ? ValueAndTime(each.maximum, each.maximumTime, channel) : kNone;
        cells[ColMean] = readings ? QString::number(each.mean, 'f', 2) : kNone;
        cells[ColStdDev] = readings ? QString::number(each.stdDev, 'f', 2) : kNone;
        cells[ColMkt] = each.mkt ? QString::number(*each.mkt, 'f', 2) + QStringLiteral(" °C") : kNone;
        cells[ColExcursions] = channel.enabled ? ExcursionsText(document, channel, each) : kNone;
        const std::optional<bool> pass = each.Pass();
        cells[ColResult] = pass ? document.Text(*pass ? "RptPass" : "RptFail") : kNone;
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = tbl_ReportStats->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                tbl_ReportStats->setItem(row, column, item);
            }
            item->setText(cells[column]);
            item->setForeground(column == ColResult && pass && !*pass ? QBrush(QColor(0xc0, 0, 0)) : QBrush());
            if (column != ColChannel && column != ColExcursions)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}

QString TReportStatsPanel::CellText(int row, TColumn column) const
{
    const QTableWidgetItem *item = tbl_ReportStats->item(row, column);
    return item ? item->text() : QString();
}

int TReportStatsPanel::RowCount() const
{
    return tbl_ReportStats->rowCount();
}
