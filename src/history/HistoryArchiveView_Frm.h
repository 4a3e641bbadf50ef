#pragma once

#include "report/ArchiveFleet_Unt.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QChart;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;
class QValueAxis;
class THistoryArchive;
class THistoryChartView;

// The archive's window: the devices whose records the archive holds (IMEI,
// model, records, last read, last download, the last record's values and
// whether a reading of the last download crossed its limits), and for the
// one picked: open its records in the history grid (no device needs to be
// connected), export them to a CSV file as the grid does, or delete them
// after a question. Several devices picked together can be compared: one
// channel of each over its archived records on one chart. The window does
// not wait on anything; the owner does the opening and the export.
class THistoryArchiveView : public QDialog
{
    Q_OBJECT
public:
    THistoryArchiveView(THistoryArchive *archive, QWidget *parent = nullptr);

    // Reads the device list again (after a read, a delete).
    void Refresh();
    void Retranslate(int language);
    // The IMEI and model of the row picked; empty when none.
    QString CurrentImei() const;
    QString CurrentModel() const;
    // Picks the row of imei; false when the list has none.
    bool SelectDevice(const QString &imei);

    // Asks, then deletes the picked device's records.
    void DeleteClicked();
    // Draws the channel picked of every device picked, one line each.
    void OverlayClicked();
    // The IMEIs of the rows picked, in the list's order.
    QStringList SelectedImeis() const;
    // Picks the channel by its record slot; false when the list has none.
    bool SelectChannel(int slot);
    QChart *OverlayChart() const { return m_chart; }

    // What the buttons ask of the owner, with the IMEI and model picked.
    std::function<void(const QString &imei, const QString &model)> OpenDevice;
    std::function<void(const QString &imei, const QString &model)> ExportDevice;

    QTableWidget *tbl_ArchiveDevices = nullptr;
    QLabel *lbl_ArchiveState = nullptr;
    QPushButton *btn_ArchiveOpen = nullptr;
    QPushButton *btn_ArchiveExport = nullptr;
    QPushButton *btn_ArchiveDelete = nullptr;
    QPushButton *btn_ArchiveClose = nullptr;
    QComboBox *cmb_ArchiveChannel = nullptr;
    QPushButton *btn_ArchiveOverlay = nullptr;

signals:
    void MessageShown(const QString &text);

private:
    void UpdateButtons();
    void FillTable();
    void FillChannels();
    void TitleOverlay();

    THistoryArchive *m_archive;
    int m_language = 1;
    QVector<TFleetRow> m_rows;
    QSplitter *m_split = nullptr;
    QChart *m_chart = nullptr;
    THistoryChartView *m_view = nullptr;
    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_valueAxis = nullptr;
    // What the chart shows, for its title in the other language.
    int m_overlaySlot = -1;
    int m_overlayDevices = 0;
    bool m_overlayCut = false;
};
