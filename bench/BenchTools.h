#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

// What the benchmark programs share: their output, the timing of a step
// and the process's resident memory.

inline QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

// Runs prepare (untimed) and step (timed) runs times; returns the times in
// ms in the order of the runs.
inline std::vector<double> Measure(int runs, const std::function<void()> &prepare, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}

inline void Report(const QString &what, const std::vector<double> &times, const QString &note = QString())
{
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    Out() << QStringLiteral("  %1 %2 ms median, %3 ms slowest, %4 ms first run")
                 .arg(what, -44)
                 .arg(sorted[sorted.size() / 2], 8, 'f', 1)
                 .arg(sorted.back(), 8, 'f', 1)
                 .arg(times.front(), 8, 'f', 1);
    if (!note.isEmpty())
        Out() << "  (" << note << ")";
    Out() << Qt::endl;
}

// VmRSS of this process in KiB, or -1 where the system does not tell it.
inline long ResidentKiB()
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
