#pragma once

#include "cli/CliStandalone_Unt.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdio>

// k80x-cli audit: lists the audit trail's entries (of one device, of a
// period) or checks its chain. It never opens a port and never writes the trail.
struct TCliAuditOptions
{
    int Language = 1;  // 0 Chinese, 1 English
    QString Imei;      // empty: every device
    QDateTime From;    // invalid: from the first entry
    QDateTime To;      // invalid: to the last entry
    bool Verify = false;
    bool Json = false;
    QString Path;      // the trail's file; TAuditTrail::DefaultPath() when empty
};

using TCliAuditParse = TCliCommandParse<TCliAuditOptions>;

// True when the command of the arguments (the program name first) is "audit".
bool CliIsAuditCommand(const QStringList &arguments);
TCliAuditParse ParseCliAuditArguments(const QStringList &arguments);
QString CliAuditHelpText(int language);
// Lists or checks; returns the exit code: 0 listed or intact, 5 the chain
// is broken (the entry named on err), 2 bad arguments or a trail that cannot be read.
int RunCliAudit(const TCliAuditOptions &options, FILE *out, FILE *err);
int CliAuditMain(int argc, char *argv[]);
