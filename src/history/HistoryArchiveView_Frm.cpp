#include "history/HistoryArchiveView_Frm.h"

#include "dialogs/Questions_Frm.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryChartData_Unt.h"
#include "history/HistoryChart_Frm.h"
#include "lang/ConstLang_Unt.h"

#include <QChart>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

// The verdict stands before the values: a K802's sixteen values are wider
// than the window and are cut at its edge (the tip shows them all).
enum ArchiveColumn {
    ImeiColumn,
    ModelColumn,
    RecordsColumn,
    LastReadColumn,
    LastDownloadColumn,
    LimitsColumn,
    LastValuesColumn,
    ArchiveColumnCount
};

// The values column's width before the window gives it more room.
constexpr int ArchiveValuesWidth = 320;

} // namespace

THistoryArchiveView::THistoryArchiveView(THistoryArchive *archive, QWidget *parent)
    : QDialog(parent), m_archive(archive)
{
    setObjectName(QStringLiteral("HistoryArchiveView"));
    setModal(false);
    resize(860, 560);

    tbl_ArchiveDevices = new QTableWidget(0, ArchiveColumnCount, this);
    tbl_ArchiveDevices->setObjectName(QStringLiteral("tbl_ArchiveDevices"));
    tbl_ArchiveDevices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_ArchiveDevices->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Ctrl and Shift pick several devices for the overlay; Open, Export and
    // Delete act on the current row.
    tbl_ArchiveDevices->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tbl_ArchiveDevices->verticalHeader()->hide();
    // One line a device; the values column is cut at its edge.
    tbl_ArchiveDevices->setWordWrap(false);
    tbl_ArchiveDevices->horizontalHeader()->setStretchLastSection(true);
    lbl_ArchiveState = new QLabel(this);
    lbl_ArchiveState->setObjectName(QStringLiteral("lbl_ArchiveState"));
    lbl_ArchiveState->setWordWrap(true);
    lbl_ArchiveState->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto button = [this](const char *name) {
        auto *item = new QPushButton(this);
        item->setObjectName(QString::fromLatin1(name));
        item->setAutoDefault(false);
        return item;
    };
    btn_ArchiveOpen = button("btn_ArchiveOpen");
    btn_ArchiveExport = button("btn_ArchiveExport");
    btn_ArchiveDelete = button("btn_ArchiveDelete");
    btn_ArchiveClose = button("btn_ArchiveClose");
    btn_ArchiveOverlay = button("btn_ArchiveOverlay");
    cmb_ArchiveChannel = new QComboBox(this);
    cmb_ArchiveChannel->setObjectName(QStringLiteral("cmb_ArchiveChannel"));
    cmb_ArchiveChannel->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *channelCaption = new QLabel(this);
    channelCaption->setObjectName(QStringLiteral("lbl_ArchiveChannel"));
    channelCaption->setBuddy(cmb_ArchiveChannel);

    m_chart = THistoryChartView::NewPlainChart();
    m_timeAxis = new QDateTimeAxis;
    m_valueAxis = new QValueAxis;
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    m_view = new THistoryChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("chv_ArchiveOverlay"));
    m_view->setMinimumHeight(160);

    auto *overlayBox = new QWidget(this);
    auto *overlayControls = new QHBoxLayout;
    overlayControls->addWidget(channelCaption);
    overlayControls->addWidget(cmb_ArchiveChannel);
    overlayControls->addWidget(btn_ArchiveOverlay);
    overlayControls->addStretch();
    auto *overlayLayout = new QVBoxLayout(overlayBox);
    overlayLayout->setContentsMargins(0, 0, 0, 0);
    overlayLayout->addLayout(overlayControls);
    overlayLayout->addWidget(m_view, 1);
    m_split = new QSplitter(Qt::Vertical, this);
    m_split->setObjectName(QStringLiteral("spl_Archive"));
    m_split->setChildrenCollapsible(false);
    m_split->addWidget(tbl_ArchiveDevices);
    m_split->addWidget(overlayBox);
    m_split->setStretchFactor(0, 2);
    m_split->setStretchFactor(1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btn_ArchiveOpen);
    buttons->addWidget(btn_ArchiveExport);
    buttons->addWidget(btn_ArchiveDelete);
    buttons->addStretch();
    buttons->addWidget(btn_ArchiveClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_split, 1);
    layout->addWidget(lbl_ArchiveState);
    layout->addLayout(buttons);

    connect(btn_ArchiveOpen, &QPushButton::clicked, this, [this] {
        if (OpenDevice && !CurrentImei().isEmpty())
            OpenDevice(CurrentImei(), CurrentModel());
    });
    connect(btn_ArchiveExport, &QPushButton::clicked, this, [this] {
        if (ExportDevice && !CurrentImei().isEmpty())
            ExportDevice(CurrentImei(), CurrentModel());
    });
    connect(btn_ArchiveDelete, &QPushButton::clicked, this, &THistoryArchiveView::DeleteClicked);
    connect(btn_ArchiveClose, &QPushButton::clicked, this, &QDialog::close);
    connect(btn_ArchiveOverlay, &QPushButton::clicked, this, &THistoryArchiveView::OverlayClicked);
    connect(tbl_ArchiveDevices, &QTableWidget::itemSelectionChanged, this, &THistoryArchiveView::UpdateButtons);
    connect(tbl_ArchiveDevices, &QTableWidget::cellDoubleClicked, btn_ArchiveOpen, &QPushButton::click);
    Retranslate(ConstLang::English);
}

