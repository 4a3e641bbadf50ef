#include "cli/CliOptions_Unt.h"
#include "cli/CliStandalone_Unt.h"

#include "audit/AuditRecorder_Unt.h"
#include "platform/Platform_Unt.h"
#include "base/FileSafety_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/NetLink_Unt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// More devices at once than any batch of adapters on one PC.
constexpr int kMaxParallel = 64;

struct TCommandInfo
{
    TCliCommand Command;
    const char *Name;
    const char *HelpKey;     // what the command does
    const char *Usage;       // the arguments after the command name
    QStringList Options;     // the options it takes besides the common ones
};

const QStringList kDeviceOptions{QStringLiteral("port"), QStringLiteral("ports-from"), QStringLiteral("password"),
                                 QStringLiteral("password-file"), QStringLiteral("show-secrets"),
                                 QStringLiteral("report"), QStringLiteral("parallel"), QStringLiteral("reason")};
const QStringList kCommonOptions{QStringLiteral("lang"), QStringLiteral("json"), QStringLiteral("quiet"),
                                 QStringLiteral("help")};

const TCommandInfo kCommands[] = {
    {TCliCommand::Ports, "ports", "CliHelpPorts", "", {}},
    {TCliCommand::Info, "info", "CliHelpInfo", "--port P", {}},
    {TCliCommand::Read, "read", "CliHelpRead", "--port P --out F.ini|F.bin", {QStringLiteral("out")}},
    {TCliCommand::Write, "write", "CliHelpWrite", "--port P --in F.ini|F.bin", {QStringLiteral("in")}},
    {TCliCommand::Diff, "diff", "CliHelpDiff", "--port P --in F.ini|F.bin", {QStringLiteral("in")}},
    {TCliCommand::Backup, "backup", "CliHelpBackup", "--port P", {}},
    {TCliCommand::Restore, "restore", "CliHelpRestore", "--port P [--at TIME]", {QStringLiteral("at")}},
    {TCliCommand::History, "history", "CliHelpHistory", "--port P (--out F.csv | --archive [--new]) [--count N] [--iso]",
     {QStringLiteral("out"), QStringLiteral("count"), QStringLiteral("iso"), QStringLiteral("archive"),
      QStringLiteral("new")}},
    {TCliCommand::EraseHistory, "erase-history", "CliHelpEraseHistory", "--port P --yes", {QStringLiteral("yes")}},
    {TCliCommand::Clock, "clock", "CliHelpClock", "--port P [--sync]", {QStringLiteral("sync")}},
    {TCliCommand::Relay, "relay", "CliHelpRelay", "--port P 1|2 open|close", {}},
    // Runs without a port (cli/CliReport_Unt); listed here for the overview.
    {TCliCommand::Report, "report", "CliHelpReportCmd", "(--imei IMEI | --in F.csv) --out F.pdf", {}},
    // Runs without a port (cli/CliArchive_Unt); listed here for the overview.
    {TCliCommand::Archive, "archive", "CliHelpArchiveCmd", "list | export --imei IMEI --out F.csv", {}},
    // Runs without a port (cli/CliAudit_Unt); listed here for the overview.
    {TCliCommand::Audit, "audit", "CliHelpAudit", "[--imei IMEI] [--from TIME] [--to TIME] [--json] [--verify]", {}},
};

// Options and the language-table key of their description.
const struct
{
    const char *Name;
    const char *ValueName; // nullptr: a switch
    const char *HelpKey;
} kOptions[] = {
    {"port", "P", "CliOptPort"},
    {"ports-from", "FILE", "CliOptPortsFrom"},
    {"password", "PASSWORD", "CliOptPassword"},
    {"password-file", "FILE", "CliOptPasswordFile"},
    {"show-secrets", nullptr, "CliOptShowSecrets"},
    {"lang", "zh|en", "CliOptLang"},
    {"json", nullptr, "CliOptJson"},
    {"quiet", nullptr, "CliOptQuiet"},
    {"report", "F.csv", "CliOptReport"},
    {"parallel", "N", "CliOptParallel"},
    {"iso", nullptr, "CliOptIso"},
    {"archive", nullptr, "CliOptArchive"},
    {"new", nullptr, "CliOptNew"},
    {"in", "F", "CliOptIn"},
    {"out", "F", "CliOptOut"},
    {"count", "N", "CliOptCount"},
    {"at", "TIME", "CliOptAt"},
    {"sync", nullptr, "CliOptSync"},
    {"yes", nullptr, "CliOptYes"},
    {"reason", "TEXT", "CliOptReason"},
    {"help", nullptr, "CliOptHelp"},
};

