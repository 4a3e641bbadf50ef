#include "cli/CliAudit_Unt.h"

#include "audit/AuditRecorder_Unt.h"
#include "audit/AuditTrail_Unt.h"
#include "base/Funs_Unt.h"
#include "cli/CliOptions_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const TCliOptionTable kAuditOptions = {
    {"imei", "IMEI", "AudOptImei"},
    {"from", "TIME", "AudOptFrom"},
    {"to", "TIME", "AudOptTo"},
    {"verify", nullptr, "CliOptVerify"},
    {"json", nullptr, "CliOptJson"},
    {"lang", "zh|en", "CliOptLang"},
    {"quiet", nullptr, "CliOptQuiet"},
    {"help", nullptr, "CliOptHelp"},
};

const char kAuditUsage[] = "k80x-cli audit [--imei IMEI] [--from TIME] [--to TIME] [--json] [--verify]";

// One line of the listing.
void PrintLine(FILE *stream, const QString &line)
{
    CliPrint(stream, line + QLatin1Char('\n'));
}

QString LocalTimeText(const TAuditEntry &entry)
{
    // The PC's clock and offset when the entry was made.
    const QDateTime local = entry.timeUtc.toOffsetFromUtc(entry.utcOffset);
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" UTC")
        + (entry.utcOffset >= 0 ? QStringLiteral("+") : QStringLiteral("-"))
        + QTime(0, 0).addSecs(qAbs(entry.utcOffset)).toString(QStringLiteral("HH:mm"));
}

QJsonObject JsonOf(const TAuditEntry &entry)
{
    QJsonArray changes;
    for (const TAuditChange &change : entry.changes)
        changes.append(QJsonObject{{QStringLiteral("field_en"), change.captionEn},
                                   {QStringLiteral("field_zh"), change.captionZh},
                                   {QStringLiteral("before"), change.before},
                                   {QStringLiteral("after"), change.after}});
    return QJsonObject{{QStringLiteral("entry"), entry.sequence},
                       {QStringLiteral("kind"), AuditKinds::Code(entry.kind)},
                       {QStringLiteral("refers"), entry.refers},
                       {QStringLiteral("time_utc"), entry.timeUtc.toString(Qt::ISODateWithMs)},
                       {QStringLiteral("utc_offset"), entry.utcOffset},
                       {QStringLiteral("user"), entry.user},
                       {QStringLiteral("host"), entry.host},
                       {QStringLiteral("version"), entry.version},
                       {QStringLiteral("port"), entry.port},
                       {QStringLiteral("imei"), entry.imei},
                       {QStringLiteral("model"), entry.model},
                       {QStringLiteral("action"), entry.action},
                       {QStringLiteral("result"), entry.result},
                       {QStringLiteral("outcome_en"), entry.outcomeEn},
                       {QStringLiteral("outcome_zh"), entry.outcomeZh},
                       {QStringLiteral("changes"), changes},
                       {QStringLiteral("backup_file"), entry.backupFile},
                       {QStringLiteral("reason"), entry.reason},
                       {QStringLiteral("hash"), entry.hash}};
}

} // namespace

bool CliIsAuditCommand(const QStringList &arguments)
{
    return CliCommandWord(arguments) == QLatin1String("audit");
}

QString CliAuditHelpText(int language)
{
    return CliCommandHelp(kAuditUsage, "CliHelpAudit", kAuditOptions, {"CliExit0", "CliExit2"}, language);
}

