#include "report/ArchiveFleet_Unt.h"

#include "base/Const_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "report/ReportDocument_Unt.h"

#include <cmath>

namespace {

// Cells before the value columns in HistoryRecord::RowCells: date, time,
// signal, status, DO1, DO2, type.
constexpr int FleetValueCellsFrom = 7;

// Readings beyond a limit in the statistics of a period; -1 when no limit
// of any channel is known.
int FleetReadingsBeyond(const ReportStats::TResult &stats)
{
    bool anyLimit = false;
    int beyond = 0;
    for (const ReportStats::TChannelStats &channel : stats.channels) {
        for (const ReportStats::TLimitResult *limit : {&channel.high, &channel.low}) {
            anyLimit = anyLimit || limit->known;
            for (const ReportStats::TExcursion &excursion : limit->excursions)
                beyond += excursion.readings;
        }
    }
    return anyLimit ? beyond : -1;
}

} // namespace

QString TFleetRow::LastDownloadText() const
{
    return lastDownload.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString TFleetRow::ValuesText(int language) const
{
    if (lastRecord.isEmpty() || HistoryRecord::IsEmpty(lastRecord))
        return QString();
    const QStringList cells =
        HistoryRecord::RowCells(lastRecord, modelIndex, THistoryTexts::ForLanguage(language)).mid(FleetValueCellsFrom);
    const QStringList captions = ConstLang::ThRowCaptions(modelIndex, language);
    QStringList parts;
    for (int index = 0; index < qMin(cells.size(), captions.size()); ++index) {
        const bool humidity = modelIndex != 2 && index % 2 == 1;
        parts << captions.at(index) + QStringLiteral(": ") + cells.at(index)
                     + (humidity ? QStringLiteral(" %RH") : QStringLiteral(" °C"));
    }
    return parts.join(QStringLiteral(", "));
}

QString TFleetRow::LimitsText(int language) const
{
    switch (limits) {
    case TLimits::Within: return ConstLang::Text("TxtFleetWithinLimits", language);
    case TLimits::Crossed: return ConstLang::Text("TxtFleetLimitsCrossed", language).arg(readingsBeyond);
    case TLimits::Unknown: break;
    }
    return ConstLang::Text("TxtFleetLimitsUnknown", language);
}

namespace ArchiveFleet {

QVector<TFleetRow> Rows(const THistoryArchive &archive)
{
    QVector<TFleetRow> rows;
    for (const TArchivedDevice &device : archive.Devices())
        rows.append(RowOf(archive, device));
    return rows;
}

TFleetRow RowOf(const THistoryArchive &archive, const TArchivedDevice &device)
{
    TFleetRow row;
    row.imei = device.imei;
    row.model = device.model;
    row.modelIndex = Const::ModelIndexOf(device.model);
    row.records = device.records;
    row.lastRead = device.lastRead;
    row.lastDownload = device.lastRead;
    row.lastRecord = archive.LastRecord(device.imei).raw;

    // The archive does not note which download stored a record (a record
    // read again is stored once, and a download's records go in batches
    // before the download itself is noted). The last download's records are
    // taken to be those the device logged after the download before it: a
    // download reads on from there, whether it reads the whole log or only
    // the new records.
    const QVector<TArchivedDownload> downloads = archive.Downloads(device.imei);
    QDateTime after;
    if (!downloads.isEmpty()) {
        row.lastDownload = downloads.last().downloaded;
        if (downloads.size() > 1)
            after = downloads.at(downloads.size() - 2).downloaded.addSecs(1);
    }
    if (row.modelIndex < 0)
        return row;

    TReportDocument document;
    document.imei = device.imei;
    document.model = device.model;
    document.modelIndex = row.modelIndex;
    document.series = TReportSeries::FromRecords(archive.Records(device.imei, RecordsRead),
                                                 TReportSeries::ModelChannels(row.modelIndex, ConstLang::English));
    if (after.isValid())
        document.series.KeepPeriod(after, QDateTime());
    // The limits in force are those read with the download that brought the
    // period's last record, as a report of the same records would take them.
    if (!document.UseArchivedConfiguration(archive))
        return row;
    document.Compute();
    const int beyond = FleetReadingsBeyond(document.stats);
    if (beyond < 0)
        return row;
    row.readingsBeyond = beyond;
    row.limits = beyond > 0 ? TFleetRow::TLimits::Crossed : TFleetRow::TLimits::Within;
    return row;
}

int ChannelSlot(int modelIndex, bool humidity, int number)
{
    const int columns = HistoryRecord::ValueColumnCount(modelIndex);
    for (int index = 0; index < columns; ++index) {
        const int slot = HistoryRecord::ValueSlot(modelIndex, index);
        if (slot == (humidity ? 2 * number - 1 : 2 * (number - 1)))
            return slot;
    }
    return -1;
}

TOverlayLine ChannelLine(const THistoryArchive &archive, const QString &imei, int modelIndex, int slot, int limit)
{
    TOverlayLine line;
    line.imei = imei;
    if (slot < 0)
        return line;
    TReportChannel channel;
    channel.slot = slot;
    channel.humidity = modelIndex != 2 && slot % 2 == 1;
    const TReportSeries series = TReportSeries::FromRecords(archive.Records(imei, limit), {channel});
    line.cut = archive.RecordCount(imei) > limit;
    line.points.reserve(series.RowCount());
    for (int row = 0; row < series.RowCount(); ++row) {
        const double value = series.values.at(0).at(row);
        if (std::isfinite(value))
            line.points.append(QPointF(double(series.times.at(row)), value));
    }
    return line;
}

} // namespace ArchiveFleet
