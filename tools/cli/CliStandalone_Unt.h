#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <initializer_list>

class QCommandLineParser;

// What every part of k80x-cli shares, and what the commands that need no
// device (report, archive, audit) share beyond it: printing, times as typed, an option table with its help, and the
// end of a parse that runs nothing.

// Writes text as it is (the caller adds line ends) and flushes.
void CliPrint(FILE *stream, const QString &text);
// A time as typed in the PC's local time: a day with the time
// ("2026-03-01 08:00[:00]", "2026-03-01T08:00[:00]", "20260301-080000") or a
// day alone, which is the day's start, or with endOfDay its last millisecond.
// Invalid when it is none of these.
QDateTime CliParseTime(const QString &text, bool endOfDay);

// One option of a command: --Name [ValueName], help text key. "help" also
// answers to -h.
struct TCliOption
{
    const char *Name;
    const char *ValueName; // nullptr: a switch
    const char *HelpKey;
};
using TCliOptionTable = std::initializer_list<TCliOption>;

// The help of a command with its own options: usage, what the command does
// (commandKey), the options, and the exit codes it ends with.
QString CliCommandHelp(const char *usage, const char *commandKey, TCliOptionTable options,
                       std::initializer_list<const char *> exitKeys, int language);
void CliAddOptions(QCommandLineParser &parser, TCliOptionTable options);
// Why the parser refused the arguments, naming the option and the command.
QString CliParseError(const QCommandLineParser &parser, const char *command, int language);

// The outcome of reading a command's arguments. ExitCode -1: run Options;
// otherwise print Output (help, on standard output) or Error (on standard
// error) and end with ExitCode.
template <class TOptions>
struct TCliCommandParse
{
    TOptions Options;
    int ExitCode = -1;
    QString Output;
    QString Error;
};

// Prints what a parse that runs nothing gives and returns its exit code;
// else runs the options with standard output and error.
template <class TOptions, class Run>
int CliRunParsed(const TCliCommandParse<TOptions> &parsed, Run run)
{
    if (parsed.ExitCode < 0)
        return run(parsed.Options, stdout, stderr);
    if (!parsed.Error.isEmpty())
        CliPrint(stderr, QStringLiteral("k80x-cli: ") + parsed.Error + QLatin1Char('\n'));
    if (!parsed.Output.isEmpty())
        CliPrint(stdout, parsed.Output);
    return parsed.ExitCode;
}
