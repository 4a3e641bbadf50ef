// Statistics of an audit report: mean kinetic temperature, excursions beyond
// the alarm limits, gaps in the log, invalid readings, the data rows' hash,
// and the series read from the grid, archived records and a configuration
// image. Expected values are worked out by hand (or with a pocket
// calculator from the formula), never by the code under test.

#include "config/ConfigImage_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "report/ReportSeries_Unt.h"
#include "report/ReportStatistics_Unt.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <ctime>
#include <limits>

namespace {

constexpr double NoReading = std::numeric_limits<double>::quiet_NaN();
constexpr double NotANumber = std::numeric_limits<double>::infinity();
const QDateTime kStart(QDate(2024, 3, 1), QTime(8, 0));

// One channel of readings at the given minutes after kStart.
TReportSeries OneChannel(const QVector<int> &minutes, const QVector<double> &values, bool humidity = false,
                         std::optional<double> high = std::nullopt, std::optional<double> low = std::nullopt)
{
    TReportChannel channel;
    channel.name = QStringLiteral("Cold room");
    channel.humidity = humidity;
    channel.high = high;
    channel.low = low;
    TReportSeries::SetRange(channel, 0);
    TReportSeries series;
    series.Reset({channel});
    for (int index = 0; index < minutes.size(); ++index)
        series.AddRow(kStart.addSecs(60 * minutes[index]).toMSecsSinceEpoch(), &values[index]);
    return series;
}

qint64 Minutes(qint64 ms)
{
    return ms / 60000;
}

qint64 MinuteOf(qint64 ms)
{
    return (ms - kStart.toMSecsSinceEpoch()) / 60000;
}

} // namespace

class tst_ReportStatistics : public QObject
{
    Q_OBJECT

private slots:
    void mkt_data();
    void mkt();
    void humidityHasNoMkt();
    void extremesMeanAndDeviation();
    void excursions_data();
    void excursions();
    void unknownLimitsGiveNoVerdict();
    void gaps_data();
    void gaps();
    void invalidReadingsSkippedAndCounted();
    void switchedOffChannelHasNoReadings();
    void canonicalRowsAndHash();
    void changedReadingChangesHash();
    void seriesFromGrid();
    void seriesFromRecords();
    void configurationFromImage();
    void offsetChangeInsidePeriod();
};

void tst_ReportStatistics::mkt_data()
{
    QTest::addColumn<QVector<int>>("minutes");
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<double>("deltaH");
    QTest::addColumn<double>("expected");

    QTest::newRow("constant temperature gives itself") << QVector<int>{0, 10, 20, 30}
                                                       << QVector<double>{5.0, 5.0, 5.0, 5.0} << 83.144 << 5.0;
    // ΔH/R = 10000 K: 10000 / -ln((e^(-10000/293.15) + e^(-10000/303.15)) / 2) - 273.15
    QTest::newRow("two temperatures for equal times") << QVector<int>{0, 60} << QVector<double>{20.0, 30.0}
                                                      << 83.144 << 26.2599;
    // Weights 30, 90 and 60 minutes: 30 °C stands for half the time, as
    // above; counted alike the three would give 24.60.
    QTest::newRow("uneven intervals weight by time") << QVector<int>{0, 60, 180}
                                                     << QVector<double>{20.0, 30.0, 20.0} << 83.144 << 26.2599;
    // Weights 5, 65 and 60 minutes.
    QTest::newRow("a gap weighs its neighbours") << QVector<int>{0, 10, 130} << QVector<double>{20.0, 20.0, 30.0}
                                                 << 83.144 << 25.9016;
    // ΔH/R = 60000 / 8.3144 = 7216.392 K.
    QTest::newRow("activation energy 60 kJ/mol") << QVector<int>{0, 60} << QVector<double>{20.0, 30.0} << 60.0
                                                 << 25.9075;
    QTest::newRow("one reading") << QVector<int>{0} << QVector<double>{-18.5} << 83.144 << -18.5;
}

void tst_ReportStatistics::mkt()
{
    QFETCH(QVector<int>, minutes);
    QFETCH(QVector<double>, values);
    QFETCH(double, deltaH);
    QFETCH(double, expected);
    ReportStats::TOptions options;
    options.deltaH = deltaH;
    const ReportStats::TResult result = ReportStats::Compute(OneChannel(minutes, values), options);
    QVERIFY(result.channels.at(0).mkt.has_value());
    QVERIFY2(std::abs(*result.channels.at(0).mkt - expected) < 0.005,
             qPrintable(QString::number(*result.channels.at(0).mkt, 'f', 4)));
}

