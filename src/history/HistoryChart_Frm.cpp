#include "history/HistoryChart_Frm.h"

#include "dialogs/FileDialogs_Frm.h"
#include "lang/ConstLang_Unt.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QHBoxLayout>
#include <QGraphicsLayout>
#include <QIcon>
#include <QPainter>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <iterator>

namespace {

constexpr double ZoomStep = 1.25;
constexpr int PanStepPixels = 40;
// Room above and below the values, as a share of their range.
constexpr double ValueMargin = 0.05;

const TFileDialogSpec kPngDialog{"dlgSaveChartPng", QStringLiteral("PNG (*.png)"), true, true, "charts"};

// Dark enough for text on white (4.5:1 and more), far enough apart to tell
// sixteen lines apart together with the four line styles.
constexpr QRgb kChannelColours[] = {0x1f4e9c, 0xb22222, 0x1b6e35, 0x7b3294, 0x9c4a1a, 0x00707a,
                                    0xad1457, 0x4d4d4d, 0x4400ff, 0xcc00cc, 0x6666dd, 0x0055ff,
                                    0x9933ff, 0x667700, 0x996677, 0xdd0000};
constexpr Qt::PenStyle kChannelStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
// Shown at first when a grid holds no temperature channel.
constexpr int kFirstChannelsShown = 4;
// Room a time label needs beside its text.
constexpr int kTimeLabelPadding = 24;

// A short line in the channel's colour and style, for the channel list.
QIcon LineSample(const QPen &pen)
{
    QPixmap sample(24, 12);
    sample.fill(Qt::transparent);
    QPainter painter(&sample);
    QPen drawn = pen;
    drawn.setWidth(3);
    painter.setPen(drawn);
    painter.drawLine(1, 6, 23, 6);
    painter.end();
    return QIcon(sample);
}

} // namespace

QChart *THistoryChartView::NewPlainChart()
{
    auto *chart = new QChart;
    // Beside the plot, one name a line: a row under it cuts the names of
    // eight channels to "Te..." at a small window.
    chart->legend()->setAlignment(Qt::AlignRight);
    // Plain colours, not the theme's gradient: the names and lines are chosen
    // to read on white.
    chart->setBackgroundBrush(QColor(Qt::white));
    // Narrow margins: at the smallest window every pixel goes to the plot
    // and its labels.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(6, 6, 6, 6));
    chart->setPlotAreaBackgroundVisible(false);
    chart->legend()->setLabelColor(QColor(0x20, 0x20, 0x20));
    return chart;
}

THistoryChartView::THistoryChartView(QChart *chart, QWidget *parent) : QChartView(chart, parent)
{
    setRubberBand(QChartView::RectangleRubberBand);
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing, false);
}

void THistoryChartView::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y();
    if (steps == 0) {
        event->ignore();
        return;
    }
    chart()->zoom(steps > 0 ? ZoomStep : 1.0 / ZoomStep);
    event->accept();
}

