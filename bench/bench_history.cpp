// Wall times of the history core on a full grid of 20000 records: decoding
// 5000 page replies, Clear, CSV export, CSV import and the date filter.
// Each step runs several times on the same data; the median and the slowest
// run are printed.
//
// Then the read of N records (first argument, default 400) and of the
// configuration from a simulated logger on a pseudo-terminal at 115200 baud,
// through the device session and its jobs as the program runs them, without
// any window. Each is printed next to the wire time of the bytes both ways
// (10 bits a byte), with the program's own time a request: from the end of a
// reply on the line to the next request, measured at the simulator.

#include "BenchTools.h"
#include "SyntheticRecord.h"
#include "config/ConfigPages_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/LoginJob_Unt.h"
#include "session/ConfigWriteJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int Records = 20000;
constexpr int Runs = 5;
constexpr int ModelK802 = 1;   // the widest grid: 24 columns

std::vector<QByteArray> MakePageReplies()
{
    const TBasicProtocol codec;
    std::vector<QByteArray> replies;
    const int pages = TSoftHistory::PageCount(Records);
    replies.reserve(std::size_t(pages));
    for (int page = 0; page < pages; ++page) {
        QByteArray payload;
        for (int slot = 0; slot < 4; ++slot)
            payload += SyntheticRecord(page * 4 + slot + 1, false);
        replies.push_back(codec.BuildFrame(TBasicProtocol::CmdReadMemory,
                                           codec.IntToAddress(TBasicProtocol::HistoryPageAddress(page)),
                                           payload));
    }
    return replies;
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
           Measure(Runs, [] {}, [&] {
               soft.BeginRead(grid);
               for (const QByteArray &reply : replies)
                   decodedAll &= soft.ShowPage(grid, reply, Records, ModelK802).rowsFilled == 4;
           }));
    if (!decodedAll || grid.LastFilledRow() != Records)
        return Fail(QStringLiteral("decoding left rows empty"));
    const long residentAfter = ResidentKiB();

    THistoryCsv::TResult exported;
    const std::vector<double> exportTimes =
        Measure(Runs, [] {}, [&] { exported = THistoryCsv::Export(grid, csvPath); });
    Report(QStringLiteral("export %1 rows to CSV").arg(Records), exportTimes,
           QStringLiteral("%1 bytes").arg(QFileInfo(csvPath).size()));
    if (!exported)
        return Fail(QStringLiteral("export: ") + exported.systemText);

    THistoryCsv::TResult imported;
    Report(QStringLiteral("import %1 rows from CSV").arg(Records),
           Measure(Runs, [&] { grid.ClearDisplay(); }, [&] { imported = THistoryCsv::Import(grid, csvPath); }));
    if (!imported || grid.LastFilledRow() != Records)
        return Fail(QStringLiteral("import: ") + imported.systemText);

    Report(QStringLiteral("clear %1 rows").arg(Records),
           Measure(Runs, [&] { (void)THistoryCsv::Import(grid, csvPath); }, [&] { grid.ClearDisplay(); }));

    // The log spans about 139 days; the range keeps the middle half.
    const QDateTime begin = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(Records / 4) * 600);
    const QDateTime end = QDateTime(QDate(2017, 1, 1), QTime(0, 0)).addSecs(qint64(Records * 3 / 4) * 600);
    THistoryFilter::TResult filtered;
    const std::vector<double> filterTimes =
        Measure(Runs, [&] { (void)THistoryCsv::Import(grid, csvPath); },
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

constexpr int DefaultSimRecords = 400;
constexpr double BaudRate = 115200.0;
constexpr double BitsPerByte = 10.0;

// Bytes on the line in both directions, counted at the simulator.
struct TLineCount
{
    qint64 toDevice = 0;
    qint64 toHost = 0;

    qint64 total() const { return toDevice + toHost; }
    double wireMs() const { return double(total()) * BitsPerByte / BaudRate * 1000.0; }
};

void ReportRead(const QString &what, int records, double wallMs, const TLineCount &line)
{
    const int pages = TSoftHistory::PageCount(records);
    Out() << QStringLiteral("  %1 %2 ms wall, %3 ms wire (%4 bytes), ratio %5, %6 ms a page")
                 .arg(what, -44)
                 .arg(wallMs, 8, 'f', 0)
                 .arg(line.wireMs(), 7, 'f', 0)
                 .arg(line.total())
                 .arg(wallMs / line.wireMs(), 0, 'f', 2)
                 .arg(wallMs / pages, 0, 'f', 1)
          << Qt::endl;
}

// The program's own turnaround: from the moment the simulator has put the
// last byte of a reply on the line to the moment the next request reaches it.
// Measured at the simulator, so neither the wire time nor the simulator's
// pacing ticks are counted; the pseudo-terminal's transit both ways is.
struct TTurnaround
{
    QElapsedTimer clock;
    qint64 lastReplyEndNs = -1;
    std::vector<qint64> samplesNs;

    void ReplyEnded() { lastReplyEndNs = clock.nsecsElapsed(); }
    void RequestArrived()
    {
        if (lastReplyEndNs < 0)
            return;
        samplesNs.push_back(clock.nsecsElapsed() - lastReplyEndNs);
        lastReplyEndNs = -1;
    }
    void Reset() { *this = {}; clock.start(); }
    // firstSamples: how many turnarounds to count (those after a prescribed
    // pause are that pause, not the program's time); -1 all.
    void Report(int firstSamples = -1) const
    {
        std::vector<qint64> counted = samplesNs;
        if (firstSamples >= 0 && int(counted.size()) > firstSamples)
            counted.resize(std::size_t(firstSamples));
        if (counted.empty())
            return;
        qint64 total = 0;
        for (qint64 ns : counted)
            total += ns;
        std::sort(counted.begin(), counted.end());
        Out() << QStringLiteral("    program's own time: %1 ms a request on average, median %2 ms, slowest %3 ms (%4 requests)")
                     .arg(double(total) / double(counted.size()) / 1e6, 0, 'f', 3)
                     .arg(double(counted[counted.size() / 2]) / 1e6, 0, 'f', 3)
                     .arg(double(counted.back()) / 1e6, 0, 'f', 3)
                     .arg(counted.size())
              << Qt::endl;
    }
};

// The simulator half: a session logs in over the pseudo-terminal, then the
// history read job reads N records page by page (each page decoded into the
// grid as it comes), then the configuration read job runs. Each step starts
// when the one before has finished; the bench's own event loop drives them,
// as the program's does.
class TSimulatorBench : public QObject
{
public:
    explicit TSimulatorBench(int records) : m_records(records), m_bridge(&m_device)
    {
        m_device.setBaudRate(115200);
        m_device.setHistoryRecordCount(records);
        QObject::connect(&m_device, &TDeviceSimulator::requestReceived, this, [this](const QByteArray &request) {
            m_line.toDevice += request.size();
            m_turnaround.RequestArrived();
        });
        QObject::connect(&m_device, &TDeviceSimulator::BytesToHost, this, [this](const QByteArray &bytes) {
            m_line.toHost += bytes.size();
            m_turnaround.ReplyEnded();
        });
    }

    // Starts the first step; finished() tells the end.
    void Start()
    {
        if (!m_bridge.open()) {
            End(Fail(QStringLiteral("no pseudo-terminal: ") + m_bridge.errorString()));
            return;
        }
        Out() << "Simulator over a pseudo-terminal: " << m_records << " records ("
              << TSoftHistory::PageCount(m_records) << " pages of 9 + 265 bytes), K802, 115200 baud, "
              << "device latency " << m_device.latencyMs() << " ms" << Qt::endl;
        QString error;
        if (!m_session.open(m_bridge.slavePath(), &error)) {
            End(Fail(QStringLiteral("opening %1: %2").arg(m_bridge.slavePath(), error)));
            return;
        }
        auto *login = new TLoginJob(&m_session, QStringLiteral("5937"), this);
        Run(login, QStringLiteral("login"), [this] { ReadHistory(); });
    }

    std::function<void(bool ok)> finished;

private:
    // Runs job; then() follows when it ended with success.
    void Run(TDeviceJob *job, const QString &what, std::function<void()> then)
    {
        QObject::connect(job, &TDeviceJob::finished, this, [this, job, what, then](TDeviceJob::TOutcome outcome) {
            job->deleteLater();
            if (outcome != TDeviceJob::TOutcome::Done) {
                End(Fail(what + QStringLiteral(": the job ended without success")));
                return;
            }
            then();
        });
        if (!job->start())
            End(Fail(what + QStringLiteral(": the job did not start")));
    }

    void ReadHistory()
    {
        m_soft.SetTexts(THistoryTexts::ForLanguage(1));
        m_soft.InitGrid(m_grid);
        m_soft.SetValueColumns(m_grid, ModelK802, 1);
        m_soft.BeginRead(m_grid);
        auto *read = new THistoryReadJob(&m_session, TSoftHistory::PageCount(m_records), this);
        auto stop = std::make_shared<bool>(false);
        QObject::connect(read, &THistoryReadJob::pageRead, this, [this, stop](int, const QByteArray &frame) {
            const TSoftHistory::TPageResult result = m_soft.ShowPage(m_grid, frame, m_records, ModelK802);
            *stop = result.stopRead || m_soft.RecordCounter() >= m_records;
        });
        read->SetStopWhen([stop] { return *stop; });
        StartTiming();
        Run(read, QStringLiteral("history read"), [this] {
            const double wallMs = ElapsedMs();
            if (!CheckGrid())
                return;
            ReportRead(QStringLiteral("history read job"), m_records, wallMs, m_line);
            m_turnaround.Report();
            ReadConfiguration();
        });
    }

    bool CheckGrid()
    {
        if (m_grid.LastFilledRow() != m_records) {
            End(Fail(QStringLiteral("the grid shows %1 of %2 records").arg(m_grid.LastFilledRow()).arg(m_records)));
            return false;
        }
        for (int row = 1; row <= m_records; row += m_records / 7 + 1) {
            const QStringList expected =
                HistoryRecord::RowCells(m_device.historyRecord(row - 1), ModelK802, m_soft.Texts());
            if (m_grid.RowFields(row) != expected) {
                End(Fail(QStringLiteral("row %1 differs from the device's record").arg(row)));
                return false;
            }
        }
        return true;
    }

    void ReadConfiguration()
    {
        auto *read = new TConfigReadJob(&m_session, ModelK802, this);
        StartTiming();
        Run(read, QStringLiteral("configuration read"), [this, read] {
            const double wallMs = ElapsedMs();
            if (read->Image().left(TDeviceSimulator::ImageSize) != m_device.configImage()) {
                End(Fail(QStringLiteral("the configuration read differs from the device's image")));
                return;
            }
            const int pausesMs = 2 * TConfigReadJob::ValuesPauseMs + TConfigReadJob::SettleMs;
            Out() << QStringLiteral("  %1 %2 ms wall, %3 ms wire, %4 ms of prescribed pauses")
                         .arg(QStringLiteral("configuration read job"), -44)
                         .arg(wallMs, 8, 'f', 0)
                         .arg(m_line.wireMs(), 7, 'f', 0)
                         .arg(pausesMs)
                  << Qt::endl;
            // Only the turns between the 15 pages count: the requests after
            // them follow the prescribed pauses.
            m_turnaround.Report(ConfigPages::ReadPageCount - 1);
            m_deviceImage = read->Image().left(TDeviceSimulator::ImageSize);
            WritePlain();
        });
    }

    // The same image written three ways: the plain 16-page write, the
    // verified write with the last read's image as the backup, and the
    // verified write that reads the backup first.
    void WritePlain()
    {
        auto *write = new TConfigWriteJob(&m_session, m_deviceImage, this);
        StartTiming();
        Run(write, QStringLiteral("plain write"), [this] {
            ReportWrite(QStringLiteral("plain write job (16 pages)"));
            WriteVerified(true);
        });
    }

    void WriteVerified(bool withLastRead)
    {
        auto *write = new TVerifiedWriteJob(&m_session, ModelK802, m_deviceImage,
                                            withLastRead ? m_deviceImage : QByteArray(),
                                            [](const QByteArray &) { return QString(); }, this);
        StartTiming();
        Run(write, QStringLiteral("verified write"), [this, withLastRead] {
            ReportWrite(withLastRead ? QStringLiteral("verified write, last read as backup")
                                     : QStringLiteral("verified write, backup read first"));
            if (withLastRead)
                WriteVerified(false);
            else
                End(true);
        });
    }

    void ReportWrite(const QString &what)
    {
        Out() << QStringLiteral("  %1 %2 ms wall, %3 ms wire").arg(what, -44).arg(ElapsedMs(), 8, 'f', 0)
                     .arg(m_line.wireMs(), 7, 'f', 0)
              << Qt::endl;
    }

    void StartTiming()
    {
        m_line = {};
        m_turnaround.Reset();
        m_timer.start();
    }
    double ElapsedMs() const { return double(m_timer.nsecsElapsed()) / 1e6; }

    void End(bool ok)
    {
        if (m_ended)
            return;
        m_ended = true;
        m_session.close();
        if (finished)
            finished(ok);
    }

    int m_records;
    TDeviceSimulator m_device{TDeviceSimulator::Model::K802};
    TPtyBridge m_bridge;
    TDeviceSession m_session;
    THistoryGridModel m_grid;
    TSoftHistory m_soft;
    TLineCount m_line;
    TTurnaround m_turnaround;
    QElapsedTimer m_timer;
    QByteArray m_deviceImage;
    bool m_ended = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    int simRecords = DefaultSimRecords;
    if (argc > 1) {
        bool isNumber = false;
        simRecords = QString::fromLocal8Bit(argv[1]).toInt(&isNumber);
        if (!isNumber || !TSoftHistory::QuantityValid(simRecords)) {
            Out() << "usage: bench_history [records 1..20000]" << Qt::endl;
            return 2;
        }
    }

    const bool gridOk = RunGridBench();
    TSimulatorBench simulator(simRecords);
    simulator.finished = [gridOk](bool ok) { QCoreApplication::exit(gridOk && ok ? 0 : 1); };
    QTimer::singleShot(0, &simulator, [&simulator] { simulator.Start(); });
    return app.exec();
}
