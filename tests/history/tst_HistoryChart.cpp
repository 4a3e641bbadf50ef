// The chart of the history grid: the points and threshold lines it takes
// from a small grid, rows it cannot read, thinning for the screen, picking
// channels, and the picture it saves.
#include "history/HistoryChart_Frm.h"
#include "history/HistoryChartData_Unt.h"
#include "history/HistoryGridModel_Unt.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QLineSeries>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

namespace {

// A K801-style grid (8 value columns: Temp1, Hum1, ... Hum4) with rows.
void FillGrid(THistoryGridModel &grid, const QList<QStringList> &rows)
{
    grid.SetColCount(16);
    const QStringList headers = {"Temp1", "Hum1", "Temp2", "Hum2", "Temp3", "Hum3", "Temp4", "Hum4"};
    for (int index = 0; index < headers.size(); ++index)
        grid.SetCell(8 + index, 0, headers.at(index));
    for (int row = 0; row < rows.size(); ++row)
        grid.SetCells(row + 1, 1, rows.at(row));
}

QStringList Row(const QString &date, const QString &time, const QStringList &values)
{
    return QStringList{date, time, "25", "Arm", "Open", "Open", "Interval"} + values;
}

qreal At(int year, int month, int day, int hour, int minute, int second)
{
    return qreal(QDateTime(QDate(year, month, day), QTime(hour, minute, second)).toMSecsSinceEpoch());
}

const QList<QStringList> kRows = {
    Row("26/3/1", "9:5:0", {"23.4", "56.0", "-12.5", "40.0", "0.0", "0.0", "0.0", "0.0"}),
    Row("26/3/1", "9:15:0", {"23.9", "57.5", "-12.0", "41.0", "0.0", "0.0", "0.0", "0.0"}),
    Row("26/3/1", "9:25:0", {"24.1", "58.0", "-11.5", "42.5", "0.0", "0.0", "0.0", "0.1"}),
};

} // namespace

class TestHistoryChart : public QObject
{
    Q_OBJECT

private slots:
    void seriesComeFromTheGridRows()
    {
        THistoryGridModel grid;
        FillGrid(grid, kRows);
        QVector<TChartChannelInfo> channels(8);
        channels[0].name = QStringLiteral("Cold room");
        channels[0].high = 25.0;
        channels[0].low = -5.5;
        channels[3].low = 20.0;
        const THistoryChartData data = THistoryChartData::FromGrid(grid, 0, channels);

        QCOMPARE(data.series.size(), 8);
        QCOMPARE(data.rowsUsed, 3);
        QCOMPARE(data.rowsSkipped, 0);
        const TChartSeries &first = data.series.at(0);
        QCOMPARE(first.name, QStringLiteral("Cold room"));
        QVERIFY(!first.humidity);
        QCOMPARE(first.points.size(), 3);
        QCOMPARE(first.points.first(), QPointF(At(2026, 3, 1, 9, 5, 0), 23.4));
        QCOMPARE(first.points.last(), QPointF(At(2026, 3, 1, 9, 25, 0), 24.1));
        QCOMPARE(first.high, std::optional<double>(25.0));
        QCOMPARE(first.low, std::optional<double>(-5.5));
        // Names from the headers where the channel rows give none.
        QCOMPARE(data.series.at(1).name, QStringLiteral("Hum1"));
        QVERIFY(data.series.at(1).humidity);
        QCOMPARE(data.series.at(2).points.first().y(), -12.5);
        QCOMPARE(data.series.at(3).low, std::optional<double>(20.0));
        QVERIFY(!data.series.at(3).high);
        QCOMPARE(data.series.at(7).points.last().y(), 0.1);
        QCOMPARE(data.firstX, At(2026, 3, 1, 9, 5, 0));
        QCOMPARE(data.lastX, At(2026, 3, 1, 9, 25, 0));

        // A K803 shows temperatures only.
        const THistoryChartData k803 = THistoryChartData::FromGrid(grid, 2, {});
        for (const TChartSeries &series : k803.series)
            QVERIFY(!series.humidity);
    }

    void rowsItCannotReadAreSkippedAndCounted_data()
    {
        QTest::addColumn<QStringList>("badRow");
        QTest::newRow("month 13") << Row("26/13/1", "9:35:0", {"1.0"});
        QTest::newRow("four-digit date parts") << Row("2026-03-01", "9:35:0", {"1.0"});
        QTest::newRow("hour 24") << Row("26/3/1", "24:0:0", {"1.0"});
        QTest::newRow("time missing") << Row("26/3/1", "", {"1.0"});
        QTest::newRow("value not a number") << Row("26/3/1", "9:35:0", {"1.0", "n/a"});
        QTest::newRow("date of text") << Row("Date", "Time", {"Temp1"});
    }

    void rowsItCannotReadAreSkippedAndCounted()
    {
        QFETCH(QStringList, badRow);
        THistoryGridModel grid;
        QList<QStringList> rows = kRows;
        rows.insert(1, badRow);
        FillGrid(grid, rows);
        const THistoryChartData data = THistoryChartData::FromGrid(grid, 0, {});
        QCOMPARE(data.rowsSkipped, 1);
        QCOMPARE(data.rowsUsed, 3);
        QCOMPARE(data.series.at(0).points.size(), 3);
        QCOMPARE(data.series.at(0).points.at(1).y(), 23.9);
    }