const TCommandInfo *FindCommand(const QString &name)
{
    for (const TCommandInfo &info : kCommands) {
        if (name == QLatin1String(info.Name))
            return &info;
    }
    return nullptr;
}

const TCommandInfo *FindCommand(TCliCommand command)
{
    for (const TCommandInfo &info : kCommands) {
        if (info.Command == command)
            return &info;
    }
    return nullptr;
}

QStringList OptionsOf(const TCommandInfo &info)
{
    QStringList options = info.Options;
    if (info.Command != TCliCommand::Ports)
        options = kDeviceOptions + options;
    return options + kCommonOptions;
}

bool HasSuffix(const QString &fileName, const char *suffix)
{
    return fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

// A file can be made there: its folder exists.
bool FolderExists(const QString &fileName)
{
    return QFileInfo(fileName).absoluteDir().exists();
}

// A list of ports is a few lines; more is no such list.
constexpr qint64 kMaxPortListSize = 64 * 1024;
// A password file holds one line.
constexpr qint64 kMaxPasswordFileSize = 1024;
const char *const kPasswordVariable = "K80X_PASSWORD";

QString ReadFailureText(const FileSafety::TReadResult &read, int language)
{
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    switch (read.error) {
    case FileSafety::TFileError::Missing: return text("CliNoSuchFile");
    case FileSafety::TFileError::NotRegular: return text("CliNotRegularFile");
    case FileSafety::TFileError::TooLarge: return text("CliFileTooLarge");
    case FileSafety::TFileError::None:
    case FileSafety::TFileError::Failed: break;
    }
    return read.detail;
}

// Nothing there yet, or a regular file: a link, a device or a FIFO is
// never written through.
bool OutputAllowed(const QString &fileName)
{
    return FileSafety::IsWritableTarget(fileName);
}

bool HasPlaceholder(const QString &pattern)
{
    return pattern.contains(QLatin1String("{port}")) || pattern.contains(QLatin1String("{imei}"));
}

} // namespace

bool CliCommandChangesDevice(const TCliOptions &options)
{
    switch (options.Command) {
    case TCliCommand::Write:
    case TCliCommand::Restore:
    case TCliCommand::EraseHistory:
    case TCliCommand::Relay:
        return true;
    case TCliCommand::Clock:
        return options.Sync;
    default:
        return false;
    }
}

QString CliCommandName(TCliCommand command)
{
    const TCommandInfo *info = FindCommand(command);
    return info ? QString::fromLatin1(info->Name) : QString();
}

QString CliCommandWord(const QStringList &arguments)
{
    // Options of every command that take a value, so that a value is not
    // taken for the command.
    static const char *const valueOptions[] = {"lang", "port", "ports-from", "password", "report", "in", "out",
                                               "count", "at", "imei", "model", "from", "to", "delta-h", "reason"};
    for (int index = 1; index < arguments.size(); ++index) {
        const QString &argument = arguments.at(index);
        if (!argument.startsWith(QLatin1Char('-')))
            return argument;
        if (argument.contains(QLatin1Char('=')))
            continue;
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        for (const char *option : valueOptions) {
            if (name == QLatin1String(option)) {
                ++index;
                break;
            }
        }
    }
    return QString();
}

int CliLanguageOf(const QStringList &arguments)
{
    for (int index = 1; index < arguments.size(); ++index) {
        const QString &argument = arguments.at(index);
        QString value;
        if (argument.startsWith(QLatin1String("--lang=")))
            value = argument.mid(7);
        else if (argument == QLatin1String("--lang") && index + 1 < arguments.size())
            value = arguments.at(index + 1);
        else
            continue;
        if (value == QLatin1String("zh"))
            return ConstLang::Chinese;
        if (value == QLatin1String("en"))
            return ConstLang::English;
    }
    return UserLocaleIsChinesePRC() ? ConstLang::Chinese : ConstLang::English;
}

