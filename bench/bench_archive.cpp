// Wall times of the history archive and the chart on a whole log of 20000
// records (K802: 16 values a record), and the resident memory of the main
// window with the archive's window and the chart open on them.
//
// - archive insert: 20000 new records in one Store (one transaction), into a
//   new file each run; then the same records again (all already held), and
//   reading them back;
// - chart: the series from a grid of 20000 rows x 16 value columns, and
//   drawing them (data handed to the chart page, then one paint);
// - memory (measured first): VmRSS of the process after the main window is up, and after the
//   archive is opened into its grid with the archive window and the chart
//   page shown.
// - a device with a million records: filling it, and what opening it costs;
// Each timed step runs several times; the median, the slowest and the first
// run are printed.

#include "BenchTools.h"
#include "SyntheticRecord.h"
#include "app/K900_Frm.h"
#include "session/DeviceConnection_Unt.h"
#include "history/HistoryArchiveView_Frm.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryChart_Frm.h"
#include "history/HistoryChartData_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/HistorySheet_Frm.h"
#include "history/SoftInterfaceHistory_Unt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int Records = 20000;
constexpr int Runs = 5;
constexpr int ModelK802 = 1;
const QString kImei = QStringLiteral("863712030448024");

QVector<TArchivedRecord> MakeLog()
{
    QVector<TArchivedRecord> log;
    log.reserve(Records);
    for (int n = 1; n <= Records; ++n)
        log.append({n, SyntheticRecord(n, true)});
    return log;
}

void Settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Fail(const QString &what)
{
    Out() << "FAILED: " << what << Qt::endl;
    return false;
}

bool ArchiveBench(const QTemporaryDir &dir, const QVector<TArchivedRecord> &log)
{
    Out() << "Archive, " << Records << " records:" << Qt::endl;
    int run = 0;
    std::unique_ptr<THistoryArchive> archive;
    bool ok = true;
    Report(QStringLiteral("insert into a new file"),
           Measure(Runs,
               [&] {
                   archive = std::make_unique<THistoryArchive>(dir.filePath(QStringLiteral("a%1.sqlite").arg(++run)));
                   ok = ok && archive->Open() == THistoryArchive::TStatus::Ready;
               },
               [&] { ok = ok && archive->Store(kImei, QStringLiteral("K802"), log) == Records; }));
    Report(QStringLiteral("the same records again (none new)"),
           Measure(Runs, [] {}, [&] { ok = ok && archive->Store(kImei, QStringLiteral("K802"), log) == 0; }));
    Report(QStringLiteral("read back for the grid"),
           Measure(Runs, [] {}, [&] { ok = ok && archive->Records(kImei, Records).size() == Records; }));
    QFile file(archive->Path());
    Out() << "  file size " << file.size() / 1024 << " KiB" << Qt::endl;
    return ok || Fail(QStringLiteral("archive store"));
}

bool ChartBench(const QVector<TArchivedRecord> &log)
{
    Out() << "Chart, " << Records << " rows x 16 channels:" << Qt::endl;
    THistoryGridModel grid;
    TSoftHistory soft;
    soft.SetTexts(THistoryTexts::ForLanguage(1));
    soft.InitGrid(grid);
    soft.SetValueColumns(grid, ModelK802, 1);
    std::vector<THistoryGridRow> rows;
    for (const TArchivedRecord &record : log)
        rows.push_back(HistoryRecord::GridRow(record.raw, ModelK802, soft.Texts()));
    grid.ReplaceRecordRows(rows);

    THistoryChartData data;
    Report(QStringLiteral("series from the grid"),
           Measure(Runs, [] {}, [&] { data = THistoryChartData::FromGrid(grid, ModelK802, {}); }));
    if (data.series.size() != 16 || data.series.first().points.size() != Records)
        return Fail(QStringLiteral("chart data"));

    THistoryChart chart;
    chart.resize(1200, 700);
    chart.show();
    Settle(200);
    Report(QStringLiteral("series + lines handed to the chart"),
           Measure(Runs, [] {}, [&] { chart.SetData(THistoryChartData::FromGrid(grid, ModelK802, {})); }));
    Report(QStringLiteral("series + lines + one paint"), Measure(Runs, [] {}, [&] {
               chart.SetData(THistoryChartData::FromGrid(grid, ModelK802, {}));
               chart.View()->grab();
           }));
    return true;
}

