// The chart of the history grid: the points and threshold lines it takes
// from a small grid, rows it cannot read, thinning for the screen, picking
// channels, and the picture it saves.
#include "history/HistoryChart_Frm.h"
#include "history/HistoryChartData_Unt.h"
#include "history/HistoryGridModel_Unt.h"

#include <QDateTime>
#include <QLegend>
#include <QLegendMarker>
#include <QChart>
#include <cmath>
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

// Relative luminance and contrast ratio as the web content accessibility
// guidelines (WCAG 2) define them.
double Luminance(const QColor &colour)
{
    auto channel = [](double value) {
        value /= 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
}

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double lighter = qMax(Luminance(a), Luminance(b));
    const double darker = qMin(Luminance(a), Luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

// Sixteen value columns named "Ch1" .. "Ch16", in pairs of temperature and
// humidity unless model is 2 (K803, temperatures only).
THistoryChartData SixteenChannels(int modelIndex)
{
    THistoryGridModel grid;
    grid.SetColCount(24);
    QStringList values;
    for (int column = 0; column < 16; ++column) {
        grid.SetCell(8 + column, 0, QStringLiteral("Ch%1").arg(column + 1));
        values << QString::number(20 + column);
    }
    grid.SetCells(1, 1, Row("26/3/1", "9:5:0", values));
    grid.SetCells(2, 1, Row("26/3/9", "9:5:0", values));
    return THistoryChartData::FromGrid(grid, modelIndex, {});
}

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

    void theTemperatureChannelsAreShownAtFirst_data()
    {
        QTest::addColumn<bool>("humidityOnly");
        QTest::addColumn<int>("modelIndex");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("K801/K802: the temperatures") << false << 0 << QList<int>{0, 2, 4, 6, 8, 10, 12, 14};
        QTest::newRow("K803: every channel is a temperature")
            << false << 2 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        QTest::newRow("humidities only: the first four") << true << 0 << QList<int>{0, 1, 2, 3};
    }
    void theTemperatureChannelsAreShownAtFirst()
    {
        QFETCH(bool, humidityOnly);
        QFETCH(int, modelIndex);
        QFETCH(QList<int>, shown);
        THistoryChartData data = SixteenChannels(modelIndex);
        if (humidityOnly) {
            for (TChartSeries &series : data.series)
                series.humidity = true;
        }
        THistoryChart chart;
        chart.resize(900, 500);
        chart.SetData(data);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QList<int> actual, ticked, inLegend;
        for (int channel = 0; channel < 16; ++channel) {
            if (chart.ChannelShown(channel))
                actual << channel;
            if (chart.lst_ChartChannels->item(channel)->checkState() == Qt::Checked)
                ticked << channel;
            if (chart.Chart()->legend()->markers(chart.Line(channel)).value(0)->isVisible())
                inLegend << channel;
        }
        QCOMPARE(actual, shown);
        QCOMPARE(ticked, shown);
        QCOMPARE(inLegend, shown);
    }

    // Each line can be told from every other by colour, and by its colour
    // and line style together; the names in the legend and in the list are
    // readable (WCAG contrast 4.5:1 at least) and each is in the legend.
    void channelsDifferAndTheirNamesAreReadable()
    {
        THistoryChart chart;
        chart.resize(960, 560);
        chart.SetData(SixteenChannels(2));
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        const QColor background = chart.Chart()->backgroundBrush().color();
        QSet<QString> looks;
        for (int channel = 0; channel < 16; ++channel) {
            const QPen pen = chart.Line(channel)->pen();
            const QColor colour = pen.color();
            for (int other = 0; other < channel; ++other) {
                const QColor otherColour = chart.Line(other)->pen().color();
                const int distance = qAbs(colour.red() - otherColour.red()) + qAbs(colour.green() - otherColour.green())
                                     + qAbs(colour.blue() - otherColour.blue());
                QVERIFY2(distance >= 40, qPrintable(QStringLiteral("channels %1 and %2: %3 and %4")
                                                        .arg(other + 1).arg(channel + 1)
                                                        .arg(otherColour.name(), colour.name())));
            }
            looks.insert(colour.name() + QString::number(int(pen.style())));
            QVERIFY2(ContrastRatio(colour, background) >= 4.5,
                     qPrintable(QStringLiteral("%1 on %2").arg(colour.name(), background.name())));
            QLegendMarker *marker = chart.Chart()->legend()->markers(chart.Line(channel)).value(0);
            QVERIFY(marker);
            QCOMPARE(marker->label(), QStringLiteral("Ch%1").arg(channel + 1));
            QVERIFY(ContrastRatio(marker->labelBrush().color(), background) >= 4.5);
            QListWidgetItem *item = chart.lst_ChartChannels->item(channel);
            const QColor text = item->foreground().style() == Qt::NoBrush
                                    ? chart.lst_ChartChannels->palette().color(QPalette::Text)
                                    : item->foreground().color();
            QVERIFY(ContrastRatio(text, chart.lst_ChartChannels->palette().color(QPalette::Base)) >= 4.5);
        }
        QCOMPARE(looks.size(), 16);
        QVERIFY(QSet<int>({int(chart.Line(0)->pen().style()), int(chart.Line(1)->pen().style()),
                           int(chart.Line(2)->pen().style()), int(chart.Line(3)->pen().style())}).size() == 4);
    }

    // The time labels fit side by side in the plot at the smallest window
    // and at a wide one.
    void timeLabelsFit_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("smallest window") << 560;
        QTest::newRow("1920 wide") << 1700;
    }
    void timeLabelsFit()
    {
        QFETCH(int, width);
        THistoryChart chart;
        chart.resize(width, 400);
        chart.SetData(SixteenChannels(0));
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        QTRY_VERIFY(chart.Chart()->plotArea().width() > 0);
        QCoreApplication::processEvents();
        const QFontMetrics metrics(chart.TimeAxis()->labelsFont());
        const QString label = chart.TimeAxis()->min().toString(chart.TimeAxis()->format());
        const int ticks = chart.TimeAxis()->tickCount();
        QVERIFY(ticks >= 2);
        const qreal room = chart.Chart()->plotArea().width() / (ticks - 1);
        QVERIFY2(metrics.horizontalAdvance(label) < room,
                 qPrintable(QStringLiteral("%1 labels of %2 px in %3 px")
                                .arg(ticks).arg(metrics.horizontalAdvance(label)).arg(chart.Chart()->plotArea().width())));
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
