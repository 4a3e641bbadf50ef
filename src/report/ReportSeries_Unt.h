#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

class THistoryGridModel;
struct TArchivedRecord;

// A sensor channel of a report: one value column of the history grid.
struct TReportChannel
{
    QString name;                       // the channel's name, else the grid header ("Temp1")
    bool humidity = false;              // %RH, else °C
    int slot = -1;                      // the record slot (0..15), -1 when unknown (a CSV)
    // False when the configuration in force has the channel switched off:
    // whatever its slot holds is no reading (sensor absent).
    bool enabled = true;
    std::optional<double> high;         // alarm thresholds in force, °C or %RH
    std::optional<double> low;
    // The sensor's measuring range; a value outside it is an invalid
    // reading (the sensor's error codes lie outside).
    double rangeMin = -40.0;
    double rangeMax = 80.0;
};

// The readings of a period, one row per record, in time order. Times are
// milliseconds since the epoch of the PC's local time the device logged in,
// so that durations across a change of the clock (summer time) are real
// durations. A value is the channel's reading in °C or %RH; NaN stands for
// no reading (an empty cell), +infinity for a cell that is no number.
struct TReportSeries
{
    QVector<TReportChannel> channels;
    QVector<qint64> times;
    QVector<QVector<double>> values;    // values[channel][row]
    int rowsSkipped = 0;                // rows whose date or time could not be read

    int RowCount() const { return int(times.size()); }
    // Sets the channels and empties the rows.
    void Reset(const QVector<TReportChannel> &reportChannels);
    // Appends a row; rowValues holds one value per channel.
    void AddRow(qint64 time, const double *rowValues);
    // Puts the rows in time order (rows of the same time keep their order).
    void SortByTime();
    // Keeps the rows from begin to end, both included; an invalid end of the
    // range leaves that side open.
    void KeepPeriod(const QDateTime &begin, const QDateTime &end);

    // The rows as the report's hash covers them: per row the local time
    // "yyyy-MM-dd HH:mm:ss", then each channel's value with one decimal
    // (empty: no reading, "?": not a number), joined by "," and ended by
    // "\n", UTF-8. The same rows always give the same bytes.
    QByteArray CanonicalRows() const;
    // SHA-256 of CanonicalRows(), 64 lower-case hex digits.
    QString Sha256() const;

    // The measuring range of a channel kind on a model (0 K801, 1 K802,
    // 2 K803): temperature -40..80 °C (K803: -55..125 °C), humidity 0..100 %RH.
    static void SetRange(TReportChannel &channel, int modelIndex);
    // The value channels of a model as the grid shows them, named by the
    // grid's value headers of a language, without limits.
    static QVector<TReportChannel> ModelChannels(int modelIndex, int language);

    // The rows of the grid (a read, an import, an opened archive) whose date
    // and time make a valid moment; value column k is channels[k]. Rows whose
    // date or time cannot be read are counted in rowsSkipped.
    static TReportSeries FromGrid(const THistoryGridModel &grid, const QVector<TReportChannel> &channels);
    // Archived records of a model; channels[k] reads its slot. Records whose
    // date bytes make no valid moment are counted in rowsSkipped.
    static TReportSeries FromRecords(const QVector<TArchivedRecord> &records,
                                     const QVector<TReportChannel> &channels);
};

// What the configuration image read from the device says for a report: the
// channels of the model with their names, enable flags and alarm thresholds
// (tenths in the image), the logging interval and the description.
struct TReportConfiguration
{
    bool known = false;                 // false: no image (limits unknown)
    QVector<TReportChannel> channels;
    int intervalSeconds = 0;            // 0: not set or erased
    QString description;

    // image: at least 3646 bytes; anything shorter gives known = false.
    // Channel names left empty in the image take the grid's header of the language.
    static TReportConfiguration FromImage(const QByteArray &image, int modelIndex, int language);
};
