#include "cli/CliStandalone_Unt.h"

#include "lang/ConstLang_Unt.h"

#include <QCommandLineParser>

void CliPrint(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QDateTime CliParseTime(const QString &text, bool endOfDay)
{
    const QString trimmed = text.trimmed();
    for (const char *format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm",
                               "yyyyMMdd-HHmmss"}) {
        const QDateTime time = QDateTime::fromString(trimmed, QLatin1String(format));
        if (time.isValid())
            return time;
    }
    const QDate day = QDate::fromString(trimmed, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        return {};
    return endOfDay ? QDateTime(day, QTime(23, 59, 59, 999)) : QDateTime(day, QTime(0, 0));
}

QString CliCommandHelp(const char *usage, const char *commandKey, TCliOptionTable options,
                       std::initializer_list<const char *> exitKeys, int language)
{
    QString help = ConstLang::Text("CliHelpUsage", language).arg(QLatin1String(usage)) + QLatin1Char('\n');
    help += ConstLang::Text(commandKey, language) + QStringLiteral("\n\n") + ConstLang::Text("CliHelpOptions", language)
            + QLatin1Char('\n');
    for (const TCliOption &option : options) {
        QString name = QStringLiteral("--") + QLatin1String(option.Name);
        if (option.ValueName)
            name += QLatin1Char(' ') + QLatin1String(option.ValueName);
        help += QStringLiteral("  %1\n      %2\n").arg(name, ConstLang::Text(option.HelpKey, language));
    }
    help += QLatin1Char('\n') + ConstLang::Text("CliHelpExitCodes", language) + QLatin1Char('\n');
    for (const char *key : exitKeys)
        help += QStringLiteral("  ") + ConstLang::Text(key, language) + QLatin1Char('\n');
    return help;
}

void CliAddOptions(QCommandLineParser &parser, TCliOptionTable options)
{
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const TCliOption &option : options) {
        QStringList names{QLatin1String(option.Name)};
        if (QLatin1String(option.Name) == QLatin1String("help"))
            names << QStringLiteral("h");
        parser.addOption(option.ValueName ? QCommandLineOption(names, QString(), QLatin1String(option.ValueName))
                                          : QCommandLineOption(names));
    }
}

QString CliParseError(const QCommandLineParser &parser, const char *command, int language)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return ConstLang::Text("CliOptionNotFor", language)
            .arg(QStringLiteral("--") + unknown.first(), QLatin1String(command));
    return ConstLang::Text("CliBadArguments", language).arg(parser.errorText());
}
