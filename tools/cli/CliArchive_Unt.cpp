#include "cli/CliArchive_Unt.h"

#include "base/Funs_Unt.h"
#include "cli/CliOptions_Unt.h"
#include "history/HistoryArchiveExport_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "session/JobVerdict_Unt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const TCliOptionTable kArchiveOptions = {
    {"imei", "IMEI", "CliOptArchiveImei"},
    {"out", "F.csv", "CliOptArchiveOut"},
    {"lang", "zh|en", "CliOptLang"},
    {"json", nullptr, "CliOptJson"},
    {"quiet", nullptr, "CliOptQuiet"},
    {"help", nullptr, "CliOptHelp"},
};

const char kArchiveUsage[] = "k80x-cli archive list [--json] | k80x-cli archive export --imei IMEI --out F.csv";
const char kLastReadFormat[] = "yyyy-MM-dd HH:mm:ss";

QString ListText(const QVector<TArchivedDevice> &devices, int language)
{
    const QStringList header{ConstLang::Text("TxtArchiveImei", language), ConstLang::Text("TxtArchiveModel", language),
                             ConstLang::Text("TxtArchiveRecords", language), ConstLang::Text("TxtArchiveLastRead", language)};
    QList<QStringList> rows{header};
    for (const TArchivedDevice &device : devices)
        rows.append({device.imei, device.model, QString::number(device.records),
                     device.lastRead.toString(QLatin1String(kLastReadFormat))});
    QVector<int> widths(header.size(), 0);
    for (const QStringList &row : rows)
        for (int column = 0; column < row.size(); ++column)
            widths[column] = qMax(widths[column], int(row.at(column).size()));
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (int column = 0; column < row.size(); ++column)
            line += row.at(column).leftJustified(widths[column] + 2);
        text += line.trimmed() + QLatin1Char('\n');
    }
    return text;
}

} // namespace

bool CliIsArchiveCommand(const QStringList &arguments)
{
    return CliCommandWord(arguments) == QLatin1String("archive");
}

QString CliArchiveHelpText(int language)
{
    return CliCommandHelp(kArchiveUsage, "CliHelpArchiveCmd", kArchiveOptions, {"CliExit0", "CliExit2"}, language);
}

