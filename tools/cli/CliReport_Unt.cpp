#include "cli/CliReport_Unt.h"

#include "base/Funs_Unt.h"
#include "platform/Platform_Unt.h"
#include "cli/CliOptions_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "report/ReportPdf_Unt.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace {

// Options of the report command.
const TCliOptionTable kReportOptions = {
    {"imei", "IMEI", "CliOptImei"},
    {"in", "F.csv", "CliOptReportIn"},
    {"model", "K801|K802|K803", "CliOptModel"},
    {"from", "TIME", "CliOptFrom"},
    {"to", "TIME", "CliOptTo"},
    {"out", "F.pdf", "CliOptReportOut"},
    {"appendix", nullptr, "CliOptAppendix"},
    {"delta-h", "KJ/MOL", "CliOptDeltaH"},
    {"lang", "zh|en", "CliOptLang"},
    {"json", nullptr, "CliOptJson"},
    {"quiet", nullptr, "CliOptQuiet"},
    {"help", nullptr, "CliOptHelp"},
};

const char kReportUsage[] = "k80x-cli report (--imei IMEI | --in F.csv) [--from TIME] [--to TIME] --out F.pdf "
                      "[--appendix] [--delta-h KJ/MOL] [--json]";

int ModelIndexOfName(const QString &model)
{
    const QString name = model.trimmed().toUpper();
    if (name == QLatin1String("K801"))
        return 0;
    if (name == QLatin1String("K802"))
        return 1;
    if (name == QLatin1String("K803"))
        return 2;
    return -1;
}

// One report's content, or why there is none.
struct TSource
{
    TReportDocument Document;
    QString Error;
};

TSource FromArchive(const THistoryArchive &archive, const QString &imei, const TCliReportOptions &options)
{
    TSource source;
    TReportDocument &document = source.Document;
    const int language = options.Language;
    QString model;
    for (const TArchivedDevice &device : archive.Devices()) {
        if (device.imei == imei)
            model = device.model;
    }
    const QVector<TArchivedRecord> records = archive.Records(imei);
    if (model.isEmpty() || records.isEmpty()) {
        source.Error = ConstLang::Text("MsgArchiveEmptyDevice", language).arg(imei);
        return source;
    }
    document.modelIndex = qMax(0, ModelIndexOfName(model));
    document.model = model;
    document.imei = imei;
    document.series = TReportSeries::FromRecords(records, TReportSeries::ModelChannels(document.modelIndex, language));
    return source;
}

TSource FromCsv(const TCliReportOptions &options)
{
    TSource source;
    TReportDocument &document = source.Document;
    const int language = options.Language;
    THistoryGridModel grid;
    const THistoryCsv::TResult read = THistoryCsv::Import(grid, options.In);
    if (!read) {
        QString reason = ConstLang::Text(read.TextKey().toLatin1().constData(), language);
        if (reason.contains(QLatin1String("%1")))
            reason = reason.arg(QDir::toNativeSeparators(options.In));
        if (!read.systemText.isEmpty())
            reason += QStringLiteral(" (") + read.systemText + QLatin1Char(')');
        source.Error = ConstLang::Text("RptNotHistoryFile", language).arg(QDir::toNativeSeparators(options.In), reason);
        return source;
    }
    int modelIndex = options.ModelIndex;
    if (modelIndex < 0) {
        int fields = 0;
        for (int row = 1; row <= grid.LastFilledRow(); ++row)
            fields = qMax(fields, grid.FieldCount(row));
        // Eight value columns are a K801's or a K803's; --model tells them apart.
        modelIndex = fields > 15 ? 1 : 0;
    }
    document.modelIndex = modelIndex;
    document.model = THistoryCsv::ModelName(modelIndex);
    document.imei = ConstLang::Text("RptUnknown", language);
    document.description = QFileInfo(options.In).fileName();
    document.series = TReportSeries::FromGrid(grid, TReportSeries::ModelChannels(modelIndex, language));
    if (document.series.RowCount() == 0 && document.series.rowsSkipped > 0)
        source.Error = ConstLang::Text("RptNotHistoryFile", language)
                           .arg(QDir::toNativeSeparators(options.In),
                                ConstLang::Text("RptRowsSkipped", language).arg(document.series.rowsSkipped));
    return source;
}

