// Wall time and peak memory of loading profiles and importing CSV files,
// good and bad: a real profile saved from the main window, the largest
// profile still taken (1 MB, 20000 lines), and files that are refused (a
// 50 MB line, a 200 MB file, binary); for CSV a full 20000-row export, a
// 12 MB file of 1 MB lines (under the size limit) and a 200 MB file. Each
// step runs several times; the median and the slowest run are printed with
// the step's peak resident memory.

#include "app/K900_Frm.h"
#include "session/DeviceConnection_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "profiles/IniFile_Unt.h"
#include "profiles/IniSeting_Unt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Peak resident memory in KB since the last ResetPeak (Linux; 0 elsewhere).
long PeakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void Step(const char *name, int repeats, const std::function<bool()> &run)
{
    std::vector<double> times;
    bool ok = true;
    ResetPeak();
    const long before = PeakKb();
    for (int index = 0; index < repeats; ++index) {
        QElapsedTimer timer;
        timer.start();
        ok = run() && ok;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %9.2f ms  slowest %9.2f ms  peak %7ld KB (+%ld)  %s\n", name,
                times[times.size() / 2], times.back(), PeakKb(), PeakKb() - before,
                ok ? "as expected" : "NOT AS EXPECTED");
}

bool Write(const QString &path, const QByteArray &bytes, qint64 growTo = 0)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return growTo <= 0 || QFile::resize(path, growTo);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    TFormK900 window;
    window.Connection()->EnterViewMode();
    window.show();
    if (!QTest::qWaitFor([&window] { return window.StatusText() == QLatin1String("View"); }))
        return 1;
    TIniSeting &profile = *window.Profiles();

    const QString real = dir.filePath(QStringLiteral("real.ini"));
    Step("profile: save from the window", 5, [&] { return profile.SaveProfile(real).ok(); });
    QFile saved(real);
    const QByteArray realBytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    std::printf("real profile: %lld bytes, %lld lines\n", qint64(realBytes.size()), qint64(realBytes.count('\n')));
    Step("profile: load a real one", 20, [&] { return profile.LoadProfile(real).ok(); });

    // The largest file still taken: the real profile, then filler keys up to
    // the line and size limits.
    QByteArray largest = realBytes;
    for (int line = 0; largest.count('\n') < TIniFile::MaxLineCount - 2; ++line)
        largest += "[Filler" + QByteArray::number(line % 50) + "]\r\nkey" + QByteArray::number(line) + "="
                   + QByteArray(20, 'v') + "\r\n";
    largest.truncate(std::min<qsizetype>(largest.size(), TIniFile::MaxFileSize));
    largest.truncate(largest.lastIndexOf('\n') + 1);
    const QString big = dir.filePath(QStringLiteral("largest.ini"));
    Write(big, largest);
    std::printf("largest profile taken: %lld bytes, %lld lines\n", qint64(largest.size()), qint64(largest.count('\n')));
    Step("profile: load the largest taken", 5, [&] { return profile.LoadProfile(big).ok(); });

    const QString longLine = dir.filePath(QStringLiteral("line.ini"));
    Write(longLine, "[Value]\r\nlbledt_DeviseID=" + QByteArray(50 * 1024 * 1024, '7') + "\r\n");
    Step("profile: refuse a 50 MB line", 5, [&] { return profile.LoadProfile(longLine).error == TIniError::TooLarge; });
    const QString huge = dir.filePath(QStringLiteral("huge.ini"));
    Write(huge, realBytes, qint64(200) * 1024 * 1024);
    Step("profile: refuse a 200 MB file", 5, [&] { return profile.LoadProfile(huge).error == TIniError::TooLarge; });
    const QString binary = dir.filePath(QStringLiteral("binary.ini"));
    Write(binary, QByteArray(1000 * 1000, '\0') + realBytes);
    Step("profile: refuse 1 MB of binary", 5, [&] { return profile.LoadProfile(binary).error == TIniError::NotText; });

    // CSV: a full grid exported, imported back; refused files.
    THistoryGridModel grid;
    TSoftHistory soft;
    soft.InitGrid(grid);
    soft.SetValueColumns(grid, 1, 1);
    for (int row = 1; row <= THistoryGridModel::RecordRowCount; ++row) {
        QStringList cells = {QStringLiteral("17/6/%1").arg(1 + row % 28), QStringLiteral("9:5:%1").arg(row % 60),
                             QStringLiteral("25"), QStringLiteral("Arm"), QStringLiteral("Close"),
                             QStringLiteral("Open"), QStringLiteral("Interval")};
        for (int value = 0; value < 16; ++value)
            cells << QStringLiteral("%1.%2").arg(value * 3 - 20).arg(row % 10);
        grid.SetCells(row, 1, cells);
    }
    const QString full = dir.filePath(QStringLiteral("full.csv"));
    if (!THistoryCsv::Export(grid, full).ok())
        return 1;
    std::printf("full CSV: %lld bytes\n", QFileInfo(full).size());
    Step("csv: import a full 20000-row file", 5, [&] { return THistoryCsv::Import(grid, full).lines == 20000; });
    const QString longLines = dir.filePath(QStringLiteral("long.csv"));
    QByteArray longContent;
    for (int line = 0; line < 12; ++line)
        longContent += "17/6/5,9:5:0," + QByteArray(1024 * 1024, 'x') + "\r\n";
    Write(longLines, longContent);
    longContent.clear();
    Step("csv: refuse 12 MB of 1 MB lines (under the size limit)", 5,
         [&] { return THistoryCsv::Import(grid, longLines).error == THistoryCsv::TError::TooLarge; });
    const QString sparse = dir.filePath(QStringLiteral("sparse.csv"));
    Write(sparse, "17/6/5,9:5:0\r\n", qint64(200) * 1024 * 1024);
    Step("csv: refuse a 200 MB file", 5,
         [&] { return THistoryCsv::Import(grid, sparse).error == THistoryCsv::TError::TooLarge; });
    return 0;
}
