#pragma once

#include "cli/CliOptions_Unt.h"
#include "cli/CliTask_Unt.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

// Everything k80x-cli prints: results on standard output (text, or one JSON
// document with --json), errors as one line each on standard error, and a
// progress bar on standard error only when that is a terminal. --quiet
// leaves only the error lines.
class TCliOutput
{
public:
    // out and err: where to print (standard output and error in the tool).
    TCliOutput(const TCliOptions &options, FILE *out = stdout, FILE *err = stderr);

    // The progress of the device on port; drawn only on a terminal.
    void Progress(const QString &port, int value, int maximum);
    // A progress line of its own (several devices at once); terminal only.
    void ProgressLine(const QString &text);
    // One device is done: its details and result in text mode, its error
    // line whatever the mode.
    void DeviceDone(const TCliResult &result);
    // After the last device: the report table (text mode, several devices)
    // or the JSON document.
    void Summary(const QList<TCliResult> &results, int exitCode);
    // The port list of the ports command.
    void Ports(const QStringList &ports);
    // An error that concerns no device.
    void Error(const QString &text);

    // The report table's lines: a header, then port, model, IMEI, result and
    // seconds of each device, in columns.
    static QStringList ReportTable(const QList<TCliResult> &results, int language);
    // Writes the report as CSV (the program's CSV form: GBK, CR LF, a header
    // line). An empty text when written, else why not.
    static QString WriteReportCsv(const QList<TCliResult> &results, int language, const QString &fileName);

    // A progress bar of width characters for value of maximum.
    static QString Bar(int value, int maximum, int width);

private:
    void Print(FILE *stream, const QString &text);
    void ClearProgress();

    const TCliOptions &m_options;
    FILE *m_out;
    FILE *m_err;
    bool m_terminal;
    bool m_barShown = false;
};
