#pragma once

#include "cli/CliStandalone_Unt.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// k80x-cli report: the audit report of a period as a PDF (and its
// statistics as JSON), from the archive of one or more devices or from a
// history CSV file. It never opens a port.
struct TCliReportOptions
{
    int Language = 1;            // 0 Chinese, 1 English
    QStringList Imeis;           // archived devices, one report each
    QString In;                  // or a history CSV file
    int ModelIndex = -1;         // the CSV's model; -1: from its columns
    QDateTime From;              // invalid: the first record
    QDateTime To;                // invalid: the last record
    QString Out;                 // the PDF; {imei} and {model} replaced; empty with --json only
    bool Appendix = false;
    double DeltaH = 83.144;      // kJ/mol
    bool Json = false;
    bool Quiet = false;
};

// The outcome of reading the report's command line: ExitCode -1 means run
// Options; otherwise print Output (help) or Error and end with ExitCode.
using TCliReportParse = TCliCommandParse<TCliReportOptions>;

// True when the command of the arguments (the program name first) is
// "report": the first argument that is neither an option nor an option's
// value.
bool CliIsReportCommand(const QStringList &arguments);

// Reads the arguments of "k80x-cli report ..."; files are not opened yet.
TCliReportParse ParseCliReportArguments(const QStringList &arguments);

// The usage of the report command with its options.
QString CliReportHelpText(int language);

// Makes the reports; prints results on out and errors on err. Returns the
// exit code: 0 done, 2 a bad argument or file, no records in the period, a
// device without archive, or a PDF that could not be written.
int RunCliReport(const TCliReportOptions &options, FILE *out, FILE *err);

// The program's entry for the report command: a GUI application on the
// offscreen platform (the PDF needs fonts, never a display).
int CliReportMain(int argc, char *argv[]);