void THistoryArchiveView::Retranslate(int language)
{
    if (language != ConstLang::Chinese && language != ConstLang::English)
        return;
    m_language = language;
    setWindowTitle(ConstLang::Text("TxtArchiveTitle", language));
    tbl_ArchiveDevices->setHorizontalHeaderLabels(
        {ConstLang::Text("TxtArchiveImei", language), ConstLang::Text("TxtArchiveModel", language),
         ConstLang::Text("TxtArchiveRecords", language), ConstLang::Text("TxtArchiveLastRead", language),
         ConstLang::Text("TxtFleetLastDownload", language), ConstLang::Text("TxtFleetLimits", language),
         ConstLang::Text("TxtFleetLastValues", language)});
    findChild<QLabel *>(QStringLiteral("lbl_ArchiveChannel"))->setText(ConstLang::Text("TxtFleetChannel", language));
    btn_ArchiveOverlay->setText(ConstLang::Text("TxtFleetOverlay", language));
    m_timeAxis->setTitleText(ConstLang::Text("TxtFleetTime", language));
    TitleOverlay();
    btn_ArchiveOpen->setText(ConstLang::Text("TxtArchiveOpen", language));
    btn_ArchiveExport->setText(ConstLang::Text("TxtArchiveExport", language));
    btn_ArchiveDelete->setText(ConstLang::Text("TxtArchiveDelete", language));
    btn_ArchiveClose->setText(ConstLang::Text("TxtArchiveClose", language));
    // Showing the window again reads the archive again: the command-line
    // tool may have stored downloads meanwhile.
    Refresh();
}

void THistoryArchiveView::Refresh()
{
    tbl_ArchiveDevices->setRowCount(0);
    m_rows.clear();
    if (!m_archive->IsReady())
        m_archive->Open();
    // Reading the list may find the file damaged.
    const QVector<TFleetRow> rows = ArchiveFleet::Rows(*m_archive);
    if (!m_archive->IsReady()) {
        lbl_ArchiveState->setText(ConstLang::Text(qPrintable(THistoryArchive::TextKey(m_archive->Status())), m_language)
                                      .arg(QDir::toNativeSeparators(m_archive->Path()))
                                  + QStringLiteral("\n") + m_archive->ErrorText());
        FillChannels();
        UpdateButtons();
        return;
    }
    m_rows = rows;
    FillTable();
}

