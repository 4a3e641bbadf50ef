#pragma once

#include <QPointF>
#include <QString>
#include <QVector>

#include <optional>

class THistoryGridModel;

// What the window knows of a sensor channel from its channel rows: the name
// and, once the configuration has been read, the alarm thresholds.
struct TChartChannelInfo
{
    QString name;                       // empty: the grid's column header
    std::optional<double> high;         // alarm thresholds, in °C or %RH
    std::optional<double> low;
};

// One line of the chart: a value column of the grid over time.
struct TChartSeries
{
    int column = 0;                     // grid column (8 onwards)
    QString name;
    bool humidity = false;              // humidity (%RH) axis, else temperature (°C)
    QVector<QPointF> points;            // x: ms since the epoch (local time), y: value
    std::optional<double> high;
    std::optional<double> low;
};

// The chart's data, taken from the grid's rows, so that a live read, an
// imported CSV and an opened archive all draw alike. A row counts when its
// date ("y/m/d", year within the century) and time ("h:m:s") make a valid
// moment; its value cells that are numbers give points. A row with content
// whose date, time or a value cell cannot be read is skipped and counted.
struct THistoryChartData
{
    QVector<TChartSeries> series;       // one per value column, in column order
    int rowsUsed = 0;
    int rowsSkipped = 0;
    double firstX = 0;                  // time range of the rows used
    double lastX = 0;

    // modelIndex: 2 (K803) makes every value column a temperature; any other
    // value alternates temperature and humidity from column 8 on. channels[k]
    // names value column k and gives its thresholds.
    static THistoryChartData FromGrid(const THistoryGridModel &grid, int modelIndex,
                                      const QVector<TChartChannelInfo> &channels);

    // At most maxPoints points of a line for the screen: the points are put
    // into buckets of equal count and each bucket gives its lowest and its
    // highest point, in time order, so that no peak goes missing. A line of
    // maxPoints points or fewer comes back as it is.
    static QVector<QPointF> Downsample(const QVector<QPointF> &points, int maxPoints);
};
