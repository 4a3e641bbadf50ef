#pragma once

#include "history/HistoryArchive_Unt.h"
#include "history/HistoryArchiveView_Frm.h"
#include "history/HistoryChartData_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "dialogs/ReasonPrompt_Frm.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class QTabWidget;
class THistoryArchiveView;
class THistoryChart;
class THistoryDownload;
class THistoryReadJob;
class QTimeEdit;
class QSplitter;
class QTimer;
class TDeviceConnection;
class TReportDialog;
class TReportStatsPanel;
struct TReportDocument;
class TDeviceSession;
class TJobRunner;
class TLabeledEdit;
class QWidget;

// The history sheet of the main window: the controls on Sheet_History, the
// grid SgHist over its model, and the handlers of the history buttons. The
// device work runs as jobs on the main window's session, started through its
// job runner; the decoding, CSV files and filter are the widget-free history
// core.
//
// Created once by the main window after its pages exist; it lives as the
// main window's child.
class THistorySheet : public QObject
{
    Q_OBJECT
public:
    // mainWindow: parent of dialogs and boxes; sheet: the page the controls go on.
    THistorySheet(QWidget *mainWindow, QWidget *sheet, TJobRunner *runner, TDeviceConnection *connection);
    ~THistorySheet() override;

    // Below this width of the chart page the statistics are a page of
    // their own after the chart, not beside it.
    static constexpr int SideBySideWidth = 1000;

    THistoryGridModel &Grid() { return m_grid; }
    const THistoryGridModel &Grid() const { return m_grid; }
    TSoftHistory &Soft() { return m_soft; }

    // Multi-record read of the quantity in lbledt_ReadQty, page by page.
    void btn_ReadHistroyFullClick();
    // One record, the line number in lbledt_ReadLine, into row 1.
    void btn_ReadHistroyClick();
    // Asks, then asks for the reason (AskReason), then erases the device's
    // log, its progress in the gauge.
    void btn_Clean_History_DevClick();
    // How the erase asks for its reason for the audit trail (the main
    // window puts in its own step).
    TAskReason AskReason;
    // Empties columns 1 onwards of every record row.
    void btn_History_ClearClick();
    void btn_Hist_Save_CSVClick();
    void btn_Hist_Open_CSVClick();
    void btn_History_FilterClick();

    // Captions, grid headers and the decoder's texts in language 0 (Chinese)
    // or 1 (English); the language switch calls it.
    void Retranslate(int language);
    // The model the value columns follow (0 K801, 1 K802, 2 K803).
    void SetModelIndex(int modelIndex);

    // The file dialog steps: folder is the program's folder; an empty result
    // means the user cancelled. They show non-native dialogs unless replaced
    // (tests replace them).
    std::function<QString(const QString &folder, const QString &defaultName)> ChooseSaveFile;
    std::function<QString(const QString &folder)> ChooseOpenFile;

    // True while a multi-record read runs.
    bool Reading() const { return m_reading; }

    // The device logged in: its IMEI keys the archive. The window calls it
    // with each identity the device reports.
    void SetDevice(const QString &imei, const QString &model);
    // Names and alarm thresholds of the value columns, from the window's
    // channel rows once the configuration has been read.
    void SetChannelInfo(const QVector<TChartChannelInfo> &channels);
    // The same from the sensor channel rows (lvTh sub-items) of a
    // configuration read: names and high and low alarm thresholds.
    void SetChannelRows(const QVector<QStringList> &rows);

    // The configuration image read from the device in this connection: the
    // limits of the reports, and kept in the archive with the next download.
    void SetConfigurationImage(const QByteArray &image);

    // Reads the records after the last one archived for this device.
    void btn_ReadHistoryNewClick();
    // Goes on with a read that ended early, at the page it did not get.
    void btn_ReadHistoryContinueClick();
    // Shows the archive's window.
    void btn_HistoryArchiveClick();
    // The archive window's actions: a device's archived records into the
    // grid, or into a CSV file as the grid's export writes them.
    void OpenArchivedDevice(const QString &imei, const QString &model);
    void ExportArchivedDevice(const QString &imei, const QString &model);

    THistoryArchive &Archive() { return m_archive; }
    THistoryDownload *Download() const { return m_download; }
    // The chart page, made when first asked for; it is redrawn from the
    // grid whenever it is shown after the grid changed.
    THistoryChart *Chart();
    // Shows the chart page.
    void ShowChart();
    THistoryArchiveView *ArchiveView() const { return m_archiveView; }

    // The report of what the grid shows: its rows, with the identity and the
    // limits known for them (the configuration read in this connection for
    // the device's own rows, the archive's for an archived device's, none
    // for a file's); not yet computed.
    TReportDocument GridReport() const;
    // The statistics beside the chart; they follow the grid, computed a
    // moment after it last changed and not while a read fills it.
    TReportStatsPanel *StatisticsPanel() const { return m_statsPanel; }
    // Computes the panel's statistics now.
    void UpdateStatistics();
    // The Report… button: the dialog for the grid's rows.
    void btn_HistoryReportClick();
    // The Report… dialog while it is open, else null.
    TReportDialog *ReportDialog() const;