void THistoryChartView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        chart()->zoom(ZoomStep);
        break;
    case Qt::Key_Minus:
        chart()->zoom(1.0 / ZoomStep);
        break;
    case Qt::Key_Left:
        chart()->scroll(-PanStepPixels, 0);
        break;
    case Qt::Key_Right:
        chart()->scroll(PanStepPixels, 0);
        break;
    case Qt::Key_Up:
        chart()->scroll(0, PanStepPixels);
        break;
    case Qt::Key_Down:
        chart()->scroll(0, -PanStepPixels);
        break;
    case Qt::Key_Home:
    case Qt::Key_0:
        chart()->zoomReset();
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void THistoryChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton
        || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier))) {
        m_panning = true;
        m_lastPan = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void THistoryChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panning) {
        const QPoint now = event->position().toPoint();
        const QPoint moved = now - m_lastPan;
        m_lastPan = now;
        chart()->scroll(-moved.x(), moved.y());
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void THistoryChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning) {
        m_panning = false;
        unsetCursor();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

THistoryChart::THistoryChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HistoryChart"));
    ChooseImageFile = [this](const QString &defaultName) {
        return ChooseFileToSave(this, kPngDialog, FileFolders::StartFolder(QStringLiteral("charts")), defaultName);
    };

    m_chart = THistoryChartView::NewPlainChart();
    m_view = new THistoryChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("HistoryChartView"));

    m_timeAxis = new QDateTimeAxis;
    m_temperatureAxis = new QValueAxis;
    m_humidityAxis = new QValueAxis;
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_temperatureAxis, Qt::AlignLeft);
    m_chart->addAxis(m_humidityAxis, Qt::AlignRight);

    lst_ChartChannels = new QListWidget(this);
    lst_ChartChannels->setObjectName(QStringLiteral("lst_ChartChannels"));
    lst_ChartChannels->setMaximumWidth(160);
    btn_ChartRefresh = new QPushButton(this);
    btn_ChartRefresh->setObjectName(QStringLiteral("btn_ChartRefresh"));
    btn_ChartResetZoom = new QPushButton(this);
    btn_ChartResetZoom->setObjectName(QStringLiteral("btn_ChartResetZoom"));
    btn_ChartSave = new QPushButton(this);
    btn_ChartSave->setObjectName(QStringLiteral("btn_ChartSave"));
    lbl_ChartNote = new QLabel(this);
    lbl_ChartNote->setObjectName(QStringLiteral("lbl_ChartNote"));
    lbl_ChartNote->setWordWrap(true);

    auto *side = new QVBoxLayout;
    side->addWidget(lst_ChartChannels, 1);
    side->addWidget(btn_ChartRefresh);
    side->addWidget(btn_ChartResetZoom);
    side->addWidget(btn_ChartSave);
    auto *main = new QVBoxLayout;
    main->addWidget(m_view, 1);
    main->addWidget(lbl_ChartNote);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(main, 1);
    layout->addLayout(side);

    connect(m_chart, &QChart::plotAreaChanged, this, &THistoryChart::FitTimeLabels);
    connect(lst_ChartChannels, &QListWidget::itemChanged, this, &THistoryChart::ItemChanged);
    connect(btn_ChartRefresh, &QPushButton::clicked, this, &THistoryChart::RefreshRequested);
    connect(btn_ChartResetZoom, &QPushButton::clicked, this, &THistoryChart::ResetZoom);
    connect(btn_ChartSave, &QPushButton::clicked, this, &THistoryChart::SaveClicked);
    Retranslate(ConstLang::English);
}

THistoryChart::~THistoryChart() = default;

void THistoryChart::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    m_temperatureAxis->setTitleText(ConstLang::Text("TxtChartTemperatureAxis", language));
    m_humidityAxis->setTitleText(ConstLang::Text("TxtChartHumidityAxis", language));
    btn_ChartRefresh->setText(ConstLang::Text("TxtChartRefresh", language));
    btn_ChartResetZoom->setText(ConstLang::Text("TxtChartResetZoom", language));
    btn_ChartSave->setText(ConstLang::Text("TxtChartSave", language));
    lst_ChartChannels->setToolTip(ConstLang::Text("TxtChartChannels", language));
    m_view->setToolTip(ConstLang::Text("TxtChartHint", language));
    for (int channel = 0; channel < m_lines.size(); ++channel) {
        const TChartSeries &series = m_data.series.at(channel);
        if (m_lines[channel].high)
            m_lines[channel].high->setName(ConstLang::Text("TxtChartHigh", language).arg(series.name));
        if (m_lines[channel].low)
            m_lines[channel].low->setName(ConstLang::Text("TxtChartLow", language).arg(series.name));
    }
    UpdateNote();
}

void THistoryChart::SetData(const THistoryChartData &data)
{
    m_data = data;
    Build();
}

QLineSeries *THistoryChart::ThresholdLine(const TChartSeries &series, double value, const QColor &colour,
                                          QValueAxis *axis)
{
    auto *line = new QLineSeries;
    QPen pen(colour);
    pen.setStyle(Qt::DashLine);
    pen.setWidthF(1.2);
    line->setPen(pen);
    line->append(m_data.firstX, value);
    line->append(m_data.lastX, value);
    m_chart->addSeries(line);
    line->attachAxis(m_timeAxis);
    line->attachAxis(axis);
    for (QLegendMarker *marker : m_chart->legend()->markers(line))
        marker->setVisible(false);
    Q_UNUSED(series);
    return line;
}

