#pragma once

#include "history/HistoryChartData_Unt.h"

#include <QChartView>
#include <QPointer>
#include <QWidget>

#include <functional>

class QChart;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QValueAxis;

// The chart's view: the mouse wheel zooms, a dragged rectangle zooms into
// it, dragging with the middle button (or with Shift held) pans; the keys +
// and - zoom, the arrow keys pan and Home (or 0) goes back to the whole range.
class THistoryChartView : public QChartView
{
    Q_OBJECT
public:
    explicit THistoryChartView(QChart *chart, QWidget *parent = nullptr);
    // A chart with the plain look the history charts share: white, narrow
    // margins, the legend at the right in dark text.
    static QChart *NewPlainChart();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_panning = false;
    QPoint m_lastPan;
};

// The chart page beside the history grid: one line per sensor channel over
// time, temperatures and humidities on their own axes, the alarm thresholds
// of a channel as dashed lines in its colour when they are known, a list to
// pick the channels shown, zoom and pan, and saving the picture as PNG.
// Each line is thinned for the screen only (THistoryChartData::Downsample).
class THistoryChart : public QWidget
{
    Q_OBJECT
public:
    // Points of one line on the screen at most.
    static constexpr int ShownPointsPerLine = 1500;
    // Below this width of the plot's view the legend is left out: the
    // channel list beside it names each line with its colour and style, and
    // the plot needs the room.
    static constexpr int LegendViewWidth = 640;

    explicit THistoryChart(QWidget *parent = nullptr);
    ~THistoryChart() override;

    // Draws data anew. Shown at first: the temperature channels, or the
    // first four when there are none (a humidity-only grid).
    void SetData(const THistoryChartData &data);
    const THistoryChartData &Data() const { return m_data; }
    // Texts in language 0 (Chinese) or 1 (English).
    void Retranslate(int language);

    // Shows or hides a channel (index into Data().series) with its thresholds.
    void SetChannelShown(int channel, bool shown);
    bool ChannelShown(int channel) const;
    // The line colour and line style of a channel (index into Data().series):
    // sixteen colours that differ from each other, each readable as text on
    // white at a contrast of at least 4.5:1, and four styles, so no two
    // channels share colour and style.
    static QColor ChannelColour(int channel);
    static Qt::PenStyle ChannelStyle(int channel);

    // Back to the whole time range and value ranges.
    void ResetZoom();
    // Writes the chart as it is shown into a PNG file; false when it could not.
    bool SaveImage(const QString &fileName) const;

    QChart *Chart() const { return m_chart; }
    THistoryChartView *View() const { return m_view; }
    // The line of a channel and its threshold lines (null when none).
    QLineSeries *Line(int channel) const;
    QLineSeries *HighLine(int channel) const;
    QLineSeries *LowLine(int channel) const;
    QDateTimeAxis *TimeAxis() const { return m_timeAxis; }
    QValueAxis *TemperatureAxis() const { return m_temperatureAxis; }
    QValueAxis *HumidityAxis() const { return m_humidityAxis; }

    // The save step: an empty result means the user cancelled. Non-native
    // dialog unless replaced (tests replace it).
    std::function<QString(const QString &defaultName)> ChooseImageFile;

    QListWidget *lst_ChartChannels = nullptr;
    QPushButton *btn_ChartRefresh = nullptr;
    QPushButton *btn_ChartResetZoom = nullptr;
    QPushButton *btn_ChartSave = nullptr;
    QLabel *lbl_ChartNote = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

signals:
    // The refresh button: the owner hands new data from the grid.
    void RefreshRequested();
    // A file could not be written; text is the message shown.
    void MessageShown(const QString &text);

private:
    struct TLines
    {
        QLineSeries *line = nullptr;
        QLineSeries *high = nullptr;
        QLineSeries *low = nullptr;
    };

    void Build();
    void FitAxes();
    void UpdateNote();
    void FitTimeLabels();
    void SaveClicked();
    void ItemChanged(QListWidgetItem *item);
    QLineSeries *ThresholdLine(const TChartSeries &series, double value, const QColor &colour,
                               QValueAxis *axis);

    QChart *m_chart = nullptr;
    THistoryChartView *m_view = nullptr;
    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_temperatureAxis = nullptr;
    QValueAxis *m_humidityAxis = nullptr;
    THistoryChartData m_data;
    QVector<TLines> m_lines;
    int m_language = 1;
    bool m_filling = false;
};
