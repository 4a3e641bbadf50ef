#pragma once

#include "audit/AuditTrail_Unt.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One action as the trail's window and its exports show it: its intent (or
// the event) and the outcome appended for it, when one was.
struct TAuditRecord
{
    TAuditEntry start;
    bool hasOutcome = false;
    TAuditEntry end;

    // The entry whose outcome and changes are shown: the outcome when there is one.
    const TAuditEntry &Last() const { return hasOutcome ? end : start; }
    // The outcome in the language (0 Chinese, 1 English); an intent without
    // outcome says that the action started and did not report back.
    QString OutcomeText(int language) const;
    // "pc-time UTC+hh:mm" as the PC showed it when the action started.
    QString TimeText() const;
    // "model IMEI".
    QString DeviceText() const;
};

namespace AuditList {

// The actions of entries (in sequence order), optionally of one device
// (imei empty: all) and of the days from..to by the PC's local date then
// (invalid: open). Newest last.
QList<TAuditRecord> Records(const QList<TAuditEntry> &entries, const QString &imei = QString(),
                            const QDate &from = QDate(), const QDate &to = QDate());
// The devices named in entries, in the order first seen: "IMEI (model)" by IMEI.
QList<QPair<QString, QString>> Devices(const QList<TAuditEntry> &entries);
// The records as CSV (a header line, CR LF line ends, the program's quoting
// rule), field changes as "caption: before -> after" joined by "; ".
QString Csv(const QList<TAuditRecord> &records, int language);

} // namespace AuditList
