#include "audit/AuditList_Unt.h"

#include "audit/AuditRecorder_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QHash>
#include <QSet>

namespace {

QString OneLine(const QString &text)
{
    return QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified();
}

QString OffsetText(int seconds)
{
    return (seconds >= 0 ? QStringLiteral("+") : QStringLiteral("-"))
        + QTime(0, 0).addSecs(qAbs(seconds)).toString(QStringLiteral("HH:mm"));
}

} // namespace

QString TAuditRecord::OutcomeText(int language) const
{
    if (start.kind == TAuditEntry::TKind::Intent && !hasOutcome)
        return ConstLang::Text(QStringLiteral("AudNoOutcome"), language);
    const TAuditEntry &entry = Last();
    return OneLine(language == 0 ? entry.outcomeZh : entry.outcomeEn);
}

QString TAuditRecord::TimeText() const
{
    return start.timeUtc.toOffsetFromUtc(start.utcOffset).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        + QStringLiteral(" UTC") + OffsetText(start.utcOffset);
}

QString TAuditRecord::DeviceText() const
{
    QStringList parts;
    for (const QString &part : {start.model, start.imei}) {
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

QList<TAuditRecord> AuditList::Records(const QList<TAuditEntry> &entries, const QString &imei, const QDate &from,
                                       const QDate &to)
{
    QList<TAuditRecord> records;
    QHash<qint64, int> intents;
    for (const TAuditEntry &entry : entries) {
        if (entry.kind == TAuditEntry::TKind::Outcome) {
            const auto intent = intents.constFind(entry.refers);
            if (intent != intents.constEnd()) {
                records[*intent].hasOutcome = true;
                records[*intent].end = entry;
                continue;
            }
            // An outcome whose intent is not in the list stands alone.
        }
        const QDate day = entry.timeUtc.toOffsetFromUtc(entry.utcOffset).date();
        if ((!imei.isEmpty() && entry.imei != imei) || (from.isValid() && day < from) || (to.isValid() && day > to))
            continue;
        TAuditRecord record;
        record.start = entry;
        if (entry.kind == TAuditEntry::TKind::Intent)
            intents.insert(entry.sequence, int(records.size()));
        records << record;
    }
    return records;
}

QList<QPair<QString, QString>> AuditList::Devices(const QList<TAuditEntry> &entries)
{
    QList<QPair<QString, QString>> devices;
    QSet<QString> seen;
    for (const TAuditEntry &entry : entries) {
        if (entry.imei.isEmpty() || seen.contains(entry.imei))
            continue;
        seen.insert(entry.imei);
        devices << qMakePair(entry.imei, entry.model);
    }
    return devices;
}

QString AuditList::Csv(const QList<TAuditRecord> &records, int language)
{
    QString csv = ConstLang::Text(QStringLiteral("AudCsvHeader"), language) + QStringLiteral("\r\n");
    for (const TAuditRecord &record : records) {
        const TAuditEntry &start = record.start;
        QStringList changes;
        for (const TAuditChange &change : record.Last().changes)
            changes << QStringLiteral("%1: %2 -> %3")
                           .arg(language == 0 ? change.captionZh : change.captionEn, change.before, change.after);
        const QStringList fields{QString::number(start.sequence),
                                 start.timeUtc.toString(Qt::ISODateWithMs),
                                 OffsetText(start.utcOffset),
                                 start.user,
                                 start.host,
                                 start.version,
                                 start.port,
                                 start.imei,
                                 start.model,
                                 AuditActions::Name(start.action, language),
                                 record.OutcomeText(language),
                                 OneLine(start.reason),
                                 record.Last().backupFile,
                                 OneLine(changes.join(QStringLiteral("; ")))};
        csv += THistoryCsv::JoinLine(fields) + QStringLiteral("\r\n");
    }
    return csv;
}