TCliArchiveParse ParseCliArchiveArguments(const QStringList &arguments)
{
    TCliArchiveParse result;
    TCliArchiveOptions &options = result.Options;
    options.Language = CliLanguageOf(arguments);
    const int language = options.Language;
    const auto text = [language](const char *key) { return ConstLang::Text(key, language); };
    const auto fail = [&result](const QString &error) {
        result.ExitCode = JobExit::BadInput;
        result.Error = error;
        return result;
    };

    QCommandLineParser parser;
    CliAddOptions(parser, kArchiveOptions);
    if (!parser.parse(arguments))
        return fail(CliParseError(parser, "archive", language));
    if (parser.isSet(QStringLiteral("help"))) {
        result.ExitCode = JobExit::Done;
        result.Output = CliArchiveHelpText(language);
        return result;
    }
    const QString lang = parser.value(QStringLiteral("lang"));
    if (parser.isSet(QStringLiteral("lang")) && lang != QLatin1String("zh") && lang != QLatin1String("en"))
        return fail(text("CliBadLanguage").arg(lang));
    // The first positional argument is "archive" itself.
    const QStringList words = parser.positionalArguments().mid(1);
    const QString action = words.value(0, QStringLiteral("list"));
    if (action == QLatin1String("list"))
        options.Action = TCliArchiveOptions::TAction::List;
    else if (action == QLatin1String("export"))
        options.Action = TCliArchiveOptions::TAction::Export;
    else
        return fail(text("CliArchiveAction").arg(action));
    if (words.size() > 1)
        return fail(text("CliExtraArgument").arg(words.at(1)));
    options.Json = parser.isSet(QStringLiteral("json"));
    options.Quiet = parser.isSet(QStringLiteral("quiet"));
    options.Imei = parser.value(QStringLiteral("imei")).trimmed();
    options.Out = parser.value(QStringLiteral("out"));
    if (options.Action == TCliArchiveOptions::TAction::List) {
        if (parser.isSet(QStringLiteral("imei")))
            return fail(text("CliOptionNotFor").arg(QStringLiteral("--imei"), QStringLiteral("archive list")));
        if (parser.isSet(QStringLiteral("out")))
            return fail(text("CliOptionNotFor").arg(QStringLiteral("--out"), QStringLiteral("archive list")));
        return result;
    }
    if (options.Imei.isEmpty())
        return fail(text("CliMissingValue").arg(QStringLiteral("--imei")));
    if (options.Out.trimmed().isEmpty())
        return fail(text("CliMissingValue").arg(QStringLiteral("--out")));
    if (!options.Out.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        options.Out += QStringLiteral(".csv");
    if (!QFileInfo(options.Out).absoluteDir().exists())
        return fail(text("CliCannotWriteFile").arg(options.Out, text("CliNoSuchFolder")));
    return result;
}

int RunCliArchive(const TCliArchiveOptions &options, FILE *out, FILE *err)
{
    const int language = options.Language;
    const auto failed = [&](const QString &error) {
        CliPrint(err, QStringLiteral("k80x-cli: ") + error + QLatin1Char('\n'));
        return JobExit::BadInput;
    };
    // Listing or exporting never makes an archive that was not there.
    const QString path = THistoryArchive::DefaultPath();
    if (!QFileInfo::exists(path))
        return failed(ConstLang::Text("CliArchiveNoFile", language).arg(QDir::toNativeSeparators(path)));
    THistoryArchive archive(path);
    if (archive.Open() != THistoryArchive::TStatus::Ready)
        return failed(archive.ProblemText(language));

    if (options.Action == TCliArchiveOptions::TAction::List) {
        const QVector<TArchivedDevice> devices = archive.Devices();
        if (!archive.IsReady())
            return failed(archive.ProblemText(language));
        if (options.Json) {
            QJsonArray list;
            for (const TArchivedDevice &device : devices) {
                QJsonObject entry;
                entry.insert(QStringLiteral("imei"), device.imei);
                entry.insert(QStringLiteral("model"), device.model);
                entry.insert(QStringLiteral("records"), device.records);
                entry.insert(QStringLiteral("lastRead"), device.lastRead.toString(Qt::ISODate));
                list.append(entry);
            }
            QJsonObject root;
            root.insert(QStringLiteral("command"), QStringLiteral("archive list"));
            root.insert(QStringLiteral("archive"), QDir::toNativeSeparators(path));
            root.insert(QStringLiteral("devices"), list);
            CliPrint(out, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
        } else if (!options.Quiet) {
            CliPrint(out, devices.isEmpty() ? ConstLang::Text("TxtArchiveNone", language) + QLatin1Char('\n')
                                         : ListText(devices, language));
        }
        return JobExit::Done;
    }

    QString model;
    for (const TArchivedDevice &device : archive.Devices()) {
        if (device.imei == options.Imei)
            model = device.model;
    }
    const QString fileName = CliOutputName(options.Out, QString(), options.Imei, model);
    const THistoryArchiveExport exported = THistoryArchiveExport::Write(archive, options.Imei, fileName, language);
    switch (exported.failure) {
    case THistoryArchiveExport::TFailure::None:
        break;
    case THistoryArchiveExport::TFailure::EmptyDevice:
        return failed(ConstLang::Text("MsgArchiveEmptyDevice", language).arg(options.Imei));
    case THistoryArchiveExport::TFailure::UnknownModel:
        return failed(ConstLang::Text("MsgArchiveUnknownModel", language).arg(model, options.Imei));
    case THistoryArchiveExport::TFailure::ArchiveRead:
        return failed(archive.ProblemText(language));
    case THistoryArchiveExport::TFailure::File:
        return failed(ConstLang::Text("CliCannotWriteFile", language)
                          .arg(QDir::toNativeSeparators(fileName), exported.file.systemText));
    }
    if (options.Json) {
        QJsonObject root;
        root.insert(QStringLiteral("command"), QStringLiteral("archive export"));
        root.insert(QStringLiteral("imei"), options.Imei);
        root.insert(QStringLiteral("records"), exported.records);
        root.insert(QStringLiteral("file"), QDir::toNativeSeparators(fileName));
        CliPrint(out, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    } else if (!options.Quiet) {
        CliPrint(out, ConstLang::Text("CliArchiveExported", language)
                       .arg(exported.records)
                       .arg(options.Imei, QDir::toNativeSeparators(fileName))
                   + QLatin1Char('\n'));
    }
    return JobExit::Done;
}

int CliArchiveMain(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The window's name: the archive lives in the same folder.
    QCoreApplication::setApplicationName(QStringLiteral("k80x"));
    QCoreApplication::setApplicationVersion(ProgramVersionText().mid(1));
    return CliRunParsed(ParseCliArchiveArguments(QCoreApplication::arguments()), RunCliArchive);
}