QString CliHelpText(TCliCommand command, int language)
{
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    QString help;
    const TCommandInfo *info = FindCommand(command);
    if (!info) {
        help += text("CliHelpUsage").arg(QStringLiteral("k80x-cli <command> [options]")) + QLatin1Char('\n');
        help += text("CliHelpIntro") + QStringLiteral("\n\n") + text("CliHelpCommands") + QLatin1Char('\n');
        for (const TCommandInfo &each : kCommands) {
            help += QStringLiteral("  %1 %2\n      %3\n")
                        .arg(QString::fromLatin1(each.Name), QString::fromLatin1(each.Usage), text(each.HelpKey));
        }
        help += QLatin1Char('\n') + text("CliHelpMore") + QLatin1Char('\n');
    } else {
        help += text("CliHelpUsage")
                    .arg(QStringLiteral("k80x-cli %1 %2 [options]")
                             .arg(QString::fromLatin1(info->Name), QString::fromLatin1(info->Usage)))
              + QLatin1Char('\n');
        help += text(info->HelpKey) + QStringLiteral("\n\n") + text("CliHelpOptions") + QLatin1Char('\n');
        const QStringList allowed = OptionsOf(*info);
        for (const auto &option : kOptions) {
            if (!allowed.contains(QLatin1String(option.Name)))
                continue;
            QString name = QStringLiteral("--") + QLatin1String(option.Name);
            if (option.ValueName)
                name += QLatin1Char(' ') + QLatin1String(option.ValueName);
            help += QStringLiteral("  %1\n      %2\n").arg(name, text(option.HelpKey));
        }
    }
    help += QLatin1Char('\n') + text("CliHelpExitCodes") + QLatin1Char('\n');
    for (const char *key : {"CliExit0", "CliExit1", "CliExit2", "CliExit3", "CliExit4", "CliExit5"})
        help += QStringLiteral("  ") + text(key) + QLatin1Char('\n');
    return help;
}

QString CliOutputName(const QString &pattern, const QString &port, const QString &imei, const QString &model)
{
    // The IMEI and the model are what the device said; none of the parts
    // may lead out of the folder the pattern names.
    QString name = pattern;
    name.replace(QLatin1String("{port}"), FileSafety::CleanNamePart(port));
    name.replace(QLatin1String("{imei}"), FileSafety::CleanNamePart(imei));
    name.replace(QLatin1String("{model}"), FileSafety::CleanNamePart(model));
    return name;
}

