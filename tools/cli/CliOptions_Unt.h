#pragma once

#include "session/JobVerdict_Unt.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Exit codes of k80x-cli, the ones every job verdict carries. A batch ends
// with the highest code of its devices.
namespace CliExit = JobExit;

enum class TCliCommand { None, Ports, Info, Read, Write, Diff, Backup, Restore, History, EraseHistory, Clock, Relay, Report, Archive, Audit };

// What the command line asks for, checked: every value here is usable.
struct TCliOptions
{
    TCliCommand Command = TCliCommand::None;
    QString CommandName;
    QStringList Ports;
    QString Password = QStringLiteral("5937"); // --password, else --password-file, else K80X_PASSWORD
    bool ShowSecrets = false; // passwords shown in clear, else as "••••"
    int Language = 1;        // 0 Chinese, 1 English
    bool Json = false;
    bool Quiet = false;
    QString In;              // write, diff: a profile (.ini) or raw image (.bin)
    QString Out;             // read: .ini or .bin; history: .csv; may hold {port}, {imei}, {model}
    QString Report;          // the batch report as CSV
    int Count = 0;           // history: records to read
    QDateTime At;            // restore: newest backup at or before; invalid: the newest
    bool Sync = false;       // clock: set the device clock from the PC
    int Relay = 0;           // relay: 1 or 2
    bool RelayClose = false; // relay: close (true) or open (false)
    int Parallel = 1;        // devices at once
    bool Iso = false;        // history: ISO 8601 times with the offset, and a header line
    bool Archive = false;    // history: store the records in the history archive (then Out may be empty)
    bool NewOnly = false;    // history: only the records after the last archived one
    QString Reason;          // --reason: why a changing command is run, kept in the audit trail
};

// Whether the command changes the device (its entry needs a reason when
// the setting "a reason is required" is on).
bool CliCommandChangesDevice(const TCliOptions &options);

// The outcome of reading the command line. ExitCode -1: run Options;
// otherwise print Output (help, on standard output) or Error (one line, on
// standard error) and end with ExitCode.
struct TCliParse
{
    TCliOptions Options;
    int ExitCode = -1;
    QString Output;
    QString Error;
};

// Reads arguments (the program name first). Texts come in the language of
// --lang, else of the user's locale. Files named by --ports-from are read
// here; nothing touches a port.
TCliParse ParseCliArguments(const QStringList &arguments);

// The language --lang asks for (0 Chinese, 1 English), else the locale's.
int CliLanguageOf(const QStringList &arguments);

// The command of the arguments (the program name first): the first argument
// that is neither an option nor an option's value; empty when there is none.
QString CliCommandWord(const QStringList &arguments);

// The help text of a command (TCliCommand::None: the overview), with the
// exit codes.
QString CliHelpText(TCliCommand command, int language);

// The name of a command as typed ("erase-history").
QString CliCommandName(TCliCommand command);

// An --out name with {port}, {imei} and {model} replaced by their text
// cleaned as backup names are (FileSafety::CleanNamePart): a port's path
// separators become "_", and no part can lead out of the pattern's folder.
QString CliOutputName(const QString &pattern, const QString &port, const QString &imei, const QString &model);
