#include "report/ReportDocument_Unt.h"

#include "history/HistoryArchive_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QJsonArray>
#include <QtGlobal>

#include <cmath>

namespace {

QJsonValue TimeJson(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toOffsetFromUtc(QDateTime::fromMSecsSinceEpoch(msecs).offsetFromUtc())
        .toString(Qt::ISODate);
}

// One decimal as the device stores it.
QJsonValue ValueJson(double value)
{
    return std::round(value * 10.0) / 10.0;
}

QJsonObject LimitJson(const ReportStats::TLimitResult &limit, bool above)
{
    QJsonObject object;
    object.insert(QStringLiteral("known"), limit.known);
    if (!limit.known)
        return object;
    object.insert(QStringLiteral("limit"), ValueJson(limit.limit));
    object.insert(QStringLiteral("count"), limit.Count());
    object.insert(QStringLiteral("totalSeconds"), double(limit.totalMs / 1000));
    object.insert(QStringLiteral("longestSeconds"), double(limit.longestMs / 1000));
    QJsonArray excursions;
    double worst = 0;
    qint64 worstTime = 0;
    for (const ReportStats::TExcursion &excursion : limit.excursions) {
        QJsonObject each;
        each.insert(QStringLiteral("start"), TimeJson(excursion.start));
        each.insert(QStringLiteral("end"), TimeJson(excursion.end));
        each.insert(QStringLiteral("seconds"), double(excursion.Length() / 1000));
        each.insert(QStringLiteral("readings"), excursion.readings);
        each.insert(QStringLiteral("worst"), ValueJson(excursion.worst));
        each.insert(QStringLiteral("worstTime"), TimeJson(excursion.worstTime));
        each.insert(QStringLiteral("open"), excursion.open);
        excursions.append(each);
        if (excursions.size() == 1 || (above ? excursion.worst > worst : excursion.worst < worst)) {
            worst = excursion.worst;
            worstTime = excursion.worstTime;
        }
    }
    if (!limit.excursions.isEmpty()) {
        object.insert(QStringLiteral("firstStart"), TimeJson(limit.excursions.first().start));
        object.insert(QStringLiteral("worst"), ValueJson(worst));
        object.insert(QStringLiteral("worstTime"), TimeJson(worstTime));
    }
    object.insert(QStringLiteral("excursions"), excursions);
    return object;
}

} // namespace

void TReportDocument::ApplyConfiguration(const TReportConfiguration &configuration, const QDateTime &read,
                                         bool fromDownload)
{
    if (!configuration.known)
        return;
    for (TReportChannel &channel : series.channels) {
        for (const TReportChannel &configured : configuration.channels) {
            if (configured.slot != channel.slot || channel.slot < 0)
                continue;
            channel.name = configured.name;
            channel.enabled = configured.enabled;
            channel.high = configured.high;
            channel.low = configured.low;
        }
    }
    options.intervalSeconds = configuration.intervalSeconds;
    if (!configuration.description.isEmpty())
        description = configuration.description;
    limitsKnown = true;
    limitsFromDownload = fromDownload;
    limitsReadTime = read;
}

bool TReportDocument::UseArchivedConfiguration(const THistoryArchive &archive)
{
    if (series.times.isEmpty())
        return false;
    const TArchivedConfiguration kept =
        archive.ConfigurationFor(imei, QDateTime::fromMSecsSinceEpoch(series.times.last()));
    if (!kept.IsValid())
        return false;
    const TReportConfiguration configuration = TReportConfiguration::FromImage(kept.image, modelIndex, language);
    ApplyConfiguration(configuration, kept.downloaded, true);
    return configuration.known;
}

void TReportDocument::Compute()
{
    stats = ReportStats::Compute(series, options);
}

QString TReportDocument::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), language);
}