TCliAuditParse ParseCliAuditArguments(const QStringList &arguments)
{
    TCliAuditParse result;
    TCliAuditOptions &options = result.Options;
    options.Language = CliLanguageOf(arguments);
    const int language = options.Language;
    const auto fail = [&result](const QString &error) {
        result.ExitCode = JobExit::BadInput;
        result.Error = error;
        return result;
    };
    QCommandLineParser parser;
    CliAddOptions(parser, kAuditOptions);
    if (!parser.parse(arguments))
        return fail(CliParseError(parser, "audit", language));
    if (parser.isSet(QStringLiteral("help"))) {
        result.ExitCode = JobExit::Done;
        result.Output = CliAuditHelpText(language);
        return result;
    }
    const QStringList extra = parser.positionalArguments().mid(1);
    if (!extra.isEmpty())
        return fail(ConstLang::Text("CliExtraArgument", language).arg(extra.first()));
    options.Imei = parser.value(QStringLiteral("imei")).trimmed();
    options.Json = parser.isSet(QStringLiteral("json"));
    options.Verify = parser.isSet(QStringLiteral("verify"));
    for (const char *name : {"from", "to"}) {
        if (!parser.isSet(QLatin1String(name)))
            continue;
        const QString value = parser.value(QLatin1String(name));
        const QDateTime time = CliParseTime(value, QLatin1String(name) == QLatin1String("to"));
        if (!time.isValid())
            return fail(ConstLang::Text("AudBadTime", language).arg(value));
        (QLatin1String(name) == QLatin1String("from") ? options.From : options.To) = time;
    }
    if (options.From.isValid() && options.To.isValid() && options.From > options.To)
        return fail(ConstLang::Text("CliPeriodReversed", language)
                        .arg(parser.value(QStringLiteral("from")), parser.value(QStringLiteral("to"))));
    return result;
}

int RunCliAudit(const TCliAuditOptions &options, FILE *out, FILE *err)
{
    const int language = options.Language;
    TAuditTrail trail(options.Path);
    // The trail is opened as it is: a missing one is made empty, a damaged
    // or foreign one is left alone and named.
    if (trail.Open() != TAuditTrail::TStatus::Ready) {
        PrintLine(err, ConstLang::Text("CliAuditUnreadable", language).arg(trail.ProblemText(language)));
        return JobExit::BadInput;
    }
    if (options.Verify) {
        const TAuditCheck check = trail.Verify();
        if (check.Intact()) {
            PrintLine(out, ConstLang::Text("CliAuditIntact", language).arg(check.count));
            return JobExit::Done;
        }
        PrintLine(err, ConstLang::Text("CliAuditAltered", language).arg(check.Text(language)));
        return JobExit::NotVerified;
    }
    QJsonArray list;
    for (const TAuditEntry &entry : trail.Entries()) {
        if (!options.Imei.isEmpty() && entry.imei != options.Imei)
            continue;
        if (options.From.isValid() && entry.timeUtc < options.From.toUTC())
            continue;
        if (options.To.isValid() && entry.timeUtc > options.To.toUTC())
            continue;
        if (options.Json) {
            list.append(JsonOf(entry));
            continue;
        }
        const QString outcome = language == 0 ? entry.outcomeZh : entry.outcomeEn;
        QString line = QStringLiteral("%1  %2  %3@%4  %5 %6 %7  %8")
                           .arg(entry.sequence)
                           .arg(LocalTimeText(entry), entry.user, entry.host, entry.port, entry.imei, entry.model,
                                AuditActions::Name(entry.action, language));
        if (entry.kind == TAuditEntry::TKind::Intent)
            line += QStringLiteral("  [%1]").arg(AuditKinds::Code(entry.kind));
        else
            line += QStringLiteral("  [%1 %2]: %3").arg(AuditKinds::Code(entry.kind), entry.result, outcome);
        if (!entry.reason.isEmpty())
            line += QStringLiteral("  (%1)").arg(entry.reason);
        PrintLine(out, line);
        for (const TAuditChange &change : entry.changes)
            PrintLine(out, QStringLiteral("      %1: %2 -> %3")
                           .arg(language == 0 ? change.captionZh : change.captionEn, change.before, change.after));
        if (!entry.backupFile.isEmpty())
            PrintLine(out, QStringLiteral("      ") + ConstLang::Text("AudBackupFile", language).arg(entry.backupFile));
    }
    if (options.Json) {
        const QByteArray json = QJsonDocument(list).toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, size_t(json.size()), out);
    }
    return JobExit::Done;
}

int CliAuditMain(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The window's name: the trail lives in the same folder.
    QCoreApplication::setApplicationName(QStringLiteral("k80x"));
    QCoreApplication::setApplicationVersion(ProgramVersionText().mid(1));
    return CliRunParsed(ParseCliAuditArguments(QCoreApplication::arguments()), RunCliAudit);
}