bool MemoryBench(const QVector<TArchivedRecord> &log)
{
    Out() << "Resident memory:" << Qt::endl;
    const long start = ResidentKiB();
    TFormK900 window;
    window.Connection()->EnterViewMode();
    window.show();
    Settle(1500);
    const long shown = ResidentKiB();
    THistorySheet *sheet = window.History();
    if (sheet->Archive().Open() != THistoryArchive::TStatus::Ready)
        return Fail(QStringLiteral("archive in the data folder"));
    sheet->Archive().DeleteDevice(kImei);
    if (sheet->Archive().Store(kImei, QStringLiteral("K802"), log) != Records)
        return Fail(QStringLiteral("archive store"));
    sheet->btn_HistoryArchive->click();
    sheet->OpenArchivedDevice(kImei, QStringLiteral("K802"));
    sheet->ShowChart();
    Settle(1500);
    const long open = ResidentKiB();
    if (sheet->Grid().LastFilledRow() != Records || !sheet->ArchiveView()->isVisible())
        return Fail(QStringLiteral("archive view"));
    Out() << "  before the main window          " << start / 1024 << " MiB" << Qt::endl;
    Out() << "  main window shown               " << shown / 1024 << " MiB" << Qt::endl;
    Out() << "  + archive window, 20000 rows in the grid, chart page shown  " << open / 1024 << " MiB ("
          << (open - shown) / 1024 << " MiB more)" << Qt::endl;
    sheet->Archive().DeleteDevice(kImei);
    return true;
}

// An archive holding one device's log of bigCount records (1000000 unless
// the first argument says otherwise), filled 20000 a transaction; then what
// opening the device does: the device list with its counts, the count, the
// latest 20000 records into a grid of its model. The full count of the log
// the list and the open made before the counts table is timed beside it.
bool BigArchiveBench(const QTemporaryDir &dir, int bigCount)
{
    Out() << "Archive of one device with " << bigCount << " records:" << Qt::endl;
    const QString path = dir.filePath(QStringLiteral("big.sqlite"));
    QElapsedTimer fill;
    fill.start();
    {
        THistoryArchive archive(path);
        if (archive.Open() != THistoryArchive::TStatus::Ready)
            return Fail(QStringLiteral("big archive"));
        QVector<TArchivedRecord> batch;
        for (int first = 1; first <= bigCount; first += Records) {
            batch.clear();
            for (int n = first; n < first + Records && n <= bigCount; ++n)
                batch.append({n, SyntheticRecord(n, true)});
            if (archive.Store(kImei, QStringLiteral("K802"), batch) != batch.size())
                return Fail(QStringLiteral("big archive store"));
        }
    }
    Out() << QStringLiteral("  filled in %1 s, file size %2 MiB")
                 .arg(double(fill.elapsed()) / 1000, 0, 'f', 1)
                 .arg(double(QFile(path).size()) / 1048576, 0, 'f', 0)
          << Qt::endl;

    bool ok = true;
    TSoftHistory soft;
    soft.SetTexts(THistoryTexts::ForLanguage(1));
    Report(QStringLiteral("open: file, device list, latest 20000 to a grid"), Measure(Runs, [] {}, [&] {
               THistoryArchive archive(path);
               ok = ok && archive.Open() == THistoryArchive::TStatus::Ready;
               const QVector<TArchivedDevice> devices = archive.Devices();
               ok = ok && devices.size() == 1 && devices.first().records == bigCount;
               ok = ok && archive.RecordCount(kImei) == bigCount;
               const QVector<TArchivedRecord> latest = archive.Records(kImei, Records);
               THistoryGridModel grid;
               soft.InitGrid(grid);
               soft.SetValueColumns(grid, ModelK802, 1);
               std::vector<THistoryGridRow> rows;
               rows.reserve(std::size_t(latest.size()));
               for (const TArchivedRecord &record : latest)
                   rows.push_back(HistoryRecord::GridRow(record.raw, ModelK802, soft.Texts()));
               grid.ReplaceRecordRows(std::move(rows));
               ok = ok && grid.LastFilledRow() == qMin(bigCount, Records);
           }));
    {
        THistoryArchive archive(path);
        archive.Open();
        Report(QStringLiteral("device list alone (counts table)"),
               Measure(Runs, [] {}, [&] { ok = ok && archive.Devices().size() == 1; }));
    }
    {
        const QString name = QStringLiteral("bench-count");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.open();
            Report(QStringLiteral("a full count of the log (as before)"), Measure(Runs, [] {}, [&] {
                       QSqlQuery count(db);
                       count.exec(QStringLiteral("SELECT count(*) FROM records WHERE imei = '%1'").arg(kImei));
                       ok = ok && count.next() && count.value(0).toInt() == bigCount;
                   }));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    return ok || Fail(QStringLiteral("big archive open"));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    // The memory step uses the program's archive file: keep it out of the
    // user's own data folder.
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QVector<TArchivedRecord> log = MakeLog();
    // Memory first, before the other steps leave their heap behind.
    bool ok = MemoryBench(log);
    ok = ArchiveBench(data, log) && ok;
    ok = ChartBench(log) && ok;
    const int bigCount = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    if (bigCount > 0)
        ok = BigArchiveBench(data, bigCount) && ok;
    return ok ? 0 : 1;
}
