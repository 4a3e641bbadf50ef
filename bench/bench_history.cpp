// Wall times of the history core on a full grid of 20000 records: decoding
// 5000 page replies, Clear, CSV export, CSV import and the date filter.
// Each step runs several times on the same data; the median and the slowest
// run are printed.

#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/BasicProtocol_Unt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Records = 20000;
constexpr int Runs = 5;
constexpr int ModelK802 = 1;   // the widest grid: 24 columns

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

// Record n of a synthetic log, one every ten minutes from 2017-01-01, with
// every field varying.
QByteArray MakeRecord(int n)
{
    QByteArray record(64, char(0xFF));
    const QDateTime moment = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(n) * 600);
    record[0] = record[1] = record[2] = record[3] = 0;
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

std::vector<QByteArray> MakePageReplies()
{
    const TBasicProtocol codec;
    std::vector<QByteArray> replies;
    const int pages = TSoftHistory::PageCount(Records);
    replies.reserve(std::size_t(pages));
    for (int page = 0; page < pages; ++page) {
        QByteArray payload;
        for (int slot = 0; slot < 4; ++slot)
            payload += MakeRecord(page * 4 + slot + 1);
        replies.push_back(codec.BuildFrame(TBasicProtocol::CmdReadMemory,
                                           codec.IntToAddress(TBasicProtocol::HistoryPageAddress(page)),
                                           payload));
    }
    return replies;
}

// Runs prepare (untimed) and step (timed) Runs times; returns the times in
// ms in the order of the runs.
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

void Report(const QString &what, const std::vector<double> &times, const QString &note = QString())
{
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    Out() << QStringLiteral("  %1 %2 ms median, %3 ms slowest, %4 ms first run")
                 .arg(what, -40)
                 .arg(sorted[sorted.size() / 2], 7, 'f', 1)
                 .arg(sorted.back(), 7, 'f', 1)
                 .arg(times.front(), 7, 'f', 1);
    if (!note.isEmpty())
        Out() << "  (" << note << ")";
    Out() << Qt::endl;
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

bool Fail(const QString &what)
{
    Out() << "FAILED: " << what << Qt::endl;
    return false;
}

bool RunGridBench()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return Fail(QStringLiteral("no temporary folder"));
    const QString csvPath = dir.filePath(QStringLiteral("history.csv"));

    THistoryGridModel grid;
    TSoftHistory soft;
    soft.SetTexts(THistoryTexts::ForLanguage(1));
    soft.InitGrid(grid);
    soft.SetValueColumns(grid, ModelK802, 1);

    const std::vector<QByteArray> replies = MakePageReplies();
    Out() << "History grid: " << Records << " records, K802 (" << grid.ColCount() << " columns), "
          << Runs << " runs per step" << Qt::endl;

    const long residentBefore = ResidentKiB();
    bool decodedAll = true;
    Report(QStringLiteral("decode %1 page replies into the grid").arg(replies.size()),
           Measure([] {}, [&] {
               soft.BeginRead(grid);
               for (const QByteArray &reply : replies)
                   decodedAll &= soft.ShowPage(grid, reply, Records, ModelK802).rowsFilled == 4;
           }));
    if (!decodedAll || grid.LastFilledRow() != Records)
        return Fail(QStringLiteral("decoding left rows empty"));
    const long residentAfter = ResidentKiB();

    THistoryCsv::TResult exported;
    const std::vector<double> exportTimes =
        Measure([] {}, [&] { exported = THistoryCsv::Export(grid, csvPath); });
    Report(QStringLiteral("export %1 rows to CSV").arg(Records), exportTimes,
           QStringLiteral("%1 bytes").arg(QFileInfo(csvPath).size()));
    if (!exported)
        return Fail(QStringLiteral("export: ") + exported.systemText);

    THistoryCsv::TResult imported;
    Report(QStringLiteral("import %1 rows from CSV").arg(Records),
           Measure([&] { grid.ClearDisplay(); }, [&] { imported = THistoryCsv::Import(grid, csvPath); }));
    if (!imported || grid.LastFilledRow() != Records)
        return Fail(QStringLiteral("import: ") + imported.systemText);

    Report(QStringLiteral("clear %1 rows").arg(Records),
           Measure([&] { (void)THistoryCsv::Import(grid, csvPath); }, [&] { grid.ClearDisplay(); }));

    // The log spans about 139 days; the range keeps the middle half.
    const QDateTime begin = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(Records / 4) * 600);
    const QDateTime end = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(Records * 3 / 4) * 600);
    THistoryFilter::TResult filtered;
    const std::vector<double> filterTimes =
        Measure([&] { (void)THistoryCsv::Import(grid, csvPath); },
                [&] { filtered = THistoryFilter::Apply(grid, begin.date(), begin.time(), end.date(),
                                                       end.time()); });
    Report(QStringLiteral("filter %1 rows by date").arg(Records), filterTimes,
           QStringLiteral("%1 rows kept").arg(filtered.keptRows));
    if (!filtered || filtered.keptRows != Records / 2 + 1)
        return Fail(QStringLiteral("filter kept %1 rows").arg(filtered.keptRows));

    if (residentBefore >= 0 && residentAfter >= 0) {
        Out() << QStringLiteral("  resident memory: %1 MiB before decoding, %2 MiB with a full grid")
                     .arg(double(residentBefore) / 1024, 0, 'f', 1)
                     .arg(double(residentAfter) / 1024, 0, 'f', 1)
              << Qt::endl;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    bool ok = RunGridBench();

    // ---- Reading from the simulator over a pseudo-terminal ----
    // This half belongs here once the multi-record read flow exists: start
    // the simulator on one end of a pseudo-terminal pair at 115200 baud, read
    // N records through the read flow on the other end, and print the wall
    // time next to the wire time of the bytes exchanged (10 bits per byte at
    // 115200 baud) and their ratio.
    Out() << "Simulator read over a pseudo-terminal: not measured yet (needs the read flow)" << Qt::endl;

    return ok ? 0 : 1;
}
