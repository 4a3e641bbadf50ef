#pragma once

#include "cli/CliStandalone_Unt.h"

#include <QString>
#include <QStringList>

#include <cstdio>

// k80x-cli archive: what the history archive holds, without a device.
// "archive list" names the devices with their record counts; "archive
// export --imei IMEI --out F.csv" writes every record of one device into a
// history CSV file (the window's archive export, not capped by the grid).
struct TCliArchiveOptions
{
    enum class TAction { List, Export };
    TAction Action = TAction::List;
    int Language = 1; // 0 Chinese, 1 English
    QString Imei;
    QString Out;
    bool Json = false;
    bool Quiet = false;
};

// ExitCode -1: run Options; otherwise print Output (help) or Error and end.
using TCliArchiveParse = TCliCommandParse<TCliArchiveOptions>;

// True when the command of the arguments (the program name first) is "archive".
bool CliIsArchiveCommand(const QStringList &arguments);
TCliArchiveParse ParseCliArchiveArguments(const QStringList &arguments);
QString CliArchiveHelpText(int language);
// Exit code: 0 done, 2 a bad argument, a device the archive does not hold,
// an archive that cannot be opened or read, or a file that cannot be written.
int RunCliArchive(const TCliArchiveOptions &options, FILE *out, FILE *err);
int CliArchiveMain(int argc, char *argv[]);
