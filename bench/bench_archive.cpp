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
// Each timed step runs several times; the median and the slowest run are printed.

#include "app/K900_Frm.h"
#include "app/Variable_Unt.h"
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

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

// Record n, one every ten minutes from 2017-01-01, every field varying.
QByteArray MakeRecord(int n)
{
    QByteArray record(64, char(0xFF));
    const QDateTime moment = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(n) * 600);
    record[0] = char(n & 0xFF);
    record[1] = char((n >> 8) & 0xFF);
    record[2] = record[3] = 0;
    record[4] = char(moment.date().year() - 2000);
    record[5] = char(moment.date().month());
    record[6] = char(moment.date().day());
    record[7] = char(moment.time().hour());
    record[8] = char(moment.time().minute());
    record[9] = char(moment.time().second());
    record[10] = char(n % 32);
    record[11] = char(n % 256);
    for (int slot = 0; slot < 16; ++slot) {
        const quint16 raw = quint16(qint16((n * 37 + slot * 11) % 2000 - 400));
        record[12 + 2 * slot] = char(raw & 0xFF);
        record[13 + 2 * slot] = char(raw >> 8);
    }
    record[44] = char(n % 8);
    return record;
}

QVector<TArchivedRecord> MakeLog()
{
    QVector<TArchivedRecord> log;
    log.reserve(Records);
    for (int n = 1; n <= Records; ++n)
        log.append({n, MakeRecord(n)});
    return log;
}

std::vector<double> Measure(const std::function<void()> &prepare, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}

void Report(const QString &what, const std::vector<double> &times)
{
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    Out() << QStringLiteral("  %1 %2 ms median, %3 ms slowest")
                 .arg(what, -44)
                 .arg(sorted[sorted.size() / 2], 8, 'f', 1)
                 .arg(sorted.back(), 8, 'f', 1)
          << Qt::endl;
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
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
           Measure(
               [&] {
                   archive = std::make_unique<THistoryArchive>(dir.filePath(QStringLiteral("a%1.sqlite").arg(++run)));
                   ok = ok && archive->Open() == THistoryArchive::TStatus::Ready;
               },
               [&] { ok = ok && archive->Store(kImei, QStringLiteral("K802"), log) == Records; }));
    Report(QStringLiteral("the same records again (none new)"),
           Measure([] {}, [&] { ok = ok && archive->Store(kImei, QStringLiteral("K802"), log) == 0; }));
    Report(QStringLiteral("read back for the grid"),
           Measure([] {}, [&] { ok = ok && archive->Records(kImei, Records).size() == Records; }));
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
           Measure([] {}, [&] { data = THistoryChartData::FromGrid(grid, ModelK802, {}); }));
    if (data.series.size() != 16 || data.series.first().points.size() != Records)
        return Fail(QStringLiteral("chart data"));

    THistoryChart chart;
    chart.resize(1200, 700);
    chart.show();
    Settle(200);
    Report(QStringLiteral("series + lines handed to the chart"),
           Measure([] {}, [&] { chart.SetData(THistoryChartData::FromGrid(grid, ModelK802, {})); }));
    Report(QStringLiteral("series + lines + one paint"), Measure([] {}, [&] {
               chart.SetData(THistoryChartData::FromGrid(grid, ModelK802, {}));
               chart.View()->grab();
           }));
    return true;
}

bool MemoryBench(const QVector<TArchivedRecord> &log)
{
    Out() << "Resident memory:" << Qt::endl;
    AppVariables().ConnectionPassword = QStringLiteral("QWERTYUIP");
    AppVariables().ConnectionPortName.clear();
    const long start = ResidentKiB();
    TFormK900 window;
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