TCliParse ParseCliArguments(const QStringList &arguments)
{
    TCliParse result;
    TCliOptions &options = result.Options;
    options.Language = CliLanguageOf(arguments);
    const int language = options.Language;
    const auto text = [language](const char *key) { return ConstLang::Text(QString::fromLatin1(key), language); };
    const auto fail = [&result](const QString &error) {
        result.ExitCode = CliExit::BadInput;
        result.Error = error;
        return result;
    };

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const auto &option : kOptions) {
        QStringList names{QLatin1String(option.Name)};
        if (QLatin1String(option.Name) == QLatin1String("help"))
            names << QStringLiteral("h");
        parser.addOption(option.ValueName
                             ? QCommandLineOption(names, QString(), QLatin1String(option.ValueName))
                             : QCommandLineOption(names));
    }
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return fail(text("CliUnknownOption").arg(unknown.first()));
        return fail(text("CliBadArguments").arg(parser.errorText()));
    }

    const QStringList positional = parser.positionalArguments();
    const bool help = parser.isSet(QStringLiteral("help"));
    if (parser.isSet(QStringLiteral("version"))) {
        result.ExitCode = CliExit::Done;
        result.Output = QStringLiteral("k80x-cli %1\n").arg(QCoreApplication::applicationVersion());
        return result;
    }
    if (positional.isEmpty()) {
        if (help) {
            result.ExitCode = CliExit::Done;
            result.Output = CliHelpText(TCliCommand::None, language);
            return result;
        }
        return fail(text("CliNoCommand"));
    }
    const TCommandInfo *info = FindCommand(positional.first());
    if (!info)
        return fail(text("CliUnknownCommand").arg(positional.first()));
    options.Command = info->Command;
    options.CommandName = QString::fromLatin1(info->Name);
    if (help) {
        result.ExitCode = CliExit::Done;
        result.Output = CliHelpText(info->Command, language);
        return result;
    }

    const QStringList allowed = OptionsOf(*info);
    for (const QString &name : parser.optionNames()) {
        const QString longName = name == QLatin1String("h") ? QStringLiteral("help") : name;
        if (!allowed.contains(longName))
            return fail(text("CliOptionNotFor").arg(QStringLiteral("--") + longName, options.CommandName));
    }

    const QStringList extra = positional.mid(1);
    if (info->Command == TCliCommand::Relay) {
        if (extra.size() != 2 || (extra.at(0) != QLatin1String("1") && extra.at(0) != QLatin1String("2"))
            || (extra.at(1) != QLatin1String("open") && extra.at(1) != QLatin1String("close")))
            return fail(text("CliRelayArguments"));
        options.Relay = extra.at(0).toInt();
        options.RelayClose = extra.at(1) == QLatin1String("close");
    } else if (!extra.isEmpty()) {
        return fail(text("CliExtraArgument").arg(extra.first()));
    }

    const QString lang = parser.value(QStringLiteral("lang"));
    if (parser.isSet(QStringLiteral("lang")) && lang != QLatin1String("zh") && lang != QLatin1String("en"))
        return fail(text("CliBadLanguage").arg(lang));
    options.Json = parser.isSet(QStringLiteral("json"));
    options.Quiet = parser.isSet(QStringLiteral("quiet"));
    if (info->Command == TCliCommand::Ports)
        return result;

    // The ports, in the order given: --port first, then the file's lines.
    for (const QString &port : parser.values(QStringLiteral("port"))) {
        if (port.trimmed().isEmpty())
            return fail(text("CliEmptyPort"));
        options.Ports << port.trimmed();
    }
    if (parser.isSet(QStringLiteral("ports-from"))) {
        const QString fileName = parser.value(QStringLiteral("ports-from"));
        const FileSafety::TReadResult read = FileSafety::ReadRegularFile(fileName, kMaxPortListSize);
        if (!read.ok())
            return fail(text("CliCannotReadFile").arg(fileName, ReadFailureText(read, language)));
        const QStringList lines = QString::fromUtf8(read.bytes).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QString port = line.trimmed();
            if (!port.isEmpty() && !port.startsWith(QLatin1Char('#')))
                options.Ports << port;
        }
    }
    if (options.Ports.isEmpty())
        return fail(text("CliNoPort"));
    // A malformed network address is bad input, found before any device is touched.
    for (const QString &port : options.Ports) {
        QString error;
        if (NetPorts::IsNetworkName(port) && !NetPorts::Parse(port, options.Language, &error))
            return fail(error);
    }

    // The password from a file or the environment stays out of the
    // process list, where other users see --password.
    if (parser.isSet(QStringLiteral("password"))) {
        options.Password = parser.value(QStringLiteral("password"));
    } else if (parser.isSet(QStringLiteral("password-file"))) {
        const QString fileName = parser.value(QStringLiteral("password-file"));
        const FileSafety::TReadResult read = FileSafety::ReadRegularFile(fileName, kMaxPasswordFileSize);
        if (!read.ok())
            return fail(text("CliCannotReadFile").arg(fileName, ReadFailureText(read, language)));
        options.Password = QString::fromUtf8(read.bytes).section(QLatin1Char('\n'), 0, 0).trimmed();
    } else if (qEnvironmentVariableIsSet(kPasswordVariable)) {
        options.Password = qEnvironmentVariable(kPasswordVariable).trimmed();
    }
    options.ShowSecrets = parser.isSet(QStringLiteral("show-secrets"));
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    if (!fourDigits.match(options.Password).hasMatch())
        return fail(text("CliBadPassword"));

    if (parser.isSet(QStringLiteral("parallel"))) {
        bool ok = false;
        const QString value = parser.value(QStringLiteral("parallel"));
        options.Parallel = value.toInt(&ok);
        if (!ok || options.Parallel < 1 || options.Parallel > kMaxParallel)
            return fail(text("CliBadParallel").arg(value).arg(kMaxParallel));
    }
    options.Iso = parser.isSet(QStringLiteral("iso"));

    options.Report = parser.value(QStringLiteral("report"));
    if (parser.isSet(QStringLiteral("report")) && options.Report.trimmed().isEmpty())
        return fail(text("CliMissingValue").arg(QStringLiteral("--report")));
    if (!options.Report.isEmpty() && !FolderExists(options.Report))
        return fail(text("CliCannotWriteFile").arg(options.Report, text("CliNoSuchFolder")));
    if (!options.Report.isEmpty() && !OutputAllowed(options.Report))
        return fail(text("CliCannotWriteFile").arg(options.Report, text("CliNotRegularFile")));

    const bool several = options.Ports.size() > 1;
    switch (info->Command) {
    case TCliCommand::Read:
    case TCliCommand::History: {
        options.Archive = parser.isSet(QStringLiteral("archive"));
        options.NewOnly = parser.isSet(QStringLiteral("new"));
        if (options.NewOnly && !options.Archive)
            return fail(text("CliNewNeedsArchive"));
        if (options.NewOnly && parser.isSet(QStringLiteral("count")))
            return fail(text("CliOptionNotFor").arg(QStringLiteral("--count"), QStringLiteral("history --new")));
        options.Out = parser.value(QStringLiteral("out"));
        // Collected into the archive, a CSV file is written only when asked for.
        if (options.Archive && !parser.isSet(QStringLiteral("out"))) {
            options.Count = TSoftHistory::MaxQuantity;
            if (parser.isSet(QStringLiteral("count"))) {
                bool ok = false;
                options.Count = parser.value(QStringLiteral("count")).toInt(&ok);
                if (!ok || !TSoftHistory::QuantityValid(options.Count))
                    return fail(text("CliBadCount").arg(parser.value(QStringLiteral("count"))).arg(TSoftHistory::MaxQuantity));
            }
            break;
        }
        if (options.Out.trimmed().isEmpty())
            return fail(text("CliMissingValue").arg(QStringLiteral("--out")));
        if (info->Command == TCliCommand::Read && !HasSuffix(options.Out, ".ini") && !HasSuffix(options.Out, ".bin"))
            return fail(text("CliOutIniOrBin").arg(options.Out));
        // A name such as /dev/null is refused as given, before ".csv" could
        // make a new file of it.
        if (!OutputAllowed(options.Out))
            return fail(text("CliCannotWriteFile").arg(options.Out, text("CliNotRegularFile")));
        if (info->Command == TCliCommand::History && !HasSuffix(options.Out, ".csv"))
            options.Out += QStringLiteral(".csv");
        if (!OutputAllowed(options.Out))
            return fail(text("CliCannotWriteFile").arg(options.Out, text("CliNotRegularFile")));
        if (several && !HasPlaceholder(options.Out))
            return fail(text("CliOutNeedsPlaceholder"));
        if (!FolderExists(options.Out))
            return fail(text("CliCannotWriteFile").arg(options.Out, text("CliNoSuchFolder")));
        options.Count = TSoftHistory::MaxQuantity;
        if (parser.isSet(QStringLiteral("count"))) {
            bool ok = false;
            options.Count = parser.value(QStringLiteral("count")).toInt(&ok);
            if (!ok || !TSoftHistory::QuantityValid(options.Count))
                return fail(text("CliBadCount").arg(parser.value(QStringLiteral("count"))).arg(TSoftHistory::MaxQuantity));
        }
        break;
    }
    case TCliCommand::Write:
    case TCliCommand::Diff:
        options.In = parser.value(QStringLiteral("in"));
        if (options.In.trimmed().isEmpty())
            return fail(text("CliMissingValue").arg(QStringLiteral("--in")));
        if (!HasSuffix(options.In, ".ini") && !HasSuffix(options.In, ".bin"))
            return fail(text("CliInIniOrBin").arg(options.In));
        break;
    case TCliCommand::Restore:
        if (parser.isSet(QStringLiteral("at"))) {
            // A day alone means all of it.
            options.At = CliParseTime(parser.value(QStringLiteral("at")), true);
            if (!options.At.isValid())
                return fail(text("CliBadTime").arg(parser.value(QStringLiteral("at"))));
        }
        break;
    case TCliCommand::EraseHistory:
        if (!parser.isSet(QStringLiteral("yes")))
            return fail(text("CliEraseNeedsYes"));
        break;
    case TCliCommand::Clock:
        options.Sync = parser.isSet(QStringLiteral("sync"));
        break;
    default:
        break;
    }
    // Refused before any port is opened: not even the password goes out.
    options.Reason = parser.value(QStringLiteral("reason")).trimmed();
    if (CliCommandChangesDevice(options) && options.Reason.isEmpty() && AuditSettings::ReasonRequired())
        return fail(text("CliReasonRequired"));
    return result;
}