void tst_ReportStatistics::humidityHasNoMkt()
{
    const ReportStats::TResult result = ReportStats::Compute(OneChannel({0, 10}, {40.0, 60.0}, true));
    QCOMPARE(result.channels.at(0).readings, 2);
    QVERIFY(!result.channels.at(0).mkt.has_value());
}

void tst_ReportStatistics::extremesMeanAndDeviation()
{
    // The first of two equal extremes gives the time.
    const ReportStats::TResult result = ReportStats::Compute(
        OneChannel({0, 10, 20, 30, 40, 50, 60, 70}, {2.0, 4.0, 4.0, 4.0, 5.0, 9.0, 7.0, 9.0}));
    const ReportStats::TChannelStats &stats = result.channels.at(0);
    QCOMPARE(stats.readings, 8);
    QCOMPARE(MinuteOf(stats.first), 0);
    QCOMPARE(MinuteOf(stats.last), 70);
    QCOMPARE(stats.minimum, 2.0);
    QCOMPARE(MinuteOf(stats.minimumTime), 0);
    QCOMPARE(stats.maximum, 9.0);
    QCOMPARE(MinuteOf(stats.maximumTime), 50);
    QCOMPARE(stats.mean, 5.5);
    // Squares about 5.5: 12.25 + 3 × 2.25 + 0.25 + 2 × 12.25 + 2.25 = 46;
    // the sample deviation is the root of 46 / 7.
    QVERIFY(std::abs(stats.stdDev - 2.5635) < 0.0001);
    QCOMPARE(result.records, 8);
}

void tst_ReportStatistics::excursions_data()
{
    QTest::addColumn<QVector<int>>("minutes");
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<int>("highCount");
    QTest::addColumn<int>("highTotalMinutes");
    QTest::addColumn<int>("highLongestMinutes");
    QTest::addColumn<int>("highFirstStart");
    QTest::addColumn<double>("highWorst");
    QTest::addColumn<bool>("highOpen");
    QTest::addColumn<int>("lowCount");
    QTest::addColumn<int>("lowTotalMinutes");
    QTest::addColumn<double>("lowWorst");

    // Limits 2.0 .. 8.0 °C, a reading every 10 minutes.
    QTest::newRow("readings exactly at the limits") << QVector<int>{0, 10, 20, 30}
                                                    << QVector<double>{5.0, 8.0, 2.0, 5.0} << 0 << 0 << 0 << -1
                                                    << 0.0 << false << 0 << 0 << 0.0;
    QTest::newRow("one reading beyond") << QVector<int>{0, 10, 20} << QVector<double>{5.0, 8.1, 5.0} << 1 << 10
                                        << 10 << 10 << 8.1 << false << 0 << 0 << 0.0;
    QTest::newRow("running to the end of the period")
        << QVector<int>{0, 10, 20, 30} << QVector<double>{5.0, 9.0, 9.5, 9.2} << 1 << 20 << 20 << 10 << 9.5 << true
        << 0 << 0 << 0.0;
    QTest::newRow("beyond from the first reading") << QVector<int>{0, 10, 20} << QVector<double>{8.5, 8.2, 7.9}
                                                   << 1 << 20 << 20 << 0 << 8.5 << false << 0 << 0 << 0.0;
    QTest::newRow("two excursions, the longer second")
        << QVector<int>{0, 10, 20, 30, 40, 50, 60} << QVector<double>{5.0, 9.0, 5.0, 5.0, 10.0, 11.0, 5.0} << 2
        << 30 << 20 << 10 << 11.0 << false << 0 << 0 << 0.0;
    QTest::newRow("low limit, back at the limit") << QVector<int>{0, 10, 20, 30}
                                                  << QVector<double>{5.0, 1.9, 2.0, 5.0} << 0 << 0 << 0 << -1 << 0.0
                                                  << false << 1 << 10 << 1.9;
    QTest::newRow("both limits crossed") << QVector<int>{0, 10, 20, 30, 40}
                                         << QVector<double>{8.3, 5.0, -1.0, -2.5, 5.0} << 1 << 10 << 10 << 0 << 8.3
                                         << false << 1 << 20 << -2.5;
    // The 30-minute gap lies inside the run and counts to it.
    QTest::newRow("uneven times") << QVector<int>{0, 5, 35, 40} << QVector<double>{5.0, 12.0, 12.0, 5.0} << 1
                                  << 35 << 35 << 5 << 12.0 << false << 0 << 0 << 0.0;
}

