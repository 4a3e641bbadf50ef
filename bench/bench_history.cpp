// Wall times of the history core on a full grid of 20000 records: decoding
// 5000 page replies, Clear, CSV export, CSV import and the date filter.
// Each step runs several times on the same data; the median and the slowest
// run are printed.
//
// Then the read of N records (first argument, default 400) and of the
// configuration from a simulated logger on a pseudo-terminal at 115200 baud,
// through the device session and its jobs as the command-line tool runs them
// (the session path), and the same read of N records through the main
// window's history sheet with its progress window, archive and device
// watcher (the window path). The simulator paces both directions at the
// line rate (10 bits a byte). Each step is printed next to the wire time of
// its bytes and the pauses the device needs, with the program's own time a
// request: from the last byte of a reply on the line to the first byte of
// the next request, measured at the simulator (median, 99th percentile,
// slowest). Last, the CPU time the connected main window uses in 10 s of
// idling.

#include "BenchTools.h"
#include "SyntheticRecord.h"
#include "app/K900_Frm.h"
#include "history/HistorySheet_Frm.h"
#include "look/ComponentEx.h"
#include "config/ConfigPages_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/LoginJob_Unt.h"
#include "session/ConfigWriteJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
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

#include <sys/resource.h>

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
    int requests = 0;

    qint64 total() const { return toDevice + toHost; }
    double wireMs() const { return double(total()) * BitsPerByte / BaudRate * 1000.0; }
};

// A step next to the least it can take: the wire time both ways, the device's
// latency once a request and the pauses the device needs.
void ReportAgainstLine(const QString &what, double wallMs, const TLineCount &line, int latencyMs, int pausesMs)
{
    const double leastMs = line.wireMs() + double(line.requests) * latencyMs + pausesMs;
    Out() << QStringLiteral("  %1 %2 ms wall = %3 ms wire + %4 x %5 ms latency + %6 ms prescribed pauses + %7 ms")
                 .arg(what, -44)
                 .arg(wallMs, 8, 'f', 0)
                 .arg(line.wireMs(), 0, 'f', 0)
                 .arg(line.requests)
                 .arg(latencyMs)
                 .arg(pausesMs)
                 .arg(wallMs - leastMs, 0, 'f', 0)
          << Qt::endl;
}

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
        const std::size_t p99 = std::min(counted.size() - 1, (counted.size() * 99 + 99) / 100 - 1);
        Out() << QStringLiteral("    program's own time a request: median %1 ms, p99 %2 ms, max %3 ms, mean %4 ms (%5 requests)")
                     .arg(double(counted[counted.size() / 2]) / 1e6, 0, 'f', 3)
                     .arg(double(counted[p99]) / 1e6, 0, 'f', 3)
                     .arg(double(counted.back()) / 1e6, 0, 'f', 3)
                     .arg(double(total) / double(counted.size()) / 1e6, 0, 'f', 3)
                     .arg(counted.size())
              << Qt::endl;
    }
};

// The simulator at 115200 baud both ways, its bytes and requests counted
// into line and its turnarounds into turnaround.
void WatchLine(TDeviceSimulator &device, QObject *context, TLineCount &line, TTurnaround &turnaround)
{
    device.setBaudRate(115200);
    device.setPacesHostBytes(true);
    QObject::connect(&device, &TDeviceSimulator::bytesFromHost, context, [&line, &turnaround](const QByteArray &bytes) {
        line.toDevice += bytes.size();
        turnaround.RequestArrived();
    });
    QObject::connect(&device, &TDeviceSimulator::requestReceived, context,
                     [&line](const QByteArray &) { ++line.requests; });
    QObject::connect(&device, &TDeviceSimulator::BytesToHost, context, [&line, &turnaround](const QByteArray &bytes) {
        line.toHost += bytes.size();
        turnaround.ReplyEnded();
    });
}

double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

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
        WatchLine(m_device, this, m_line, m_turnaround);
        m_device.setHistoryRecordCount(records);
    }

    // Starts the first step; finished() tells the end.
    void Start()
    {
        if (!m_bridge.open()) {
            End(Fail(QStringLiteral("no pseudo-terminal: ") + m_bridge.errorString()));
            return;
        }
        Out() << "Session path (as the command-line tool), simulator over a pseudo-terminal: " << m_records
              << " records (" << TSoftHistory::PageCount(m_records)
              << " pages of 9 + 265 bytes), K802, 115200 baud both ways, "
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
            // The device needs its pause before each of the two current-values requests.
            ReportAgainstLine(QStringLiteral("configuration read job (Read Setting)"), wallMs, m_line,
                              m_device.latencyMs(), 2 * TConfigReadJob::ValuesPauseMs);
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
                                            [](const QByteArray &, QString *) { return QString(); }, this);
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
        ReportAgainstLine(what, ElapsedMs(), m_line, m_device.latencyMs(), 0);
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

