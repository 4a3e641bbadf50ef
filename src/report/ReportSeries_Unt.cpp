#include "report/ReportSeries_Unt.h"

#include "history/HistoryRowTime_Unt.h"
#include "config/ConfigImage_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QCryptographicHash>
#include <QHash>
#include <QLocale>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <numeric>

namespace {

constexpr int DateColumn = 1;
constexpr int TimeColumn = 2;
constexpr int FirstValueColumn = 8;
constexpr int RecordTimeOffset = 4;
constexpr int RecordValuesOffset = 12;

} // namespace

void TReportSeries::Reset(const QVector<TReportChannel> &reportChannels)
{
    channels = reportChannels;
    times.clear();
    values = QVector<QVector<double>>(channels.size());
    rowsSkipped = 0;
}

void TReportSeries::AddRow(qint64 time, const double *rowValues)
{
    times.append(time);
    for (int channel = 0; channel < channels.size(); ++channel)
        values[channel].append(rowValues[channel]);
}

void TReportSeries::SortByTime()
{
    if (std::is_sorted(times.cbegin(), times.cend()))
        return;
    QVector<int> order(times.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return times[a] < times[b]; });
    QVector<qint64> sortedTimes;
    sortedTimes.reserve(times.size());
    for (int row : order)
        sortedTimes.append(times[row]);
    times = sortedTimes;
    for (QVector<double> &column : values) {
        QVector<double> sorted;
        sorted.reserve(column.size());
        for (int row : order)
            sorted.append(column[row]);
        column = sorted;
    }
}

void TReportSeries::KeepPeriod(const QDateTime &begin, const QDateTime &end)
{
    const qint64 from = begin.isValid() ? begin.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    const qint64 to = end.isValid() ? end.toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    QVector<qint64> keptTimes;
    QVector<QVector<double>> keptValues(channels.size());
    for (int row = 0; row < times.size(); ++row) {
        if (times[row] < from || times[row] > to)
            continue;
        keptTimes.append(times[row]);
        for (int channel = 0; channel < channels.size(); ++channel)
            keptValues[channel].append(values[channel][row]);
    }
    times = keptTimes;
    values = keptValues;
}

QByteArray TReportSeries::CanonicalRows() const
{
    QByteArray bytes;
    bytes.reserve(times.size() * (20 + 7 * channels.size()));
    char number[32];
    for (int row = 0; row < times.size(); ++row) {
        bytes += QDateTime::fromMSecsSinceEpoch(times[row]).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
        for (int channel = 0; channel < channels.size(); ++channel) {
            bytes += ',';
            const double value = values[channel][row];
            if (std::isnan(value))
                continue;
            if (std::isinf(value)) {
                bytes += '?';
                continue;
            }
            // Tenths as integers, so that no rounding of the print differs.
            const long long tenths = std::llround(value * 10.0);
            const long long whole = tenths / 10;
            const int fraction = int(std::llabs(tenths % 10));
            std::snprintf(number, sizeof number, "%s%lld.%d", (tenths < 0 && whole == 0) ? "-" : "", whole,
                          fraction);
            bytes += number;
        }
        bytes += '\n';
    }
    return bytes;
}

QString TReportSeries::Sha256() const
{
    return QString::fromLatin1(QCryptographicHash::hash(CanonicalRows(), QCryptographicHash::Sha256).toHex());
}

void TReportSeries::SetRange(TReportChannel &channel, int modelIndex)
{
    if (channel.humidity) {
        channel.rangeMin = 0.0;
        channel.rangeMax = 100.0;
    } else if (modelIndex == 2) {
        channel.rangeMin = -55.0;
        channel.rangeMax = 125.0;
    } else {
        channel.rangeMin = -40.0;
        channel.rangeMax = 80.0;
    }
}

QVector<TReportChannel> TReportSeries::ModelChannels(int modelIndex, int language)
{
    QVector<TReportChannel> channels;
    const QStringList headers = ConstLang::HistoryValueHeaders(modelIndex, language);
    for (int index = 0; index < headers.size(); ++index) {
        TReportChannel channel;
        channel.name = headers.at(index);
        channel.humidity = modelIndex != 2 && index % 2 == 1;
        channel.slot = HistoryRecord::ValueSlot(modelIndex, index);
        SetRange(channel, modelIndex);
        channels.append(channel);
    }
    return channels;
}