void tst_ReportStatistics::excursions()
{
    QFETCH(QVector<int>, minutes);
    QFETCH(QVector<double>, values);
    QFETCH(int, highCount);
    QFETCH(int, highTotalMinutes);
    QFETCH(int, highLongestMinutes);
    QFETCH(int, highFirstStart);
    QFETCH(double, highWorst);
    QFETCH(bool, highOpen);
    QFETCH(int, lowCount);
    QFETCH(int, lowTotalMinutes);
    QFETCH(double, lowWorst);

    const ReportStats::TResult result = ReportStats::Compute(OneChannel(minutes, values, false, 8.0, 2.0));
    const ReportStats::TChannelStats &stats = result.channels.at(0);
    QVERIFY(stats.high.known);
    QCOMPARE(stats.high.Count(), highCount);
    QCOMPARE(Minutes(stats.high.totalMs), highTotalMinutes);
    QCOMPARE(Minutes(stats.high.longestMs), highLongestMinutes);
    if (highCount > 0) {
        QCOMPARE(MinuteOf(stats.high.excursions.first().start), highFirstStart);
        double worst = stats.high.excursions.first().worst;
        for (const ReportStats::TExcursion &excursion : stats.high.excursions)
            worst = std::max(worst, excursion.worst);
        QCOMPARE(worst, highWorst);
        QCOMPARE(stats.high.excursions.last().open, highOpen);
    }
    QCOMPARE(stats.low.Count(), lowCount);
    QCOMPARE(Minutes(stats.low.totalMs), lowTotalMinutes);
    if (lowCount > 0)
        QCOMPARE(stats.low.excursions.first().worst, lowWorst);
    QVERIFY(stats.Pass().has_value());
    QCOMPARE(*stats.Pass(), highCount == 0 && lowCount == 0);
}

void tst_ReportStatistics::unknownLimitsGiveNoVerdict()
{
    const ReportStats::TResult result = ReportStats::Compute(OneChannel({0, 10, 20}, {5.0, 30.0, 5.0}));
    const ReportStats::TChannelStats &stats = result.channels.at(0);
    QVERIFY(!stats.high.known);
    QCOMPARE(stats.high.Count(), 0);
    QVERIFY(!stats.Pass().has_value());
    QCOMPARE(stats.maximum, 30.0);
}

void tst_ReportStatistics::gaps_data()
{
    QTest::addColumn<QVector<int>>("minutes");
    QTest::addColumn<int>("intervalSeconds");
    QTest::addColumn<int>("expectedIntervalMinutes");
    QTest::addColumn<QVector<int>>("gapStarts");
    QTest::addColumn<QVector<int>>("gapLengths");

    QTest::newRow("exactly 1.5 intervals is no gap") << QVector<int>{0, 10, 20, 35, 45} << 600 << 10
                                                     << QVector<int>{} << QVector<int>{};
    QTest::newRow("one gap at the configured interval") << QVector<int>{0, 10, 20, 36, 46} << 600 << 10
                                                        << QVector<int>{20} << QVector<int>{16};
    QTest::newRow("a shorter configured interval finds more") << QVector<int>{0, 10, 20, 36, 46} << 300 << 5
                                                              << QVector<int>{0, 10, 20, 36}
                                                              << QVector<int>{10, 10, 16, 10};
    QTest::newRow("median interval when unknown") << QVector<int>{0, 10, 20, 30, 90, 100} << 0 << 10
                                                  << QVector<int>{30} << QVector<int>{60};
    QTest::newRow("one record, no interval") << QVector<int>{0} << 0 << 0 << QVector<int>{} << QVector<int>{};
}

void tst_ReportStatistics::gaps()
{
    QFETCH(QVector<int>, minutes);
    QFETCH(int, intervalSeconds);
    QFETCH(int, expectedIntervalMinutes);
    QFETCH(QVector<int>, gapStarts);
    QFETCH(QVector<int>, gapLengths);
    ReportStats::TOptions options;
    options.intervalSeconds = intervalSeconds;
    const ReportStats::TResult result =
        ReportStats::Compute(OneChannel(minutes, QVector<double>(minutes.size(), 5.0)), options);
    QCOMPARE(Minutes(result.intervalMs), expectedIntervalMinutes);
    QCOMPARE(result.intervalFromConfiguration, intervalSeconds > 0);
    QVector<int> starts;
    QVector<int> lengths;
    for (const ReportStats::TGap &gap : result.gaps) {
        starts.append(int(MinuteOf(gap.start)));
        lengths.append(int(Minutes(gap.Length())));
    }
    QCOMPARE(starts, gapStarts);
    QCOMPARE(lengths, gapLengths);
}