    void downsamplingKeepsThePeaks()
    {
        QVector<QPointF> points;
        for (int index = 0; index < 20000; ++index)
            points.append(QPointF(index, std::sin(index / 50.0)));
        points[12345].setY(99.0);
        points[777].setY(-99.0);
        const QVector<QPointF> shown = THistoryChartData::Downsample(points, 1500);
        QVERIFY(shown.size() <= 1500);
        QVERIFY(shown.size() >= 1400);
        QVERIFY(shown.contains(points[12345]));
        QVERIFY(shown.contains(points[777]));
        for (int index = 1; index < shown.size(); ++index)
            QVERIFY(shown[index - 1].x() < shown[index].x());
        // Few points stay as they are.
        QCOMPARE(THistoryChartData::Downsample(points.mid(0, 100), 1500), points.mid(0, 100));
    }

    void theChartDrawsLinesAndDashedThresholds()
    {
        THistoryGridModel grid;
        FillGrid(grid, kRows);
        QVector<TChartChannelInfo> channels(8);
        channels[0].high = 25.0;
        channels[0].low = -5.5;
        THistoryChart chart;
        chart.resize(800, 500);
        chart.SetData(THistoryChartData::FromGrid(grid, 0, channels));

        QCOMPARE(chart.lst_ChartChannels->count(), 8);
        QLineSeries *line = chart.Line(0);
        QVERIFY(line);
        QCOMPARE(line->count(), 3);
        QCOMPARE(line->at(0).y(), 23.4);
        QCOMPARE(line->at(2).y(), 24.1);
        QVERIFY(line->attachedAxes().contains(chart.TemperatureAxis()));
        QVERIFY(chart.Line(1)->attachedAxes().contains(chart.HumidityAxis()));

        QLineSeries *high = chart.HighLine(0);
        QLineSeries *low = chart.LowLine(0);
        QVERIFY(high && low);
        QCOMPARE(high->pen().style(), Qt::DashLine);
        QCOMPARE(high->color(), line->color());
        QCOMPARE(high->count(), 2);
        QCOMPARE(high->at(0), QPointF(At(2026, 3, 1, 9, 5, 0), 25.0));
        QCOMPARE(high->at(1), QPointF(At(2026, 3, 1, 9, 25, 0), 25.0));
        QCOMPARE(low->at(0).y(), -5.5);
        QVERIFY(!chart.HighLine(1));
        // The temperature axis takes in the thresholds.
        QVERIFY(chart.TemperatureAxis()->max() >= 25.0);
        QVERIFY(chart.TemperatureAxis()->min() <= -12.5);
        QCOMPARE(chart.TimeAxis()->min().toMSecsSinceEpoch(), qint64(At(2026, 3, 1, 9, 5, 0)));

        // Unticking a channel hides it and its thresholds.
        chart.lst_ChartChannels->item(0)->setCheckState(Qt::Unchecked);
        QVERIFY(!line->isVisible());
        QVERIFY(!high->isVisible());
        QVERIFY(!low->isVisible());
        QVERIFY(chart.Line(2)->isVisible());
        chart.SetChannelShown(0, true);
        QCOMPARE(chart.lst_ChartChannels->item(0)->checkState(), Qt::Checked);
        QVERIFY(high->isVisible());
    }

    void zoomAndResetComeBackToTheWholeRange()
    {
        THistoryGridModel grid;
        FillGrid(grid, kRows);
        THistoryChart chart;
        chart.resize(800, 500);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.SetData(THistoryChartData::FromGrid(grid, 0, {}));
        const QDateTime first = chart.TimeAxis()->min();
        const QDateTime last = chart.TimeAxis()->max();
        chart.View()->setFocus();
        QTest::keyClick(chart.View(), Qt::Key_Plus);
        QVERIFY(chart.TimeAxis()->max().toMSecsSinceEpoch() - chart.TimeAxis()->min().toMSecsSinceEpoch()
                < last.toMSecsSinceEpoch() - first.toMSecsSinceEpoch());
        QTest::keyClick(chart.View(), Qt::Key_Right);
        QVERIFY(chart.TimeAxis()->min() > first);
        chart.btn_ChartResetZoom->click();
        QCOMPARE(chart.TimeAxis()->min(), first);
        QCOMPARE(chart.TimeAxis()->max(), last);
    }

    void rowsSkippedAreSaidOnThePage()
    {
        THistoryGridModel grid;
        FillGrid(grid, {kRows.at(0), Row("26/3/1", "9:35:0", {"x"}), Row("bad", "", {})});
        THistoryChart chart;
        chart.SetData(THistoryChartData::FromGrid(grid, 0, {}));
        QVERIFY(chart.lbl_ChartNote->text().contains(QStringLiteral("2 rows")));
    }

    void theChartIsSavedAsPng()
    {
        THistoryGridModel grid;
        FillGrid(grid, kRows);
        THistoryChart chart;
        chart.resize(640, 400);
        chart.SetData(THistoryChartData::FromGrid(grid, 0, {}));
        QTemporaryDir dir;
        QString asked;
        chart.ChooseImageFile = [&](const QString &defaultName) {
            asked = defaultName;
            return dir.filePath(QStringLiteral("curve"));
        };
        chart.btn_ChartSave->click();
        QVERIFY(asked.endsWith(QStringLiteral(".png")));
        QImage image(dir.filePath(QStringLiteral("curve.png")));
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 100);
    }
};

QTEST_MAIN(TestHistoryChart)
#include "tst_HistoryChart.moc"
