// k80x-cli: configures, backs up and downloads K801/K802/K803 loggers from a
// script, one device or many in turn. `k80x-cli --help` lists the commands,
// `k80x-cli <command> --help` the options of one; the exit codes are listed
// in both.

#include "base/Funs_Unt.h"
#include "platform/PortList_Unt.h"
#include "cli/CliArchive_Unt.h"
#include "cli/CliAudit_Unt.h"
#include "cli/CliBatch_Unt.h"
#include "cli/CliInput_Unt.h"
#include "cli/CliOptions_Unt.h"
#include "cli/CliOutput_Unt.h"
#include "cli/CliReport_Unt.h"
#include "link/PortNames_Unt.h"
#include "link/SerialPort_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    if (CliIsReportCommand(arguments))
        return CliReportMain(argc, argv);
    if (CliIsArchiveCommand(arguments))
        return CliArchiveMain(argc, argv);
    if (CliIsAuditCommand(arguments))
        return CliAuditMain(argc, argv);

    QCoreApplication app(argc, argv);
    // The window's name: the backups live in the same folder.
    QCoreApplication::setApplicationName(QStringLiteral("k80x"));
    QCoreApplication::setApplicationVersion(ProgramVersionText().mid(1));
    TDeviceSimulator::InstallDemoPorts();

    const TCliParse parsed = ParseCliArguments(QCoreApplication::arguments());
    const TCliOptions &options = parsed.Options;
    TCliOutput output(options);
    if (parsed.ExitCode >= 0) {
        if (!parsed.Error.isEmpty())
            output.Error(parsed.Error);
        if (!parsed.Output.isEmpty()) {
            const QByteArray text = parsed.Output.toLocal8Bit();
            std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        }
        return parsed.ExitCode;
    }
    TComm::SetLanguage(options.Language);

    if (options.Command == TCliCommand::Ports) {
        QStringList ports;
        ReadSerialPortList(ports);
        // The network serial servers logged in to lately, as the login window offers them.
        ports << TRecentPorts().Names();
        for (const char *model : {"K801", "K802", "K803"})
            ports << QStringLiteral("demo:") + QLatin1String(model);
        output.Ports(ports);
        return CliExit::Done;
    }

    // A file to write or compare is checked before any port is opened.
    TCliInput input;
    const bool takesFile = options.Command == TCliCommand::Write || options.Command == TCliCommand::Diff;
    if (takesFile) {
        QString error;
        if (!input.Load(options.In, options.Language, &error)) {
            output.Error(error);
            return CliExit::BadInput;
        }
    }

    const TBackupStore backups;
    TCliBatch batch(options, takesFile ? &input : nullptr, backups, output);
    QObject::connect(&batch, &TCliBatch::finished, &app, [](int exitCode) { QCoreApplication::exit(exitCode); });
    QTimer::singleShot(0, &batch, &TCliBatch::Start);
    return app.exec();
}