void THistoryArchiveView::FillTable()
{
    const QStringList picked = SelectedImeis();
    const QString current = CurrentImei();
    tbl_ArchiveDevices->setRowCount(int(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row) {
        const TFleetRow &device = m_rows.at(row);
        const QString cells[ArchiveColumnCount] = {
            device.imei,
            device.model,
            QString::number(device.records),
            device.lastRead.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            device.LastDownloadText(),
            device.LimitsText(m_language),
            device.ValuesText(m_language)};
        for (int column = 0; column < ArchiveColumnCount; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == LastValuesColumn)
                item->setToolTip(cells[column]);
            if (column == LimitsColumn && device.limits == TFleetRow::TLimits::Crossed)
                item->setForeground(QColor(0xB0, 0x00, 0x20));
            tbl_ArchiveDevices->setItem(row, column, item);
        }
    }
    tbl_ArchiveDevices->resizeColumnsToContents();
    tbl_ArchiveDevices->setColumnWidth(LastValuesColumn,
                                       qMin(tbl_ArchiveDevices->columnWidth(LastValuesColumn), ArchiveValuesWidth));
    lbl_ArchiveState->setText(m_rows.isEmpty() ? ConstLang::Text("TxtArchiveNone", m_language)
                                               : QDir::toNativeSeparators(m_archive->Path()));
    // The rows picked before stay picked, the current one current.
    bool any = false;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!picked.contains(m_rows.at(row).imei))
            continue;
        tbl_ArchiveDevices->selectionModel()->select(
            tbl_ArchiveDevices->model()->index(row, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        any = true;
    }
    if (!any && !SelectDevice(current) && !m_rows.isEmpty())
        tbl_ArchiveDevices->selectRow(0);
    FillChannels();
    UpdateButtons();
}

QStringList THistoryArchiveView::SelectedImeis() const
{
    QStringList imeis;
    for (int row = 0; row < tbl_ArchiveDevices->rowCount(); ++row) {
        const QTableWidgetItem *item = tbl_ArchiveDevices->item(row, ImeiColumn);
        if (item && item->isSelected())
            imeis << item->text();
    }
    return imeis;
}

void THistoryArchiveView::FillChannels()
{
    // Every channel some device of the list has, by record slot; a K802's
    // value columns are the slots in order, so its captions name them all.
    const int picked = cmb_ArchiveChannel->currentData().isValid() ? cmb_ArchiveChannel->currentData().toInt() : 0;
    const QStringList captions = ConstLang::ThRowCaptions(1, m_language);
    cmb_ArchiveChannel->clear();
    for (int slot = 0; slot < captions.size(); ++slot) {
        bool held = false;
        for (const TFleetRow &row : m_rows)
            held = held || ArchiveFleet::ChannelSlot(row.modelIndex, slot % 2 == 1, slot / 2 + 1) == slot;
        if (held)
            cmb_ArchiveChannel->addItem(captions.at(slot), slot);
    }
    SelectChannel(picked);
}

bool THistoryArchiveView::SelectChannel(int slot)
{
    const int index = cmb_ArchiveChannel->findData(slot);
    if (index < 0)
        return false;
    cmb_ArchiveChannel->setCurrentIndex(index);
    return true;
}

void THistoryArchiveView::OverlayClicked()
{
    const QStringList imeis = SelectedImeis();
    if (imeis.isEmpty() || cmb_ArchiveChannel->currentIndex() < 0) {
        lbl_ArchiveState->setText(ConstLang::Text("TxtFleetOverlayPick", m_language));
        return;
    }
    const int slot = cmb_ArchiveChannel->currentData().toInt();
    const bool humidity = slot % 2 == 1;
    m_chart->removeAllSeries();
    m_overlaySlot = slot;
    m_overlayDevices = 0;
    m_overlayCut = false;
    double first = 0, last = 0, low = 0, high = 0;
    bool any = false;
    for (const TFleetRow &row : m_rows) {
        if (!imeis.contains(row.imei))
            continue;
        const int deviceSlot = ArchiveFleet::ChannelSlot(row.modelIndex, humidity, slot / 2 + 1);
        if (deviceSlot < 0)
            continue;
        const ArchiveFleet::TOverlayLine line = ArchiveFleet::ChannelLine(*m_archive, row.imei, row.modelIndex,
                                                                          deviceSlot);
        auto *series = new QLineSeries;
        series->setName(row.imei);
        QPen pen(THistoryChart::ChannelColour(m_overlayDevices));
        pen.setStyle(THistoryChart::ChannelStyle(m_overlayDevices));
        pen.setWidthF(1.6);
        series->setPen(pen);
        series->replace(THistoryChartData::Downsample(line.points, THistoryChart::ShownPointsPerLine));
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
        ++m_overlayDevices;
        m_overlayCut = m_overlayCut || line.cut;
        for (const QPointF &point : line.points) {
            first = any ? qMin(first, point.x()) : point.x();
            last = any ? qMax(last, point.x()) : point.x();
            low = any ? qMin(low, point.y()) : point.y();
            high = any ? qMax(high, point.y()) : point.y();
            any = true;
        }
    }
    if (!any) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        first = double(now - 3600000);
        last = double(now);
        low = humidity ? 0.0 : -10.0;
        high = humidity ? 100.0 : 40.0;
    }
    // A single moment or a flat line still gets a range to draw in.
    if (last - first < 60000.0) {
        first -= 1800000.0;
        last += 1800000.0;
    }
    if (high - low < 1.0) {
        low -= 1.0;
        high += 1.0;
    }
    const qint64 span = qint64(last - first);
    m_timeAxis->setFormat(span > 86400000 ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("MM-dd HH:mm:ss"));
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(first)), QDateTime::fromMSecsSinceEpoch(qint64(last)));
    const double pad = (high - low) * 0.05;
    m_valueAxis->setRange(low - pad, high + pad);
    m_valueAxis->applyNiceNumbers();
    m_timeAxis->setTickCount(qBound(2, m_view->width() / 150 + 1, 8));
    TitleOverlay();
}