void tst_ReportStatistics::invalidReadingsSkippedAndCounted()
{
    // An empty cell, a cell that is no number, and two values outside the
    // K801's -40..80 °C are left out: taken as 0 they would make the
    // minimum 0 and the mean far lower.
    const ReportStats::TResult result = ReportStats::Compute(
        OneChannel({0, 10, 20, 30, 40, 50}, {NoReading, 5.0, NotANumber, 3276.7, -3276.8, 7.0}, false, 8.0, 2.0));
    const ReportStats::TChannelStats &stats = result.channels.at(0);
    QCOMPARE(stats.readings, 2);
    QCOMPARE(stats.absent, 1);
    QCOMPARE(stats.invalid, 3);
    QCOMPARE(stats.minimum, 5.0);
    QCOMPARE(stats.maximum, 7.0);
    QCOMPARE(stats.mean, 6.0);
    QCOMPARE(MinuteOf(stats.first), 10);
    QCOMPARE(MinuteOf(stats.last), 50);
    QCOMPARE(stats.high.Count(), 0);
    QCOMPARE(stats.low.Count(), 0);
    QCOMPARE(*stats.Pass(), true);
}

void tst_ReportStatistics::switchedOffChannelHasNoReadings()
{
    TReportSeries series = OneChannel({0, 10}, {5.0, 6.0}, false, 8.0, 2.0);
    series.channels[0].enabled = false;
    const ReportStats::TChannelStats stats = ReportStats::Compute(series).channels.at(0);
    QCOMPARE(stats.readings, 0);
    QCOMPARE(stats.absent, 2);
    QVERIFY(!stats.mkt.has_value());
    QVERIFY(!stats.Pass().has_value());
}

void tst_ReportStatistics::canonicalRowsAndHash()
{
    TReportChannel channel;
    TReportSeries series;
    series.Reset({channel, channel, channel});
    const double first[] = {4.5, NoReading, NotANumber};
    const double second[] = {-0.5, 12.0, 3.1};
    series.AddRow(kStart.toMSecsSinceEpoch(), first);
    series.AddRow(kStart.addSecs(600).toMSecsSinceEpoch(), second);
    QCOMPARE(series.CanonicalRows(),
             QByteArray("2024-03-01 08:00:00,4.5,,?\n2024-03-01 08:10:00,-0.5,12.0,3.1\n"));
    // sha256sum of the two lines above.
    QCOMPARE(series.Sha256(), QStringLiteral("097a345b6fa2c0acebc62c0b8ab1ca77954b45f0086fe9ea05347166af5ad3ba"));
}

void tst_ReportStatistics::changedReadingChangesHash()
{
    const TReportSeries original = OneChannel({0, 10, 20}, {5.0, 6.0, 7.0});
    const TReportSeries same = OneChannel({0, 10, 20}, {5.0, 6.0, 7.0});
    const TReportSeries changed = OneChannel({0, 10, 20}, {5.0, 6.1, 7.0});
    QCOMPARE(same.Sha256(), original.Sha256());
    QVERIFY(changed.Sha256() != original.Sha256());
}

void tst_ReportStatistics::seriesFromGrid()
{
    THistoryGridModel grid;
    grid.SetCells(1, 1, {"24/3/1", "8:10:0", "20", "Arm", "Open", "Open", "Interval", "4.5", "", "x"});
    grid.SetCells(2, 1, {"24/3/1", "8:0:0", "20", "Arm", "Open", "Open", "Interval", "-1.5", "55.0", "3.0"});
    grid.SetCells(3, 1, {"24/13/1", "8:20:0", "20", "Arm", "Open", "Open", "Interval", "9.9", "50.0", "3.0"});
    QVector<TReportChannel> channels = TReportSeries::ModelChannels(0, 1);
    channels.resize(3);
    const TReportSeries series = TReportSeries::FromGrid(grid, channels);
    QCOMPARE(series.RowCount(), 2);
    QCOMPARE(series.rowsSkipped, 1);
    // Sorted by time: the 8:00 row first.
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(series.times.at(0)), kStart);
    QCOMPARE(series.values.at(0), (QVector<double>{-1.5, 4.5}));
    QCOMPARE(series.values.at(1).at(0), 55.0);
    QVERIFY(std::isnan(series.values.at(1).at(1)));
    QVERIFY(std::isinf(series.values.at(2).at(1)));
    QCOMPARE(series.channels.at(1).name, QStringLiteral("Hum1"));
    QVERIFY(series.channels.at(1).humidity);
}