// The window path: the main window logs in to the simulated logger over a
// pseudo-terminal, its history sheet reads N records as the Read button
// does (progress window, grid, archive in a temporary folder, the device
// watcher running), then the window idles for IdleMs with the device
// connected and the CPU time the process used meanwhile is printed.
class TWindowBench : public QObject
{
public:
    static constexpr int IdleMs = 10000;
    static constexpr int StartUpMs = 15000;

    explicit TWindowBench(int records) : m_records(records), m_bridge(&m_device)
    {
        WatchLine(m_device, this, m_line, m_turnaround);
        m_device.setHistoryRecordCount(records);
    }

    void Start()
    {
        if (!m_bridge.open()) {
            End(Fail(QStringLiteral("no pseudo-terminal: ") + m_bridge.errorString()));
            return;
        }
        Out() << "Window path (main window, history sheet, progress window, archive): " << m_records
              << " records, same line" << Qt::endl;
        m_window = std::make_unique<TFormK900>();
        m_startUp.start();
        m_window->show();
        // The login window's part: log in on the window's connection.
        TDeviceConnection *connection = m_window->Connection();
        TLoginJob *login = connection->Login(m_bridge.slavePath(), QStringLiteral("5937"));
        login->setParent(connection);
        connect(login, &TDeviceJob::finished, login, &QObject::deleteLater);
        if (!login->start()) {
            delete login;
            End(Fail(QStringLiteral("the login could not start on %1").arg(m_bridge.slavePath())));
            return;
        }
        WhenFree();
    }

    std::function<void(bool ok)> finished;

private:
    // Waits for the start-up exchange to end, then reads.
    void WhenFree()
    {
        if (m_ended)
            return;
        if (m_window->ModelIndex() >= 0 && !m_window->CurrentJob() && !m_window->Session()->busy()) {
            ReadHistory();
            return;
        }
        if (m_startUp.elapsed() > StartUpMs) {
            End(Fail(QStringLiteral("the main window did not log in to %1").arg(m_bridge.slavePath())));
            return;
        }
        QTimer::singleShot(50, this, [this] { WhenFree(); });
    }

    void ReadHistory()
    {
        THistorySheet *sheet = m_window->History();
        sheet->lbledt_ReadQty->setText(QString::number(m_records));
        QObject::connect(sheet, &THistorySheet::ReadFinished, this, [this](int rows) {
            const double wallMs = double(m_timer.nsecsElapsed()) / 1e6;
            if (rows != m_records) {
                End(Fail(QStringLiteral("the window's grid shows %1 of %2 records").arg(rows).arg(m_records)));
                return;
            }
            ReportRead(QStringLiteral("history read in the window"), m_records, wallMs, m_line);
            m_turnaround.Report();
            // The end of the read (message window, archive view) settles first.
            QTimer::singleShot(1000, this, [this] { Idle(); });
        }, Qt::SingleShotConnection);
        m_line = {};
        m_turnaround.Reset();
        m_timer.start();
        sheet->btn_ReadHistroyFullClick();
    }

    void Idle()
    {
        const double cpuBefore = ProcessCpuMs();
        m_timer.start();
        QTimer::singleShot(IdleMs, this, [this, cpuBefore] {
            const double cpuMs = ProcessCpuMs() - cpuBefore;
            const double wallMs = double(m_timer.nsecsElapsed()) / 1e6;
            Out() << QStringLiteral("  %1 %2 ms CPU in %3 ms (%4 %)")
                         .arg(QStringLiteral("main window idle, device connected"), -44)
                         .arg(cpuMs, 8, 'f', 0)
                         .arg(wallMs, 0, 'f', 0)
                         .arg(100.0 * cpuMs / wallMs, 0, 'f', 2)
                  << Qt::endl;
            End(true);
        });
    }

    void End(bool ok)
    {
        if (m_ended)
            return;
        m_ended = true;
        if (finished)
            finished(ok);
    }

    int m_records;
    TDeviceSimulator m_device{TDeviceSimulator::Model::K802};
    TPtyBridge m_bridge;
    std::unique_ptr<TFormK900> m_window;
    TLineCount m_line;
    TTurnaround m_turnaround;
    QElapsedTimer m_timer;
    QElapsedTimer m_startUp;
    bool m_ended = false;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's settings and archive go to a folder of their own.
    QTemporaryDir home;
    if (home.isValid()) {
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    }
    QApplication app(argc, argv);

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
    TWindowBench window(simRecords);
    bool simulatorOk = false;
    simulator.finished = [&](bool ok) {
        simulatorOk = ok;
        QTimer::singleShot(0, &window, [&window] { window.Start(); });
    };
    window.finished = [&](bool ok) { QCoreApplication::exit(gridOk && simulatorOk && ok ? 0 : 1); };
    QTimer::singleShot(0, &simulator, [&simulator] { simulator.Start(); });
    return app.exec();
}
