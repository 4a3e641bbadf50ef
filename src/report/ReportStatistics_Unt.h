#pragma once

#include "report/ReportSeries_Unt.h"

#include <QVector>

#include <optional>

// The statistics of a period that an audit report shows: per channel the
// readings, their extremes, mean, standard deviation, mean kinetic
// temperature and the alarm excursions, and the gaps in the log.
namespace ReportStats {

// Default activation energy of the mean kinetic temperature, kJ/mol, and
// the gas constant, J/(mol·K).
constexpr double DefaultDeltaH = 83.144;
constexpr double GasConstant = 8.3144;
constexpr double KelvinOffset = 273.15;

struct TOptions
{
    double deltaH = DefaultDeltaH;      // kJ/mol
    // The logging interval from the configuration in force, seconds; 0 when
    // unknown, the median interval of the readings stands in.
    int intervalSeconds = 0;
};

// One run of readings beyond a limit. It lasts from its first reading beyond
// to the first reading back within; a run that reaches the end of the
// period lasts to its last reading and stays open.
struct TExcursion
{
    qint64 start = 0;
    qint64 end = 0;
    int readings = 0;
    double worst = 0;                   // the highest (high limit) or lowest (low limit) value
    qint64 worstTime = 0;
    bool open = false;
    qint64 Length() const { return end - start; }
};

// A high or a low limit over the period. A reading exactly at the limit is
// within it.
struct TLimitResult
{
    bool known = false;                 // false: the limit is unknown, nothing below counts
    double limit = 0;
    QVector<TExcursion> excursions;
    qint64 totalMs = 0;
    qint64 longestMs = 0;
    int Count() const { return int(excursions.size()); }
};

struct TChannelStats
{
    int readings = 0;                   // valid readings
    int absent = 0;                     // no reading: empty cell or channel switched off
    int invalid = 0;                    // not a number, or outside the sensor's range
    qint64 first = 0, last = 0;         // times of the first and last valid reading
    double minimum = 0, maximum = 0;
    qint64 minimumTime = 0, maximumTime = 0;
    double mean = 0;
    double stdDev = 0;                  // sample standard deviation (n - 1); 0 for one reading
    std::optional<double> mkt;          // temperature channels with readings, °C
    TLimitResult high;
    TLimitResult low;
    // Within both limits for the whole period; no value when a limit is
    // unknown or there are no readings.
    std::optional<bool> Pass() const;
};

// Readings missing: the time between two records is longer than 1.5 times
// the logging interval.
struct TGap
{
    qint64 start = 0;                   // the record before the gap
    qint64 end = 0;                     // the record after it
    qint64 Length() const { return end - start; }
};

struct TResult
{
    int records = 0;
    qint64 first = 0, last = 0;
    qint64 intervalMs = 0;              // the interval the gaps were measured against
    bool intervalFromConfiguration = false;
    QVector<TChannelStats> channels;    // one per series channel
    QVector<TGap> gaps;
    // Times at which the PC's UTC offset changes inside the period (summer time).
    QVector<qint64> offsetChanges;
};

// Mean kinetic temperature of readings in °C weighted by weights (any unit),
// deltaH in kJ/mol: (ΔH/R) / (−ln(Σ wᵢ·e^(−ΔH/(R·Tᵢ)) / Σ wᵢ)), back in °C.
// No value when there are no readings or the weights are all 0.
std::optional<double> MeanKineticTemperature(const QVector<double> &celsius, const QVector<double> &weights,
                                             double deltaH = DefaultDeltaH);

// Every statistic of the series.
TResult Compute(const TReportSeries &series, const TOptions &options = TOptions());

} // namespace ReportStats
