#include "report/ReportStatistics_Unt.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace ReportStats {

namespace {

// Limits and readings are tenths on the device; comparing them as whole
// tenths keeps a reading exactly at the limit within it.
long long Tenths(double value)
{
    return std::llround(value * 10.0);
}

bool Valid(const TReportChannel &channel, double value)
{
    return std::isfinite(value) && value >= channel.rangeMin && value <= channel.rangeMax;
}

// The runs of readings beyond a limit; above: the high limit.
TLimitResult Excursions(const QVector<qint64> &times, const QVector<double> &values, const QVector<int> &valid,
                        std::optional<double> limit, bool above)
{
    TLimitResult result;
    if (!limit)
        return result;
    result.known = true;
    result.limit = *limit;
    const long long limitTenths = Tenths(*limit);
    bool inRun = false;
    TExcursion run;
    for (int row : valid) {
        const double value = values[row];
        const long long tenths = Tenths(value);
        const bool beyond = above ? tenths > limitTenths : tenths < limitTenths;
        if (beyond) {
            if (!inRun) {
                inRun = true;
                run = TExcursion();
                run.start = times[row];
                run.worst = value;
                run.worstTime = times[row];
            } else if (above ? value > run.worst : value < run.worst) {
                run.worst = value;
                run.worstTime = times[row];
            }
            ++run.readings;
            run.end = times[row];
        } else if (inRun) {
            run.end = times[row];
            result.excursions.append(run);
            inRun = false;
        }
    }
    if (inRun) {
        run.open = true;
        result.excursions.append(run);
    }
    for (const TExcursion &excursion : result.excursions) {
        result.totalMs += excursion.Length();
        result.longestMs = std::max(result.longestMs, excursion.Length());
    }
    return result;
}

TChannelStats ChannelStats(const TReportSeries &series, int index, double deltaH)
{
    const TReportChannel &channel = series.channels[index];
    const QVector<double> &values = series.values[index];
    const QVector<qint64> &times = series.times;
    TChannelStats stats;
    QVector<int> valid;
    valid.reserve(values.size());
    for (int row = 0; row < values.size(); ++row) {
        const double value = values[row];
        if (!channel.enabled || std::isnan(value))
            ++stats.absent;
        else if (!Valid(channel, value))
            ++stats.invalid;
        else
            valid.append(row);
    }
    stats.readings = int(valid.size());
    if (valid.isEmpty())
        return stats;

    stats.first = times[valid.first()];
    stats.last = times[valid.last()];
    stats.minimum = stats.maximum = values[valid.first()];
    stats.minimumTime = stats.maximumTime = stats.first;
    double sum = 0;
    for (int row : valid) {
        const double value = values[row];
        sum += value;
        if (value < stats.minimum) {
            stats.minimum = value;
            stats.minimumTime = times[row];
        }
        if (value > stats.maximum) {
            stats.maximum = value;
            stats.maximumTime = times[row];
        }
    }
    stats.mean = sum / stats.readings;
    if (stats.readings > 1) {
        double squares = 0;
        for (int row : valid) {
            const double deviation = values[row] - stats.mean;
            squares += deviation * deviation;
        }
        stats.stdDev = std::sqrt(squares / (stats.readings - 1));
    }

    if (!channel.humidity) {
        // Each reading stands for half the time to each neighbour.
        QVector<double> celsius(valid.size());
        QVector<double> weights(valid.size());
        for (int k = 0; k < valid.size(); ++k) {
            celsius[k] = values[valid[k]];
            const qint64 before = k > 0 ? times[valid[k]] - times[valid[k - 1]] : 0;
            const qint64 after = k + 1 < valid.size() ? times[valid[k + 1]] - times[valid[k]] : 0;
            weights[k] = double(before + after) / 2.0;
        }
        if (valid.size() == 1)
            weights[0] = 1.0;
        stats.mkt = MeanKineticTemperature(celsius, weights, deltaH);
        // Readings all at one moment: each counts alike.
        if (!stats.mkt)
            stats.mkt = MeanKineticTemperature(celsius, QVector<double>(valid.size(), 1.0), deltaH);
    }

    stats.high = Excursions(times, values, valid, channel.high, true);
    stats.low = Excursions(times, values, valid, channel.low, false);
    return stats;
}

} // namespace

std::optional<bool> TChannelStats::Pass() const
{
    if (!high.known || !low.known || readings == 0)
        return std::nullopt;
    return high.excursions.isEmpty() && low.excursions.isEmpty();
}

std::optional<double> MeanKineticTemperature(const QVector<double> &celsius, const QVector<double> &weights,
                                             double deltaH)
{
    if (celsius.isEmpty() || celsius.size() != weights.size())
        return std::nullopt;
    const double activation = deltaH * 1000.0 / GasConstant; // ΔH/R in kelvin
    double weighted = 0;
    double total = 0;
    for (int index = 0; index < celsius.size(); ++index) {
        weighted += weights[index] * std::exp(-activation / (celsius[index] + KelvinOffset));
        total += weights[index];
    }
    if (total <= 0 || weighted <= 0)
        return std::nullopt;
    return activation / -std::log(weighted / total) - KelvinOffset;
}

TResult Compute(const TReportSeries &series, const TOptions &options)
{
    TResult result;
    result.records = series.RowCount();
    const QVector<qint64> &times = series.times;
    if (!times.isEmpty()) {
        result.first = times.first();
        result.last = times.last();
    }
    result.channels.reserve(series.channels.size());
    for (int channel = 0; channel < series.channels.size(); ++channel)
        result.channels.append(ChannelStats(series, channel, options.deltaH));

    if (options.intervalSeconds > 0) {
        result.intervalMs = qint64(options.intervalSeconds) * 1000;
        result.intervalFromConfiguration = true;
    } else if (times.size() > 1) {
        QVector<qint64> steps;
        steps.reserve(times.size() - 1);
        for (int row = 1; row < times.size(); ++row) {
            if (times[row] > times[row - 1])
                steps.append(times[row] - times[row - 1]);
        }
        if (!steps.isEmpty()) {
            auto middle = steps.begin() + steps.size() / 2;
            std::nth_element(steps.begin(), middle, steps.end());
            result.intervalMs = *middle;
        }
    }
    if (result.intervalMs > 0) {
        for (int row = 1; row < times.size(); ++row) {
            // Longer than 1.5 intervals, in whole milliseconds.
            if (2 * (times[row] - times[row - 1]) > 3 * result.intervalMs)
                result.gaps.append(TGap{times[row - 1], times[row]});
        }
    }

    if (result.records > 0) {
        const QTimeZone zone = QTimeZone::systemTimeZone();
        if (zone.hasTransitions()) {
            const auto transitions = zone.transitions(QDateTime::fromMSecsSinceEpoch(result.first),
                                                      QDateTime::fromMSecsSinceEpoch(result.last));
            for (const QTimeZone::OffsetData &transition : transitions)
                result.offsetChanges.append(transition.atUtc.toMSecsSinceEpoch());
        }
    }
    return result;
}

} // namespace ReportStats