QString OutputName(const QString &pattern, const TReportDocument &document)
{
    return CliOutputName(pattern, QString(), document.imei, document.model);
}

} // namespace

bool CliIsReportCommand(const QStringList &arguments)
{
    return CliCommandWord(arguments) == QLatin1String("report");
}

QString CliReportHelpText(int language)
{
    return CliCommandHelp(kReportUsage, "CliHelpReportCmd", kReportOptions, {"CliExit0", "CliExit2"}, language);
}

TCliReportParse ParseCliReportArguments(const QStringList &arguments)
{
    TCliReportParse result;
    TCliReportOptions &options = result.Options;
    options.Language = CliLanguageOf(arguments);
    const int language = options.Language;
    const auto text = [language](const char *key) { return ConstLang::Text(key, language); };
    const auto fail = [&result](const QString &error) {
        result.ExitCode = CliExit::BadInput;
        result.Error = error;
        return result;
    };

    QCommandLineParser parser;
    CliAddOptions(parser, kReportOptions);
    if (!parser.parse(arguments))
        return fail(CliParseError(parser, "report", language));
    if (parser.isSet(QStringLiteral("help"))) {
        result.ExitCode = CliExit::Done;
        result.Output = CliReportHelpText(language);
        return result;
    }
    const QStringList extra = parser.positionalArguments().mid(1);
    if (!extra.isEmpty())
        return fail(text("CliExtraArgument").arg(extra.first()));
    const QString lang = parser.value(QStringLiteral("lang"));
    if (parser.isSet(QStringLiteral("lang")) && lang != QLatin1String("zh") && lang != QLatin1String("en"))
        return fail(text("CliBadLanguage").arg(lang));

    for (const QString &imei : parser.values(QStringLiteral("imei"))) {
        if (imei.trimmed().isEmpty())
            return fail(text("CliMissingValue").arg(QStringLiteral("--imei")));
        options.Imeis << imei.trimmed();
    }
    options.In = parser.value(QStringLiteral("in"));
    if (options.Imeis.isEmpty() == options.In.isEmpty())
        return fail(text("CliReportImeiOrIn"));
    if (parser.isSet(QStringLiteral("model"))) {
        options.ModelIndex = ModelIndexOfName(parser.value(QStringLiteral("model")));
        if (options.ModelIndex < 0)
            return fail(text("CliBadModel").arg(parser.value(QStringLiteral("model"))));
    }
    if (parser.isSet(QStringLiteral("from"))) {
        options.From = CliParseTime(parser.value(QStringLiteral("from")), false);
        if (!options.From.isValid())
            return fail(text("CliBadTime").arg(parser.value(QStringLiteral("from"))).replace(QLatin1String("--at"), QLatin1String("--from")));
    }
    if (parser.isSet(QStringLiteral("to"))) {
        options.To = CliParseTime(parser.value(QStringLiteral("to")), true);
        if (!options.To.isValid())
            return fail(text("CliBadTime").arg(parser.value(QStringLiteral("to"))).replace(QLatin1String("--at"), QLatin1String("--to")));
    }
    if (options.From.isValid() && options.To.isValid() && options.From > options.To)
        return fail(text("CliPeriodReversed")
                        .arg(TReportDocument::TimeText(options.From), TReportDocument::TimeText(options.To)));
    if (parser.isSet(QStringLiteral("delta-h"))) {
        bool ok = false;
        options.DeltaH = parser.value(QStringLiteral("delta-h")).toDouble(&ok);
        if (!ok || !(options.DeltaH > 0) || options.DeltaH > 1000)
            return fail(text("CliBadDeltaH").arg(parser.value(QStringLiteral("delta-h"))));
    }
    options.Appendix = parser.isSet(QStringLiteral("appendix"));
    options.Json = parser.isSet(QStringLiteral("json"));
    options.Quiet = parser.isSet(QStringLiteral("quiet"));
    options.Out = parser.value(QStringLiteral("out"));
    if (parser.isSet(QStringLiteral("out")) && options.Out.trimmed().isEmpty())
        return fail(text("CliMissingValue").arg(QStringLiteral("--out")));
    if (options.Out.isEmpty() && !options.Json)
        return fail(text("CliMissingValue").arg(QStringLiteral("--out")));
    if (!options.Out.isEmpty()) {
        if (!options.Out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            options.Out += QStringLiteral(".pdf");
        if (options.Imeis.size() > 1 && !options.Out.contains(QLatin1String("{imei}")))
            return fail(text("CliOutNeedsPlaceholder"));
        if (!QFileInfo(options.Out).absoluteDir().exists())
            return fail(text("CliCannotWriteFile").arg(options.Out, text("CliNoSuchFolder")));
    }
    return result;
}

int RunCliReport(const TCliReportOptions &options, FILE *out, FILE *err)
{
    const int language = options.Language;
    int exitCode = CliExit::Done;
    QJsonArray reports;
    const auto failed = [&](const QString &error) {
        CliPrint(err, QStringLiteral("k80x-cli: ") + error + QLatin1Char('\n'));
        exitCode = CliExit::BadInput;
    };

    QVector<TSource> sources;
    THistoryArchive archive;
    if (!options.In.isEmpty()) {
        sources.append(FromCsv(options));
    } else {
        if (archive.Open() != THistoryArchive::TStatus::Ready) {
            QString reason = ConstLang::Text(THistoryArchive::TextKey(archive.Status()).toLatin1().constData(), language);
            failed(reason.arg(QDir::toNativeSeparators(archive.Path())));
            return exitCode;
        }
        for (const QString &imei : options.Imeis)
            sources.append(FromArchive(archive, imei, options));
    }

    for (TSource &source : sources) {
        if (!source.Error.isEmpty()) {
            failed(source.Error);
            continue;
        }
        TReportDocument &document = source.Document;
        document.language = language;
        document.from = options.From;
        document.to = options.To;
        document.series.KeepPeriod(options.From, options.To);
        if (document.series.RowCount() == 0) {
            const QString begin = options.From.isValid() ? TReportDocument::TimeText(options.From) : QStringLiteral("…");
            const QString end = options.To.isValid() ? TReportDocument::TimeText(options.To) : QStringLiteral("…");
            failed((document.imei.isEmpty() ? QString() : document.imei + QStringLiteral(": "))
                   + ConstLang::Text("RptNoRecords", language).arg(begin, end));
            continue;
        }
        // The limits set when these records were downloaded, if the
        // archive kept that configuration.
        if (archive.IsReady())
            document.UseArchivedConfiguration(archive);
        document.options.deltaH = options.DeltaH;
        document.appendix = options.Appendix;
        document.generatedBy = TReportDocument::UserName();
        document.generatedAt = QDateTime::currentDateTime();
        document.program = QStringLiteral("k80x-cli ") + ProgramVersionText();
        document.Compute();

        QJsonObject json = document.ToJson();
        if (!options.Out.isEmpty()) {
            const QString fileName = OutputName(options.Out, document);
            const TReportPdf::TResult written = TReportPdf::Write(document, fileName);
            if (!written.ok) {
                failed(written.error);
                continue;
            }
            json.insert(QStringLiteral("file"), fileName);
            json.insert(QStringLiteral("pages"), written.pages);
            if (!options.Json && !options.Quiet)
                CliPrint(out, ConstLang::Text("CliReportDone", language).arg(document.stats.records).arg(fileName) + QLatin1Char('\n'));
        }
        if (!options.Json && !options.Quiet) {
            for (qint64 change : document.stats.offsetChanges)
                CliPrint(out, ConstLang::Text("RptOffsetChange", language)
                               .arg(QDateTime::fromMSecsSinceEpoch(change, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                           + QLatin1Char('\n'));
        }
        reports.append(json);
    }
    if (options.Json) {
        QJsonObject root;
        root.insert(QStringLiteral("command"), QStringLiteral("report"));
        root.insert(QStringLiteral("exitCode"), exitCode);
        root.insert(QStringLiteral("reports"), reports);
        CliPrint(out, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    }
    return exitCode;
}

int CliReportMain(int argc, char *argv[])
{
    // Fonts and painting for the PDF; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("k80x"));
    QCoreApplication::setApplicationVersion(ProgramVersionText().mid(1));
    return CliRunParsed(ParseCliReportArguments(QCoreApplication::arguments()), RunCliReport);
}
