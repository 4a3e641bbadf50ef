// The history page's statistics and Report… on a main window connected to
// the simulated logger: the panel beside the chart shows the grid's figures
// (worked out by hand below) and follows the filter; the dialog saves a PDF
// holding the device and the figures, in both languages, and leaves a file it
// cannot write as it was; a download on a fresh connection reads the
// configuration first and the archive keeps it with the download.
#include "app/K900_Frm.h"
#include "config/ConfigImage_Unt.h"
#include "dialogs/MessageBox_Frm.h"
#include "history/HistoryChart_Frm.h"
#include "history/HistorySheet_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "look/ComponentEx.h"
#include "report/ReportDialog_Frm.h"
#include "report/ReportPanel_Frm.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "views/FrameBar_Frm.h"
#include "views/MainSheets.h"
#include "fixtures/MainWindowFixture.h"

#include <QChart>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDateTimeAxis>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLegend>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QSplitter>
#include <QSqlDatabase>
#include <QTabWidget>
#include <QTableWidget>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QtEndian>

#include <memory>

using namespace MainWindowFixture;

namespace {

constexpr int ReadWaitMs = 60000;

// A K801's configuration: Temperature1 "Fridge A" 2.0 .. 8.0 °C, Humidity1
// 30.0 .. 70.0 %RH, a record every 600 s; the other channels without limits.
QByteArray Configuration()
{
    QByteArray image(ConfigMap::ImageSize, char(0xFF));
    const QByteArray name("Fridge A");
    image.replace(ConfigMap::SensorNames, name.size(), name);
    image[ConfigMap::SensorNames + name.size()] = 0;
    qToLittleEndian<qint16>(80, image.data() + ConfigMap::SensorHighThresholds);
    qToLittleEndian<qint16>(20, image.data() + ConfigMap::SensorLowThresholds);
    qToLittleEndian<qint16>(700, image.data() + ConfigMap::SensorHighThresholds + 2);
    qToLittleEndian<qint16>(300, image.data() + ConfigMap::SensorLowThresholds + 2);
    qToLittleEndian<quint16>(600, image.data() + ConfigMap::RecordInterval);
    return image;
}

// Four K801 rows ten minutes apart from 2024-03-01 08:00: Temperature1
// 4.0, 5.0, 9.0, 6.0 °C, Humidity1 50.0 %RH, the other channels 0.0.
//   min 4.0 at 08:00, max 9.0 at 08:20, mean 6.00, std. dev. 2.16;
//   MKT weights 5, 10, 10, 5 min: 6.57 °C; one excursion above 8.0 from
//   08:20 to 08:30. Rows 08:00 and 08:10 alone: MKT 4.52 °C, within limits.
void FillGrid(THistorySheet *sheet)
{
    const char *const temperatures[] = {"4.0", "5.0", "9.0", "6.0"};
    for (int row = 0; row < 4; ++row) {
        sheet->Grid().SetCells(row + 1, 1,
                               QStringList{QStringLiteral("24/3/1"), QStringLiteral("8:%1:0").arg(row * 10),
                                           QStringLiteral("25"), QStringLiteral("Arm"), QStringLiteral("Open"),
                                           QStringLiteral("Open"), QStringLiteral("Interval"),
                                           QString::fromLatin1(temperatures[row]), QStringLiteral("50.0"),
                                           QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("0.0"),
                                           QStringLiteral("0.0"), QStringLiteral("0.0"), QStringLiteral("0.0")});
    }
}

QString PdfText(const QString &fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                QStringLiteral("UTF-8"), fileName, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

void WaitForRead(THistorySheet *sheet)
{
    QVERIFY(QTest::qWaitFor([sheet] { return !sheet->Reading(); }, ReadWaitMs));
    if (TFormMessage *message = TFormMessage::existingInstance())
        message->close();
}

void WaitForSession(TFormK900 &window)
{
    QVERIFY(QTest::qWaitFor([&window] { return !window.Session()->busy(); }, ReadWaitMs));
}

// Memory reads (command 131) from request index from on: the configuration
// lies below 0x4000, the log from there on.
struct TMemoryReads
{
    int configurationPages = 0;
    int logPages = 0;
    bool configurationAfterLog = false;
};

TMemoryReads MemoryReads(const TDeviceSimulator *device, int from)
{
    TMemoryReads reads;
    const QVector<QByteArray> log = device->requestLog();
    for (int index = from; index < log.size(); ++index) {
        const QByteArray &request = log.at(index);
        if (request.size() < 6 || request.at(0) != '#' || quint8(request.at(1)) != TBasicProtocol::CmdReadMemory)
            continue;
        const quint32 address = qFromBigEndian<quint32>(request.constData() + 2);
        if (address < 0x4000) {
            ++reads.configurationPages;
            reads.configurationAfterLog = reads.configurationAfterLog || reads.logPages > 0;
        } else {
            ++reads.logPages;
        }
    }
    return reads;
}

} // namespace

class TestHistoryReport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    // A K801 window with the configuration above read and the rows in its grid.
    std::unique_ptr<TFormK900> WindowWithRows(int language)
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K801"));
        if (!window)
            return nullptr;
        Switch(*window, language);
        THistorySheet *sheet = window->History();
        sheet->SetConfigurationImage(Configuration());
        FillGrid(sheet);
        return window;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed to read the reports back");
        QVERIFY(m_folder.isValid());
    }

    void cleanup()
    {
        if (TFormMessage *message = TFormMessage::existingInstance())
            message->close();
    }

    void panelShowsTheGridAndFollowsTheFilter_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("excursions");
        QTest::newRow("English") << int(ConstLang::English) << QStringLiteral("High 8.0 °C: 1, 00:10:00; Low 2.0 °C: 0");
        QTest::newRow("Chinese") << int(ConstLang::Chinese) << QStringLiteral("高 8.0 °C: 1, 00:10:00; 低 2.0 °C: 0");
    }

    void panelShowsTheGridAndFollowsTheFilter()
    {
        QFETCH(int, language);
        QFETCH(QString, excursions);
        std::unique_ptr<TFormK900> window = WindowWithRows(language);
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TReportStatsPanel *panel = sheet->StatisticsPanel();
        QVERIFY(panel);
        QTRY_COMPARE(panel->CellText(0, TReportStatsPanel::ColReadings), QStringLiteral("4"));
        QCOMPARE(panel->RowCount(), 8);
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColChannel), QStringLiteral("Fridge A"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColMinimum), QStringLiteral("4.0 °C (2024-03-01 08:00:00)"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColMaximum), QStringLiteral("9.0 °C (2024-03-01 08:20:00)"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColMean), QStringLiteral("6.00"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColStdDev), QStringLiteral("2.16"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColMkt), QStringLiteral("6.57 °C"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColExcursions), excursions);
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColResult), ConstLang::Text("RptFail", language));
        // Humidity has no MKT and stayed within its limits.
        QCOMPARE(panel->CellText(1, TReportStatsPanel::ColMkt), QStringLiteral("—"));
        QCOMPARE(panel->CellText(1, TReportStatsPanel::ColResult), ConstLang::Text("RptPass", language));
        QVERIFY(panel->lbl_ReportStatsNote->text().contains(
            ConstLang::Text("RptLimitsRead", language).section(QStringLiteral("%1"), 0, 0)));

        // The filter keeps 08:00 and 08:10: the figures follow.
        sheet->dtp_Hist_Begin_Date->setDate(QDate(2024, 3, 1));
        sheet->dtp_Hist_Begin_Time->setTime(QTime(8, 0));
        sheet->dtp_Hist_End_Date->setDate(QDate(2024, 3, 1));
        sheet->dtp_Hist_End_Time->setTime(QTime(8, 15));
        sheet->btn_History_Filter->click();
        QTRY_COMPARE(panel->CellText(0, TReportStatsPanel::ColReadings), QStringLiteral("2"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColMaximum), QStringLiteral("5.0 °C (2024-03-01 08:10:00)"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColMkt), QStringLiteral("4.52 °C"));
        QCOMPARE(panel->CellText(0, TReportStatsPanel::ColResult), ConstLang::Text("RptPass", language));

        // A filter that keeps nothing empties the panel.
        sheet->dtp_Hist_Begin_Date->setDate(QDate(2025, 1, 1));
        sheet->dtp_Hist_End_Date->setDate(QDate(2025, 1, 2));
        sheet->btn_History_Filter->click();
        QTRY_COMPARE(panel->RowCount(), 0);
        QCOMPARE(panel->lbl_ReportStatsNote->text(), ConstLang::Text("RptPanelEmpty", language));
    }

    // The panel beside the chart and the button fit at the window's smallest
    // size and at full HD, in both languages. With K80X_GRAB_FOLDER set the
    // pages and the dialog are saved there as pictures.
    void panelAndButtonFitTheWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        QTest::newRow("English smallest") << int(ConstLang::English) << QSize();
        QTest::newRow("English 1920x1080") << int(ConstLang::English) << QSize(1920, 1080);
        QTest::newRow("Chinese smallest") << int(ConstLang::Chinese) << QSize();
        QTest::newRow("Chinese 1920x1080") << int(ConstLang::Chinese) << QSize(1920, 1080);
    }

    void panelAndButtonFitTheWindow()
    {
        QFETCH(int, language);
        QFETCH(QSize, size);
        std::unique_ptr<TFormK900> window = WindowWithRows(language);
        QVERIFY(window);
        window->resize(size.isValid() ? size : window->minimumSize());
        TFrameBar::SelectPages(window->Sheets(), TFrameBar::SectionPages(5));
        THistorySheet *sheet = window->History();
        sheet->ShowChart();
        TReportStatsPanel *panel = sheet->StatisticsPanel();
        QTRY_COMPARE(panel->CellText(0, TReportStatsPanel::ColReadings), QStringLiteral("4"));
        QTest::qWait(50);
        QVERIFY(sheet->btn_HistoryReport->isVisible());
        QVERIFY(sheet->btn_HistoryReport->width() >= sheet->btn_HistoryReport->sizeHint().width());
        // At full HD the panel stands beside the chart, which keeps the
        // larger share; at the smallest window the panel is the page after
        // the chart, which then has the whole page.
        auto *pages = window->findChild<QTabWidget *>(QStringLiteral("tab_History"));
        QVERIFY(pages);
        QWidget *chartPage = window->findChild<QWidget *>(QStringLiteral("Sheet_HistoryChart"));
        if (size.isValid()) {
            QCOMPARE(pages->count(), 2);
            QVERIFY(panel->isVisible());
            QVERIFY(sheet->Chart()->width() > panel->width());
        } else {
            QCOMPARE(pages->count(), 3);
            QCOMPARE(pages->tabText(2), ConstLang::Text("RptPanel", language));
            QVERIFY(!panel->isVisible());
            QVERIFY(sheet->Chart()->width() > chartPage->width() * 9 / 10);
            pages->setCurrentWidget(panel);
            QTest::qWait(50);
            QVERIFY(panel->isVisible());
            // The controls that read the device make room, as for the chart.
            QVERIFY(!window->findChild<QWidget *>(QStringLiteral("grp_HistoryArchive"))->isVisible());
        }
        // The table shows at least its first columns and rows.
        QVERIFY(panel->tbl_ReportStats->viewport()->width() > 150);
        QVERIFY(panel->tbl_ReportStats->viewport()->height() > 3 * panel->tbl_ReportStats->rowHeight(0));

        sheet->btn_HistoryReport->click();
        TReportDialog *dialog = sheet->ReportDialog();
        QVERIFY(dialog);
        QTest::qWait(50);
        for (QPushButton *button : {dialog->btn_ReportPreview, dialog->btn_ReportSave, dialog->btn_ReportClose})
            QVERIFY(button->width() >= button->sizeHint().width());
        const QString folder = qEnvironmentVariable("K80X_GRAB_FOLDER");
        if (!folder.isEmpty()) {
            const QString tag = QStringLiteral("%1_%2x%3")
                                    .arg(language == ConstLang::Chinese ? QStringLiteral("zh") : QStringLiteral("en"))
                                    .arg(window->width())
                                    .arg(window->height());
            QVERIFY(window->grab().save(folder + QStringLiteral("/report_page_%1.png").arg(tag)));
            QVERIFY(dialog->grab().save(folder + QStringLiteral("/report_dialog_%1.png").arg(tag)));
        }
        dialog->close();
    }

    // The chart page at the window's smallest size and at full HD, in both
    // languages: the plot keeps room to read, its time labels stand side by
    // side without touching, and the legend is left to the channel list
    // when the plot is narrow.
    void chartIsReadableInTheWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("legend");
        QTest::newRow("English smallest") << int(ConstLang::English) << QSize() << false;
        QTest::newRow("English 1920x1080") << int(ConstLang::English) << QSize(1920, 1080) << true;
        QTest::newRow("Chinese smallest") << int(ConstLang::Chinese) << QSize() << false;
        QTest::newRow("Chinese 1920x1080") << int(ConstLang::Chinese) << QSize(1920, 1080) << true;
        QTest::newRow("Chinese smallest, then 1920x1080") << int(ConstLang::Chinese) << QSize(-1920, -1080) << true;
    }
    void chartIsReadableInTheWindow()
    {
        QFETCH(int, language);
        QFETCH(QSize, size);
        QFETCH(bool, legend);
        std::unique_ptr<TFormK900> window = WindowWithRows(language);
        QVERIFY(window);
        // A negative size: first the smallest window, then that size.
        const bool smallestFirst = size.width() < -1;
        window->resize(size.isValid() ? size : window->minimumSize());
        TFrameBar::SelectPages(window->Sheets(), TFrameBar::SectionPages(5));
        THistorySheet *sheet = window->History();
        sheet->ShowChart();
        THistoryChart *chart = sheet->Chart();
        QTRY_VERIFY(chart->isVisible() && chart->Chart()->plotArea().width() > 0);
        QTest::qWait(50);
        if (smallestFirst) {
            // Resized while other pages are shown, as a user does.
            sheet->tab_History->setCurrentIndex(0);
            window->Sheets().PageControl->setCurrentIndex(0);
            QTest::qWait(50);
            window->resize(size * -1);
            QTest::qWait(50);
            TFrameBar::SelectPages(window->Sheets(), TFrameBar::SectionPages(5));
            sheet->ShowChart();
            QTest::qWait(50);
            QVERIFY(sheet->StatisticsPanel()->isVisible());
            QVERIFY2(chart->width() > sheet->StatisticsPanel()->width(),
                     qPrintable(QStringLiteral("chart %1, statistics %2")
                                    .arg(chart->width())
                                    .arg(sheet->StatisticsPanel()->width())));
        }
        const QRectF plot = chart->Chart()->plotArea();
        QVERIFY2(plot.width() >= 300 && plot.height() >= 100,
                 qPrintable(QStringLiteral("plot %1x%2").arg(plot.width()).arg(plot.height())));
        QCOMPARE(chart->Chart()->legend()->isVisible(), legend);
        const QFontMetrics metrics(chart->TimeAxis()->labelsFont());
        const int ticks = chart->TimeAxis()->tickCount();
        QVERIFY(ticks >= 2);
        for (const QDateTime &time : {chart->TimeAxis()->min(), chart->TimeAxis()->max()}) {
            const int label = metrics.horizontalAdvance(time.toString(chart->TimeAxis()->format()));
            QVERIFY2(label < plot.width() / (ticks - 1),
                     qPrintable(QStringLiteral("%1 labels of %2 px in %3 px").arg(ticks).arg(label).arg(plot.width())));
        }
        // Every channel's name stands whole in the list beside the plot.
        QListWidget *list = chart->lst_ChartChannels;
        for (int row = 0; row < list->count(); ++row) {
            const QRect item = list->visualItemRect(list->item(row));
            const int needed = list->iconSize().width() + metrics.horizontalAdvance(list->item(row)->text());
            QVERIFY2(needed < item.width(), qPrintable(list->item(row)->text()));
        }
        const QString folder = qEnvironmentVariable("K80X_GRAB_FOLDER");
        if (!folder.isEmpty()) {
            QVERIFY(window->grab().save(
                folder + QStringLiteral("/chart_page_%1_%2x%3.png")
                             .arg(language == ConstLang::Chinese ? QStringLiteral("zh") : QStringLiteral("en"))
                             .arg(window->width())
                             .arg(window->height())));
        }
    }

    void reportDialogSavesThePdf_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << int(ConstLang::English);
        QTest::newRow("Chinese") << int(ConstLang::Chinese);
    }

    void reportDialogSavesThePdf()
    {
        QFETCH(int, language);
        std::unique_ptr<TFormK900> window = WindowWithRows(language);
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        QCOMPARE(sheet->btn_HistoryReport->text(), ConstLang::Text("RptButton", language));
        sheet->btn_HistoryReport->click();
        TReportDialog *dialog = sheet->ReportDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        // The period of the grid, every channel, ΔH 83.144 kJ/mol.
        QCOMPARE(dialog->dte_ReportFrom->dateTime(), QDateTime(QDate(2024, 3, 1), QTime(8, 0)));
        QCOMPARE(dialog->dte_ReportTo->dateTime(), QDateTime(QDate(2024, 3, 1), QTime(8, 30)));
        QCOMPARE(dialog->lst_ReportChannels->count(), 8);
        QCOMPARE(dialog->spn_ReportDeltaH->value(), 83.144);
        QCOMPARE(dialog->btn_ReportSave->text(), ConstLang::Text("RptDialogSave", language));

        const QString fileName = m_folder.filePath(QStringLiteral("report%1.pdf").arg(language));
        dialog->ChooseFile = [fileName](const QString &defaultName) {
            return defaultName.endsWith(QLatin1String(".pdf")) ? fileName : QString();
        };
        dialog->btn_ReportSave->click();
        QVERIFY(QFile::exists(fileName));
        QCOMPARE(dialog->lbl_ReportState->text(), ConstLang::Text("RptSaved", language).arg(fileName));
        const QString text = PdfText(fileName);
        QVERIFY(!text.isEmpty());
        const QString imei = window->Connection()->Identity().imei;
        QVERIFY(!imei.isEmpty());
        for (const QString &expected : {imei, QStringLiteral("Fridge A"), QStringLiteral("4.0 °C"),
                                        QStringLiteral("9.0 °C"), QStringLiteral("6.57 °C"), QStringLiteral("50.0 %RH"),
                                        ConstLang::Text("RptFail", language), ConstLang::Text("RptTitle", language)})
            QVERIFY2(text.contains(expected), qPrintable(expected));

        // The print preview shows the report's pages.
        dialog->btn_ReportPreview->click();
        QPrintPreviewDialog *preview = dialog->PreviewWindow();
        QVERIFY(preview);
        QTRY_VERIFY(preview->isVisible());
        QPrintPreviewWidget *pages = preview->findChild<QPrintPreviewWidget *>();
        QVERIFY(pages);
        QTRY_VERIFY(pages->pageCount() >= 2);
        if (!qEnvironmentVariableIsEmpty("K80X_GRAB_FOLDER")) {
            preview->resize(1200, 900);
            QTest::qWait(100);
            QVERIFY(preview->grab().save(qEnvironmentVariable("K80X_GRAB_FOLDER")
                                         + QStringLiteral("/report_preview_%1.png").arg(language)));
        }
        preview->close();

        // The first channel left out and the period cut to its start: the
        // report follows the dialog.
        dialog->lst_ReportChannels->item(0)->setCheckState(Qt::Unchecked);
        dialog->dte_ReportTo->setDateTime(QDateTime(QDate(2024, 3, 1), QTime(8, 10)));
        const TReportDocument chosen = dialog->Document();
        QCOMPARE(chosen.stats.records, 2);
        QCOMPARE(chosen.series.channels.size(), 7);
        QVERIFY(chosen.series.channels.first().humidity);
        QCOMPARE(chosen.stats.channels.first().maximum, 50.0);
        dialog->close();
    }

    // A PDF name that cannot be opened for writing (here a folder, standing
    // for a file another program holds) is left as it was, and the user is told.
    void aPdfThatCannotBeWrittenIsLeftAndSaid()
    {
        std::unique_ptr<TFormK900> window = WindowWithRows(ConstLang::English);
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        const QString fileName = m_folder.filePath(QStringLiteral("held.pdf"));
        QVERIFY(QDir().mkpath(fileName));
        {
            QFile inside(fileName + QStringLiteral("/kept.txt"));
            QVERIFY(inside.open(QIODevice::WriteOnly));
            inside.write("kept");
        }
        sheet->btn_HistoryReport->click();
        TReportDialog *dialog = sheet->ReportDialog();
        QVERIFY(dialog);
        dialog->ChooseFile = [fileName](const QString &) { return fileName; };
        QVERIFY(!dialog->SavePdf());
        QVERIFY2(ErrorBoxText(dialog).startsWith(
                     ConstLang::Text("RptWriteFailed", ConstLang::English).section(QStringLiteral("%2"), 0, 0).arg(fileName)),
                 qPrintable(ErrorBoxText(dialog)));
        QVERIFY(QFileInfo(fileName).isDir());
        QFile inside(fileName + QStringLiteral("/kept.txt"));
        QVERIFY(inside.open(QIODevice::ReadOnly));
        QCOMPARE(inside.readAll(), QByteArray("kept"));
        QVERIFY(dialog->lbl_ReportState->text().isEmpty());
        if (QMessageBox *box = OpenBox(dialog, "ErrorBox"))
            box->close();
        dialog->close();
    }

    // No configuration read in this connection: the download reads it once,
    // before the log, and the archive keeps it with the download; the
    // statistics say the limits came with that download.
    void aDownloadOnAFreshConnectionKeepsTheConfiguration()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        device->setHistoryRecordCount(12);
        const QString imei = device->imei();
        sheet->Archive().Open();
        sheet->Archive().DeleteDevice(imei);

        WaitForSession(*window);
        int before = device->requestLog().size();
        sheet->btn_ReadHistoryNew->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Archive().RecordCount(imei), 12);
        TMemoryReads reads = MemoryReads(device, before);
        QCOMPARE(reads.configurationPages, 15);
        QVERIFY(!reads.configurationAfterLog);
        QVERIFY(reads.logPages >= 3);

        const QString connectionName = QStringLiteral("tst_HistoryReport");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
            db.setDatabaseName(sheet->Archive().Path());
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.prepare(QStringLiteral("SELECT config FROM downloads WHERE imei = ?")));
            query.addBindValue(imei);
            QVERIFY(query.exec());
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toByteArray(), device->configImage().left(ConfigMap::ImageSize));
            QVERIFY(!query.next());
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName);

        QTRY_VERIFY(sheet->StatisticsPanel()->lbl_ReportStatsNote->text().contains(
            ConstLang::Text("RptLimitsFrom", ConstLang::English).section(QStringLiteral("%1"), 0, 0)));

        // The same connection: the configuration is known, no second read.
        device->appendHistoryRecords(4);
        WaitForSession(*window);
        before = device->requestLog().size();
        sheet->btn_ReadHistoryNew->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Archive().RecordCount(imei), 16);
        reads = MemoryReads(device, before);
        QCOMPARE(reads.configurationPages, 0);
        QVERIFY(reads.logPages >= 1);
    }
};

QTEST_MAIN(TestHistoryReport)
#include "tst_HistoryReport.moc"