QColor THistoryChart::ChannelColour(int channel)
{
    constexpr int count = int(std::size(kChannelColours));
    return QColor(kChannelColours[((channel % count) + count) % count]);
}

Qt::PenStyle THistoryChart::ChannelStyle(int channel)
{
    constexpr int count = int(std::size(kChannelStyles));
    return kChannelStyles[((channel % count) + count) % count];
}

void THistoryChart::Build()
{
    m_filling = true;
    m_chart->removeAllSeries();
    m_lines.clear();
    lst_ChartChannels->clear();

    bool anyTemperature = false;
    for (const TChartSeries &series : m_data.series)
        anyTemperature = anyTemperature || !series.humidity;
    for (int channel = 0; channel < m_data.series.size(); ++channel) {
        const TChartSeries &series = m_data.series.at(channel);
        TLines lines;
        lines.line = new QLineSeries;
        lines.line->setName(series.name);
        QPen pen(ChannelColour(channel));
        pen.setStyle(ChannelStyle(channel));
        pen.setWidthF(1.6);
        lines.line->setPen(pen);
        lines.line->replace(THistoryChartData::Downsample(series.points, ShownPointsPerLine));
        m_chart->addSeries(lines.line);
        QValueAxis *axis = series.humidity ? m_humidityAxis : m_temperatureAxis;
        lines.line->attachAxis(m_timeAxis);
        lines.line->attachAxis(axis);
        const QColor colour = pen.color();
        if (series.high)
            lines.high = ThresholdLine(series, *series.high, colour, axis);
        if (series.low)
            lines.low = ThresholdLine(series, *series.low, colour, axis);
        m_lines.append(lines);

        // The name in the list's own text colour stays readable in every
        // skin; the sample beside it tells the line.
        auto *item = new QListWidgetItem(LineSample(pen), series.name, lst_ChartChannels);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool shown = anyTemperature ? !series.humidity : channel < kFirstChannelsShown;
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        for (QLineSeries *line : {lines.line, lines.high, lines.low}) {
            if (line)
                line->setVisible(shown);
        }
        for (QLegendMarker *marker : m_chart->legend()->markers(lines.line))
            marker->setVisible(shown);
    }
    m_filling = false;
    Retranslate(m_language);
    FitAxes();
}

void THistoryChart::FitAxes()
{
    double temperatureLow = 0, temperatureHigh = 0, humidityLow = 0, humidityHigh = 0;
    bool temperatures = false, humidities = false;
    for (int channel = 0; channel < m_data.series.size(); ++channel) {
        if (!ChannelShown(channel))
            continue;
        const TChartSeries &series = m_data.series.at(channel);
        double &low = series.humidity ? humidityLow : temperatureLow;
        double &high = series.humidity ? humidityHigh : temperatureHigh;
        bool &seen = series.humidity ? humidities : temperatures;
        auto take = [&](double value) {
            low = seen ? qMin(low, value) : value;
            high = seen ? qMax(high, value) : value;
            seen = true;
        };
        for (const QPointF &point : series.points)
            take(point.y());
        if (series.high)
            take(*series.high);
        if (series.low)
            take(*series.low);
    }
    auto fit = [](QValueAxis *axis, bool seen, double low, double high, double emptyLow, double emptyHigh) {
        if (!seen) {
            axis->setRange(emptyLow, emptyHigh);
            return;
        }
        const double margin = qMax(0.5, (high - low) * ValueMargin);
        axis->setRange(std::floor(low - margin), std::ceil(high + margin));
    };
    fit(m_temperatureAxis, temperatures, temperatureLow, temperatureHigh, 0, 40);
    fit(m_humidityAxis, humidities, humidityLow, humidityHigh, 0, 100);
    m_humidityAxis->setVisible(humidities || !temperatures);

    const qint64 first = qint64(m_data.firstX);
    qint64 last = qint64(m_data.lastX);
    if (m_data.rowsUsed == 0) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(now - 3600 * 1000),
                             QDateTime::fromMSecsSinceEpoch(now));
    } else {
        if (last <= first)
            last = first + 60 * 1000;
        m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    }
    const bool days = last - first > qint64(2) * 24 * 3600 * 1000;
    m_timeAxis->setFormat(days ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("MM-dd HH:mm:ss"));
    FitTimeLabels();
}