TReportSeries TReportSeries::FromGrid(const THistoryGridModel &grid, const QVector<TReportChannel> &channels)
{
    TReportSeries series;
    series.Reset(channels);
    const int lastRow = grid.LastFilledRow();
    series.times.reserve(lastRow);
    for (QVector<double> &column : series.values)
        column.reserve(lastRow);
    const QLocale numbers = QLocale::c();
    HistoryRowTime::TLocalTimes cache;
    QVector<double> row(channels.size());
    for (int gridRow = 1; gridRow <= lastRow; ++gridRow) {
        if (grid.FieldCount(gridRow) == 0)
            continue;
        int date[3];
        int time[3];
        std::optional<qint64> at;
        if (HistoryRowTime::ThreeNumbers(grid.CellView(DateColumn, gridRow), u'/', date)
            && HistoryRowTime::ThreeNumbers(grid.CellView(TimeColumn, gridRow), u':', time))
            at = cache.MSecs(2000 + date[0], date[1], date[2], time[0], time[1], time[2]);
        if (!at) {
            ++series.rowsSkipped;
            continue;
        }
        for (int channel = 0; channel < channels.size(); ++channel) {
            const QStringView cell = grid.CellView(FirstValueColumn + channel, gridRow).trimmed();
            bool ok = !cell.isEmpty();
            const double value = ok ? numbers.toDouble(cell, &ok) : 0.0;
            row[channel] = cell.isEmpty() ? std::numeric_limits<double>::quiet_NaN()
                                          : (ok ? value : std::numeric_limits<double>::infinity());
        }
        series.AddRow(*at, row.constData());
    }
    series.SortByTime();
    return series;
}

TReportSeries TReportSeries::FromRecords(const QVector<TArchivedRecord> &records,
                                         const QVector<TReportChannel> &channels)
{
    TReportSeries series;
    series.Reset(channels);
    series.times.reserve(records.size());
    for (QVector<double> &column : series.values)
        column.reserve(records.size());
    HistoryRowTime::TLocalTimes cache;
    QVector<double> row(channels.size());
    for (const TArchivedRecord &record : records) {
        const QByteArray &raw = record.raw;
        if (raw.size() < HistoryRecord::Size || HistoryRecord::IsEmpty(raw)) {
            ++series.rowsSkipped;
            continue;
        }
        const auto byte = [&raw](int offset) { return int(quint8(raw.at(offset))); };
        const std::optional<qint64> at =
            cache.MSecs(2000 + byte(RecordTimeOffset), byte(RecordTimeOffset + 1), byte(RecordTimeOffset + 2),
                        byte(RecordTimeOffset + 3), byte(RecordTimeOffset + 4), byte(RecordTimeOffset + 5));
        if (!at) {
            ++series.rowsSkipped;
            continue;
        }
        for (int channel = 0; channel < channels.size(); ++channel) {
            const int slot = channels[channel].slot;
            row[channel] = slot < 0 || slot >= HistoryRecord::SlotCount
                               ? std::numeric_limits<double>::quiet_NaN()
                               : qFromLittleEndian<qint16>(raw.constData() + RecordValuesOffset + 2 * slot) / 10.0;
        }
        series.AddRow(*at, row.constData());
    }
    series.SortByTime();
    return series;
}

TReportConfiguration TReportConfiguration::FromImage(const QByteArray &image, int modelIndex, int language)
{
    TReportConfiguration configuration;
    if (image.size() < ConfigMap::ImageSize)
        return configuration;
    const TDecodeResult decoded = DecodeImage(image, modelIndex);
    if (!decoded.Ok())
        return configuration;
    configuration.known = true;
    configuration.channels = TReportSeries::ModelChannels(modelIndex, language);
    for (int row = 0; row < configuration.channels.size(); ++row) {
        TReportChannel &channel = configuration.channels[row];
        const int slot = SensorSlotOfRow(modelIndex, row);
        const QStringList cells = decoded.Values.lvTh.value(row);
        const QString name = cells.value(ConfigCells::ThName).section(QChar(0), 0, 0).trimmed();
        if (!name.isEmpty())
            channel.name = name;
        channel.slot = slot;
        channel.enabled = quint8(image.at(ConfigMap::SensorFlags + slot)) & ConfigMap::SensorEnabledBit;
        // Erased memory (0xFFFF) holds no limit; read as a number it would be
        // -0.1 and make nearly every reading an excursion.
        const auto threshold = [&image](int offset) -> std::optional<double> {
            const quint16 raw = qFromLittleEndian<quint16>(image.constData() + offset);
            if (raw == 0xFFFF)
                return std::nullopt;
            return qint16(raw) / 10.0;
        };
        channel.high = threshold(ConfigMap::SensorHighThresholds + 2 * slot);
        channel.low = threshold(ConfigMap::SensorLowThresholds + 2 * slot);
    }
    const quint16 interval = qFromLittleEndian<quint16>(image.constData() + ConfigMap::RecordInterval);
    configuration.intervalSeconds = interval == 0xFFFF ? 0 : interval;
    configuration.description =
        decoded.Values.Text(ConfigControls::DeviceDescription).section(QChar(0), 0, 0).trimmed();
    return configuration;
}
