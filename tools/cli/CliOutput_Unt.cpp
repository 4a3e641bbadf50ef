#include "cli/CliOutput_Unt.h"
#include "cli/CliStandalone_Unt.h"

#include "base/GbkText_Unt.h"
#include "base/FileSafety_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#ifdef Q_OS_WIN
#include <io.h>
#define K80X_ISATTY _isatty
#define K80X_FILENO _fileno
#else
#include <unistd.h>
#define K80X_ISATTY isatty
#define K80X_FILENO fileno
#endif

namespace {

constexpr int kBarWidth = 30;

QString SecondsText(double seconds)
{
    return QString::number(seconds, 'f', 1);
}

QStringList ReportHeader(int language)
{
    return {ConstLang::Text("CliReportPort", language), ConstLang::Text("CliReportModel", language), ConstLang::Text("CliReportImei", language),
            ConstLang::Text("CliReportResult", language), ConstLang::Text("CliReportSeconds", language)};
}

QStringList ReportRow(const TCliResult &result)
{
    return {result.Port, result.Model, result.Imei, result.Message, SecondsText(result.Seconds)};
}

} // namespace

TCliOutput::TCliOutput(const TCliOptions &options, FILE *out, FILE *err)
    : m_options(options), m_out(out), m_err(err),
      m_terminal(!options.Quiet && K80X_ISATTY(K80X_FILENO(err)) != 0)
{
}

void TCliOutput::Print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString TCliOutput::Bar(int value, int maximum, int width)
{
    const int filled = maximum > 0 ? int(qint64(qBound(0, value, maximum)) * width / maximum) : 0;
    const int percent = maximum > 0 ? int(qint64(qBound(0, value, maximum)) * 100 / maximum) : 0;
    return QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(width - filled, QLatin1Char('.'))
           + QStringLiteral("] %1%").arg(percent, 3);
}

void TCliOutput::Progress(const QString &port, int value, int maximum)
{
    if (!m_terminal)
        return;
    Print(m_err, QStringLiteral("\r%1 %2").arg(port, Bar(value, maximum, kBarWidth)));
    m_barShown = true;
}

void TCliOutput::ProgressLine(const QString &text)
{
    if (!m_terminal)
        return;
    Print(m_err, QStringLiteral("\r\033[K") + text);
    m_barShown = true;
}

void TCliOutput::ClearProgress()
{
    if (!m_barShown)
        return;
    Print(m_err, QStringLiteral("\r\033[K"));
    m_barShown = false;
}

void TCliOutput::DeviceDone(const TCliResult &result)
{
    ClearProgress();
    const bool failed = result.ExitCode != CliExit::Done && result.ExitCode != CliExit::Differences;
    const bool several = m_options.Ports.size() > 1;
    if (failed) {
        Print(m_err, QStringLiteral("k80x-cli: %1: %2\n").arg(result.Port, result.Message));
        if (m_options.Quiet || m_options.Json)
            return;
    }
    if (m_options.Quiet || m_options.Json)
        return;
    QString text;
    const QString indent = several ? QStringLiteral("  ") : QString();
    if (several)
        text += result.Port + QLatin1Char('\n');
    for (const QString &line : result.Details)
        text += indent + line + QLatin1Char('\n');
    if (!failed)
        text += indent + result.Message + QLatin1Char('\n');
    Print(m_out, text);
}

QStringList TCliOutput::ReportTable(const QList<TCliResult> &results, int language)
{
    QList<QStringList> rows{ReportHeader(language)};
    for (const TCliResult &result : results)
        rows << ReportRow(result);
    QList<int> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size(); ++column)
            widths[column] = qMax(widths[column], int(row.at(column).size()));
    }
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line;
        for (int column = 0; column < row.size(); ++column) {
            const bool last = column == row.size() - 1;
            line += last ? row.at(column) : row.at(column).leftJustified(widths[column] + 2);
        }
        lines << line;
    }
    return lines;
}

QString TCliOutput::WriteReportCsv(const QList<TCliResult> &results, int language, const QString &fileName)
{
    QString text = THistoryCsv::JoinLine(ReportHeader(language)) + QStringLiteral("\r\n");
    for (const TCliResult &result : results)
        text += THistoryCsv::JoinLine(ReportRow(result)) + QStringLiteral("\r\n");
    if (!TGbkText::Available())
        return TGbkText::NoConversionReason();
    const QByteArray bytes = TGbkText::Encode(text);
    const FileSafety::TSaveResult saved = FileSafety::SaveFile(fileName, bytes, false);
    if (saved.error == FileSafety::TFileError::NotRegular)
        return ConstLang::Text("CliNotRegularFile", language);
    return saved.detail;
}

void TCliOutput::Summary(const QList<TCliResult> &results, int exitCode)
{
    ClearProgress();
    if (m_options.Quiet)
        return;
    if (m_options.Json) {
        QJsonArray devices;
        for (const TCliResult &result : results) {
            QJsonObject device = result.Data;
            device.insert(QStringLiteral("port"), result.Port);
            device.insert(QStringLiteral("model"), result.Model);
            device.insert(QStringLiteral("imei"), result.Imei);
            device.insert(QStringLiteral("exitCode"), result.ExitCode);
            device.insert(QStringLiteral("result"), result.Message);
            device.insert(QStringLiteral("seconds"), result.Seconds);
            devices.append(device);
        }
        const QJsonObject document{{QStringLiteral("command"), m_options.CommandName},
                                   {QStringLiteral("exitCode"), exitCode},
                                   {QStringLiteral("devices"), devices}};
        Print(m_out, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
        return;
    }
    if (results.size() > 1)
        Print(m_out, QLatin1Char('\n') + ReportTable(results, m_options.Language).join(QLatin1Char('\n'))
                         + QLatin1Char('\n'));
}

void TCliOutput::Ports(const QStringList &ports)
{
    if (m_options.Quiet)
        return;
    if (m_options.Json) {
        const QJsonObject document{{QStringLiteral("command"), m_options.CommandName},
                                   {QStringLiteral("exitCode"), CliExit::Done},
                                   {QStringLiteral("ports"), QJsonArray::fromStringList(ports)}};
        Print(m_out, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
        return;
    }
    Print(m_out, ports.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void TCliOutput::Error(const QString &text)
{
    ClearProgress();
    Print(m_err, QStringLiteral("k80x-cli: %1\n").arg(text));
}