    QGroupBox *grp_History = nullptr;
    TLabeledEdit *lbledt_ReadQty = nullptr;
    TLabeledEdit *lbledt_ReadLine = nullptr;
    QPushButton *btn_ReadHistroyFull = nullptr;
    QPushButton *btn_ReadHistroy = nullptr;
    QPushButton *btn_Clean_History_Dev = nullptr;
    QPushButton *btn_History_Clear = nullptr;
    QGroupBox *grp_HisTime = nullptr;
    QLabel *lbl_HisStartTime = nullptr;
    QLabel *lbl_HisStopTime = nullptr;
    QDateEdit *dtp_Hist_Begin_Date = nullptr;
    QTimeEdit *dtp_Hist_Begin_Time = nullptr;
    QDateEdit *dtp_Hist_End_Date = nullptr;
    QTimeEdit *dtp_Hist_End_Time = nullptr;
    QPushButton *btn_History_Filter = nullptr;
    QGroupBox *grp_HistoryFiles = nullptr;
    QPushButton *btn_Hist_Save_CSV = nullptr;
    QPushButton *btn_Hist_Open_CSV = nullptr;
    QPushButton *btn_HistoryReport = nullptr;
    QTableView *SgHist = nullptr;
    QTabWidget *tab_History = nullptr;
    QGroupBox *grp_HistoryArchive = nullptr;
    QPushButton *btn_ReadHistoryNew = nullptr;
    QPushButton *btn_ReadHistoryContinue = nullptr;
    QPushButton *btn_HistoryArchive = nullptr;
    QLabel *lbl_HistoryReadState = nullptr;

signals:
    // A message was shown to the user (message window or error box).
    void MessageShown(const QString &text);
    // A multi-record read ended; rows: the records now in the grid.
    void ReadFinished(int rows);
    // Good news (a CSV file written): for the main window's status bar.
    void Done(const QString &text);

private:
    void BuildControls();
    void ApplyColumnWidths();
    void SetPickersToNow();
    void ShowInfo(const QString &text);
    void ShowError(const QString &text);
    void ShowFileError(const THistoryCsv::TResult &result);
    QString Text(const char *key) const;
    QString Text(const QString &key) const;
    // True when the device can be asked now; says so when the port is closed.
    bool DeviceReady();
    void BuildArchiveControls(QWidget *sheet);
    void RetranslateArchiveControls();
    // Runs a read job of the download; quantity > 0 moves the gauge by
    // records, else the job's pages do.
    void RunRead(THistoryReadJob *read, int quantity);
    void ReadEnded(THistoryReadJob *read, int quantity);
    // Erases the device's log (asked before).
    void EraseLog(const QString &reason);
    void SayArchiveProblem();
    void RefreshChart();
    void ChartDataChanged();
    void BuildReportControls(QWidget *chartPage);
    // The statistics follow a change of the grid: a moment later, or when
    // the running read ends.
    void ScheduleStatistics();
    // The device's archived records for the grid (held: how many it has);
    // none: the user is told the archive holds nothing for it.
    QVector<TArchivedRecord> ArchivedRows(const QString &imei, int *held);

    QWidget *m_main;
    QWidget *m_sheet;
    TJobRunner *m_runner;
    TDeviceConnection *m_connection;
    TDeviceSession *m_session;
    THistoryGridModel m_grid;
    TSoftHistory m_soft;
    int m_modelIndex = -1;
    int m_language = 1;
    bool m_reading = false;
    // Runs once a Read New has stored every record in the archive (the safe
    // step before an erase).
    std::function<void()> m_afterArchived;

    THistoryArchive m_archive;
    THistoryDownload *m_download = nullptr;
    THistoryChart *m_chart = nullptr;
    QWidget *m_chartPage = nullptr;
    // The chart page's size decides where the statistics stand.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void FitChartPage();
    // The statistics came back beside the chart: shares to set at the splitter's next size.
    bool m_splitPending = false;
    void ApplyPendingSplit();
    QPointer<THistoryArchiveView> m_archiveView;
    QVector<TChartChannelInfo> m_channels;
    QString m_imei;
    QString m_deviceModel;
    // The model whose value columns the grid shows (the archive's device
    // after an archive was opened).
    int m_gridModelIndex = -1;
    bool m_chartStale = true;
    QByteArray m_configuration;
    QDateTime m_configurationRead;
    bool m_configurationFromDownload = false;

    // Where the grid's rows came from, for the report's identity and limits.
    enum class TGridSource { Device, Archive, File };
    TGridSource m_gridSource = TGridSource::Device;
    QString m_gridImei;
    QString m_gridModel;
    QString m_gridFile;
    TReportStatsPanel *m_statsPanel = nullptr;
    QSplitter *m_chartSplitter = nullptr;
    QTimer *m_statsTimer = nullptr;
    QPointer<TReportDialog> m_reportDialog;
};
