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
    return ok ? 0 : 1;
}