// As many time labels as fit side by side in the plot, at least two.
void THistoryChart::FitTimeLabels()
{
    const QFontMetrics metrics(m_timeAxis->labelsFont());
    const int labelWidth =
        metrics.horizontalAdvance(QDateTime(QDate(2026, 12, 28), QTime(23, 58, 58)).toString(m_timeAxis->format()))
        + kTimeLabelPadding;
    qreal plotWidth = m_chart->plotArea().width();
    if (plotWidth <= 0)
        plotWidth = m_view->width() - 120;
    const int ticks = qBound(2, int(plotWidth / labelWidth) + 1, 8);
    if (m_timeAxis->tickCount() != ticks)
        m_timeAxis->setTickCount(ticks);
}

void THistoryChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const bool legend = m_view->width() >= LegendViewWidth;
    if (m_chart->legend()->isVisible() != legend)
        m_chart->legend()->setVisible(legend);
}

void THistoryChart::UpdateNote()
{
    QString note;
    if (m_data.rowsUsed == 0)
        note = ConstLang::Text("TxtChartEmpty", m_language);
    if (m_data.rowsSkipped > 0) {
        if (!note.isEmpty())
            note += QLatin1Char(' ');
        note += ConstLang::Text("MsgChartRowsSkipped", m_language).arg(m_data.rowsSkipped);
    }
    lbl_ChartNote->setText(note);
    lbl_ChartNote->setVisible(!note.isEmpty());
}

void THistoryChart::ItemChanged(QListWidgetItem *item)
{
    if (m_filling)
        return;
    SetChannelShown(lst_ChartChannels->row(item), item->checkState() == Qt::Checked);
}

void THistoryChart::SetChannelShown(int channel, bool shown)
{
    if (channel < 0 || channel >= m_lines.size())
        return;
    const TLines &lines = m_lines.at(channel);
    for (QLineSeries *line : {lines.line, lines.high, lines.low}) {
        if (line)
            line->setVisible(shown);
    }
    // Only the lines drawn take room in the legend, so their names fit.
    for (QLegendMarker *marker : m_chart->legend()->markers(lines.line))
        marker->setVisible(shown);
    if (QListWidgetItem *item = lst_ChartChannels->item(channel)) {
        const Qt::CheckState state = shown ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state) {
            m_filling = true;
            item->setCheckState(state);
            m_filling = false;
        }
    }
    FitAxes();
}

bool THistoryChart::ChannelShown(int channel) const
{
    return channel >= 0 && channel < m_lines.size() && m_lines.at(channel).line->isVisible();
}

void THistoryChart::ResetZoom()
{
    m_chart->zoomReset();
    FitAxes();
}

QLineSeries *THistoryChart::Line(int channel) const
{
    return channel >= 0 && channel < m_lines.size() ? m_lines.at(channel).line : nullptr;
}

QLineSeries *THistoryChart::HighLine(int channel) const
{
    return channel >= 0 && channel < m_lines.size() ? m_lines.at(channel).high : nullptr;
}

QLineSeries *THistoryChart::LowLine(int channel) const
{
    return channel >= 0 && channel < m_lines.size() ? m_lines.at(channel).low : nullptr;
}

bool THistoryChart::SaveImage(const QString &fileName) const
{
    QString name = fileName;
    if (!name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        name += QStringLiteral(".png");
    return m_view->grab().save(name, "PNG");
}

void THistoryChart::SaveClicked()
{
    const QString defaultName =
        QStringLiteral("chart_%1.png").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyMMddHHmmss")));
    const QString chosen = ChooseImageFile(defaultName);
    if (chosen.isEmpty())
        return;
    if (!SaveImage(chosen)) {
        const QString text = ConstLang::Text("MsgChartSaveFailed", m_language).arg(QDir::toNativeSeparators(chosen));
        emit MessageShown(text);
    }
}