void THistoryArchiveView::TitleOverlay()
{
    const bool humidity = m_overlaySlot % 2 == 1;
    m_valueAxis->setTitleText(
        ConstLang::Text(humidity ? "TxtChartHumidityAxis" : "TxtChartTemperatureAxis", m_language));
    const QStringList captions = ConstLang::ThRowCaptions(1, m_language);
    if (m_overlaySlot < 0 || m_overlaySlot >= captions.size()) {
        m_chart->setTitle(QString());
        return;
    }
    const QString channel = captions.at(m_overlaySlot);
    m_chart->setTitle(m_overlayCut ? ConstLang::Text("TxtFleetOverlayCut", m_language)
                                         .arg(channel)
                                         .arg(m_overlayDevices)
                                         .arg(ArchiveFleet::RecordsRead)
                                   : ConstLang::Text("TxtFleetOverlayTitle", m_language).arg(channel).arg(m_overlayDevices));
}

QString THistoryArchiveView::CurrentImei() const
{
    const int row = tbl_ArchiveDevices->currentRow();
    const QTableWidgetItem *item = row >= 0 ? tbl_ArchiveDevices->item(row, ImeiColumn) : nullptr;
    return item && item->isSelected() ? item->text() : QString();
}

QString THistoryArchiveView::CurrentModel() const
{
    const int row = tbl_ArchiveDevices->currentRow();
    const QTableWidgetItem *item = row >= 0 ? tbl_ArchiveDevices->item(row, ModelColumn) : nullptr;
    return item ? item->text() : QString();
}

bool THistoryArchiveView::SelectDevice(const QString &imei)
{
    if (imei.isEmpty())
        return false;
    for (int row = 0; row < tbl_ArchiveDevices->rowCount(); ++row) {
        if (tbl_ArchiveDevices->item(row, ImeiColumn)->text() == imei) {
            tbl_ArchiveDevices->selectRow(row);
            return true;
        }
    }
    return false;
}

void THistoryArchiveView::DeleteClicked()
{
    const QString imei = CurrentImei();
    if (imei.isEmpty())
        return;
    AskQuestion(this, ConstLang::Text("MsgArchiveDeleteAsk", m_language).arg(imei), [this, imei] {
        if (!m_archive->DeleteDevice(imei)) {
            const QString text = ConstLang::Text("MsgArchiveDeleteFailed", m_language).arg(imei)
                                 + QStringLiteral("\n") + m_archive->ErrorText();
            ShowErrorBox(this, text);
            emit MessageShown(text);
        }
        Refresh();
    });
}

void THistoryArchiveView::UpdateButtons()
{
    const bool picked = !CurrentImei().isEmpty();
    btn_ArchiveOverlay->setEnabled(!SelectedImeis().isEmpty() && cmb_ArchiveChannel->count() > 0);
    btn_ArchiveOpen->setEnabled(picked);
    btn_ArchiveExport->setEnabled(picked);
    btn_ArchiveDelete->setEnabled(picked);
}