void tst_ReportStatistics::seriesFromRecords()
{
    QByteArray raw(64, char(0xFF));
    raw[0] = raw[1] = raw[2] = raw[3] = 0;
    const char stamp[] = {24, 3, 1, 8, 0, 0};
    for (int part = 0; part < 6; ++part)
        raw[4 + part] = stamp[part];
    qToLittleEndian<qint16>(-55, raw.data() + 12);      // slot 0: -5.5
    qToLittleEndian<qint16>(612, raw.data() + 14);      // slot 1: 61.2
    qToLittleEndian<qint16>(253, raw.data() + 16);      // slot 2: 25.3
    QByteArray empty(64, char(0xFF));
    const QVector<TReportChannel> channels = TReportSeries::ModelChannels(2, 0);   // K803: even slots
    const TReportSeries series = TReportSeries::FromRecords({{1, raw}, {2, empty}}, channels);
    QCOMPARE(series.RowCount(), 1);
    QCOMPARE(series.rowsSkipped, 1);
    QCOMPARE(series.values.at(0).at(0), -5.5);
    QCOMPARE(series.values.at(1).at(0), 25.3);
    QCOMPARE(series.channels.at(1).name, QStringLiteral("温度2"));
    QCOMPARE(series.channels.at(1).rangeMin, -55.0);
}

void tst_ReportStatistics::configurationFromImage()
{
    QByteArray image(ConfigMap::ImageSize, char(0xFF));
    const QByteArray name("Fridge A");
    image.replace(ConfigMap::SensorNames, name.size(), name);
    image[ConfigMap::SensorNames + name.size()] = 0;
    // Slot 0: 8.5 .. 2.5 °C (the list would show 8 and 2), slot 1 off.
    qToLittleEndian<qint16>(85, image.data() + ConfigMap::SensorHighThresholds);
    qToLittleEndian<qint16>(25, image.data() + ConfigMap::SensorLowThresholds);
    image[ConfigMap::SensorFlags] = char(0x41);
    image[ConfigMap::SensorFlags + 1] = char(0x40);
    qToLittleEndian<qint16>(-55, image.data() + ConfigMap::SensorLowThresholds + 2);
    qToLittleEndian<quint16>(300, image.data() + ConfigMap::RecordInterval);
    const TReportConfiguration configuration = TReportConfiguration::FromImage(image, 0, 1);
    QVERIFY(configuration.known);
    QCOMPARE(configuration.channels.size(), 8);
    QCOMPARE(configuration.channels.at(0).name, QStringLiteral("Fridge A"));
    QCOMPARE(*configuration.channels.at(0).high, 8.5);
    QCOMPARE(*configuration.channels.at(0).low, 2.5);
    QVERIFY(configuration.channels.at(0).enabled);
    QVERIFY(!configuration.channels.at(1).enabled);
    QCOMPARE(*configuration.channels.at(1).low, -5.5);
    // Slot 1's high threshold is erased memory: no limit, not -0.1.
    QVERIFY(!configuration.channels.at(1).high.has_value());
    QCOMPARE(configuration.channels.at(1).name, QStringLiteral("Hum1"));
    QCOMPARE(configuration.intervalSeconds, 300);
    QVERIFY(!TReportConfiguration::FromImage(image.left(100), 0, 1).known);
}

void tst_ReportStatistics::offsetChangeInsidePeriod()
{
    // Berlin went to summer time on 2024-03-31 at 01:00 UTC.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    TReportSeries series = OneChannel({}, {});
    const double value = 5.0;
    series.AddRow(QDateTime(QDate(2024, 3, 30), QTime(12, 0)).toMSecsSinceEpoch(), &value);
    series.AddRow(QDateTime(QDate(2024, 3, 31), QTime(12, 0)).toMSecsSinceEpoch(), &value);
    const ReportStats::TResult result = ReportStats::Compute(series);
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
    QCOMPARE(result.offsetChanges.size(), 1);
    QCOMPARE(QDateTime::fromMSecsSinceEpoch(result.offsetChanges.at(0), Qt::UTC),
             QDateTime(QDate(2024, 3, 31), QTime(1, 0), Qt::UTC));
    // The 24 hours of the calendar were 23 real ones.
    QCOMPARE(series.times.at(1) - series.times.at(0), qint64(23) * 3600 * 1000);
}

QTEST_GUILESS_MAIN(tst_ReportStatistics)
#include "tst_ReportStatistics.moc"