QString TReportDocument::TimeText(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString TReportDocument::TimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString TReportDocument::DurationText(qint64 msecs) const
{
    const qint64 seconds = msecs / 1000;
    const qint64 days = seconds / 86400;
    const QString clock = QStringLiteral("%1:%2:%3")
                              .arg((seconds / 3600) % 24, 2, 10, QLatin1Char('0'))
                              .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                              .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return days > 0 ? Text("RptDays").arg(days) + QLatin1Char(' ') + clock : clock;
}

QString TReportDocument::Unit(const TReportChannel &channel)
{
    return channel.humidity ? QStringLiteral("%RH") : QStringLiteral("°C");
}

QString TReportDocument::ValueText(double value, const TReportChannel &channel)
{
    return QString::number(value, 'f', 1) + QLatin1Char(' ') + Unit(channel);
}

QString TReportDocument::OffsetText(qint64 msecs)
{
    const int offset = QDateTime::fromMSecsSinceEpoch(msecs).offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString TReportDocument::PeriodText() const
{
    const QString begin = from.isValid() ? TimeText(from) : (stats.records ? TimeText(stats.first) : QString());
    const QString end = to.isValid() ? TimeText(to) : (stats.records ? TimeText(stats.last) : QString());
    return Text("RptPeriodText").arg(begin, end);
}

QString TReportDocument::LimitsText() const
{
    if (!limitsKnown)
        return Text("RptLimitsUnknown");
    return Text(limitsFromDownload ? "RptLimitsFrom" : "RptLimitsRead").arg(TimeText(limitsReadTime));
}

QString TReportDocument::IntervalText() const
{
    if (stats.intervalFromConfiguration)
        return DurationText(stats.intervalMs);
    return Text("RptIntervalMedian").arg(stats.intervalMs > 0 ? DurationText(stats.intervalMs) : Text("RptUnknown"));
}

QJsonObject TReportDocument::ToJson() const
{
    QJsonObject root;
    root.insert(QStringLiteral("imei"), imei);
    root.insert(QStringLiteral("model"), model);
    root.insert(QStringLiteral("firmware"), firmware);
    root.insert(QStringLiteral("description"), description);
    QJsonObject period;
    if (stats.records > 0) {
        period.insert(QStringLiteral("firstRecord"), TimeJson(stats.first));
        period.insert(QStringLiteral("lastRecord"), TimeJson(stats.last));
    }
    if (from.isValid())
        period.insert(QStringLiteral("from"), TimeJson(from.toMSecsSinceEpoch()));
    if (to.isValid())
        period.insert(QStringLiteral("to"), TimeJson(to.toMSecsSinceEpoch()));
    root.insert(QStringLiteral("period"), period);
    root.insert(QStringLiteral("records"), stats.records);
    root.insert(QStringLiteral("rowsSkipped"), series.rowsSkipped);
    root.insert(QStringLiteral("intervalSeconds"), double(stats.intervalMs / 1000));
    root.insert(QStringLiteral("intervalFromConfiguration"), stats.intervalFromConfiguration);
    QJsonObject limits;
    limits.insert(QStringLiteral("known"), limitsKnown);
    if (limitsKnown) {
        limits.insert(QStringLiteral("source"), limitsFromDownload ? QStringLiteral("download") : QStringLiteral("read"));
        limits.insert(QStringLiteral("readTime"), TimeJson(limitsReadTime.toMSecsSinceEpoch()));
    }
    root.insert(QStringLiteral("limits"), limits);
    root.insert(QStringLiteral("deltaH"), options.deltaH);
    root.insert(QStringLiteral("sha256"), Hash());
    QJsonArray changes;
    for (qint64 change : stats.offsetChanges)
        changes.append(QDateTime::fromMSecsSinceEpoch(change, Qt::UTC).toString(Qt::ISODate));
    root.insert(QStringLiteral("utcOffsetChanges"), changes);
    QJsonArray gaps;
    for (const ReportStats::TGap &gap : stats.gaps) {
        QJsonObject each;
        each.insert(QStringLiteral("start"), TimeJson(gap.start));
        each.insert(QStringLiteral("end"), TimeJson(gap.end));
        each.insert(QStringLiteral("seconds"), double(gap.Length() / 1000));
        gaps.append(each);
    }
    root.insert(QStringLiteral("gaps"), gaps);

    QJsonArray channels;
    for (int index = 0; index < series.channels.size(); ++index) {
        const TReportChannel &channel = series.channels.at(index);
        const ReportStats::TChannelStats &each = stats.channels.at(index);
        QJsonObject object;
        object.insert(QStringLiteral("name"), channel.name);
        object.insert(QStringLiteral("unit"), Unit(channel));
        object.insert(QStringLiteral("slot"), channel.slot);
        object.insert(QStringLiteral("enabled"), channel.enabled);
        object.insert(QStringLiteral("readings"), each.readings);
        object.insert(QStringLiteral("invalid"), each.invalid);
        object.insert(QStringLiteral("absent"), each.absent);
        if (each.readings > 0) {
            object.insert(QStringLiteral("first"), TimeJson(each.first));
            object.insert(QStringLiteral("last"), TimeJson(each.last));
            object.insert(QStringLiteral("min"), ValueJson(each.minimum));
            object.insert(QStringLiteral("minTime"), TimeJson(each.minimumTime));
            object.insert(QStringLiteral("max"), ValueJson(each.maximum));
            object.insert(QStringLiteral("maxTime"), TimeJson(each.maximumTime));
            object.insert(QStringLiteral("mean"), std::round(each.mean * 100.0) / 100.0);
            object.insert(QStringLiteral("stdDev"), std::round(each.stdDev * 100.0) / 100.0);
        }
        if (each.mkt)
            object.insert(QStringLiteral("mkt"), std::round(*each.mkt * 100.0) / 100.0);
        object.insert(QStringLiteral("high"), LimitJson(each.high, true));
        object.insert(QStringLiteral("low"), LimitJson(each.low, false));
        const std::optional<bool> pass = each.Pass();
        object.insert(QStringLiteral("pass"), pass ? QJsonValue(*pass) : QJsonValue());
        channels.append(object);
    }
    root.insert(QStringLiteral("channels"), channels);
    return root;
}

QString TReportDocument::UserName()
{
    for (const char *variable : {"USER", "USERNAME", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return ConstLang::Text(QStringLiteral("RptUnknown"), ConstLang::English);
}
