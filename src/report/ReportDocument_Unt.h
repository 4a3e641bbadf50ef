#pragma once

#include "report/ReportSeries_Unt.h"
#include "report/ReportStatistics_Unt.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

class THistoryArchive;

// Everything a report of one device's period says: who and what it is
// about, the readings with the limits in force, the statistics, and who made
// it. The PDF, the window's statistics panel and the command-line tool's
// JSON all read it, so they cannot tell different stories.
struct TReportDocument
{
    int language = 1;                   // 0 Chinese, 1 English
    QString model;                      // "K801", "K802", "K803"
    int modelIndex = -1;
    QString imei;
    QString firmware;
    QString description;

    // The period asked for; an invalid end is the data's own first or last record.
    QDateTime from;
    QDateTime to;
    TReportSeries series;               // the period's rows; channels carry the limits in force
    ReportStats::TOptions options;
    ReportStats::TResult stats;         // filled by Compute()

    // Where the limits come from: a configuration read from the device at
    // limitsReadTime, with a download (the archive) or by the window. No
    // configuration: limits unknown, no pass or fail.
    bool limitsKnown = false;
    bool limitsFromDownload = false;
    QDateTime limitsReadTime;

    QString generatedBy;                // the OS user name
    QDateTime generatedAt;
    QString program;                    // program name and version
    bool appendix = false;              // the data rows as an appendix

    // Takes what a configuration read from the device at read says: the
    // channels' names, enable flags and alarm limits (matched by slot), the
    // logging interval and the description. An unknown configuration leaves
    // the limits unknown.
    void ApplyConfiguration(const TReportConfiguration &configuration, const QDateTime &read, bool fromDownload);
    // The configuration the archive keeps with the download that brought the
    // period's last record; false (limits unknown) when there is none.
    bool UseArchivedConfiguration(const THistoryArchive &archive);
    // The statistics of the series with the options.
    void Compute();
    // SHA-256 of the data rows (TReportSeries::Sha256).
    QString Hash() const { return series.Sha256(); }

    QString Text(const char *key) const;
    // "yyyy-MM-dd HH:mm:ss" in the PC's local time.
    static QString TimeText(qint64 msecs);
    static QString TimeText(const QDateTime &time);
    // "hh:mm:ss", with the days before it when there are any ("2 d 03:00:00").
    QString DurationText(qint64 msecs) const;
    // One decimal and the unit of the channel ("4.5 °C", "61.2 %RH").
    static QString ValueText(double value, const TReportChannel &channel);
    static QString Unit(const TReportChannel &channel);
    // The UTC offset of a moment, "+08:00".
    static QString OffsetText(qint64 msecs);
    // The period as it is shown: the asked ends, else the data's.
    QString PeriodText() const;
    // The sentence saying where the limits came from, or that they are unknown.
    QString LimitsText() const;
    // The logging interval's text (configured, or the median of the readings).
    QString IntervalText() const;

    // The statistics as stable machine-readable keys (k80x-cli report --json).
    QJsonObject ToJson() const;

    // The user the PC runs this program for.
    static QString UserName();
};
