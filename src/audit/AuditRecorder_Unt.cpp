#include "audit/AuditRecorder_Unt.h"

#include "base/Funs_Unt.h"
#include "config/ConfigDiff_Unt.h"
#include "config/FieldCaptions_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/JobVerdict_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSysInfo>

#include <memory>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

const QString kReasonKey = QStringLiteral("Audit/ReasonRequired");

struct TActionName {
    const char *code;
    const char *key;
    bool changing;
};

// Relays by the line they send: DOC1 closes relay 1.
const TActionName kActions[] = {
    {"write", "AudActWrite", true},
    {"restore", "AudActRestore", true},
    {"erase-history", "AudActEraseHistory", true},
    {"set-clock", "AudActSetClock", true},
    {"relay-close-1", "AudActRelayClose1", true},
    {"relay-open-1", "AudActRelayOpen1", true},
    {"relay-close-2", "AudActRelayClose2", true},
    {"relay-open-2", "AudActRelayOpen2", true},
    {"reboot", "AudActReboot", true},
    {"reset", "AudActReset", true},
    {"config-read", "AudActConfigRead", false},
    {"history-download", "AudActHistoryDownload", false},
    {"profile-load", "AudActProfileLoad", false},
};

const TActionName *Find(const QString &code)
{
    for (const TActionName &action : kActions) {
        if (code == QLatin1String(action.code))
            return &action;
    }
    return nullptr;
}

std::unique_ptr<QSettings> OwnSettings()
{
    const QString name = QCoreApplication::applicationName();
    return std::make_unique<QSettings>(name, name);
}

// The account the program runs under, as the system knows it; the
// environment only where the system does not say.
QString UserName()
{
#ifdef Q_OS_UNIX
    if (const passwd *account = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
#endif
    QString name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty())
        name = qEnvironmentVariable("USER");
    return name;
}

QString ResultOf(const TDeviceJob &job)
{
    switch (job.outcome()) {
    case TDeviceJob::TOutcome::Done: return QStringLiteral("done");
    case TDeviceJob::TOutcome::Stopped: return QStringLiteral("stopped");
    case TDeviceJob::TOutcome::LineLost: return QStringLiteral("line-lost");
    case TDeviceJob::TOutcome::Idle:
    case TDeviceJob::TOutcome::Running:
    case TDeviceJob::TOutcome::Failed: break;
    }
    return QStringLiteral("failed");
}

// What a write changes, field by field, with the captions in both languages.
QList<TAuditChange> ChangesOf(const TVerifiedWriteJob &write)
{
    QList<TAuditChange> changes;
    if (write.BackupImage().isEmpty())
        return changes;
    const int model = write.ModelIndex();
    for (const TFieldDiff &diff : DiffConfigImages(write.BackupImage(), write.Image(), model))
        changes << TAuditChange{DiffCaption(diff, model, 0), DiffCaption(diff, model, 1), diff.Before, diff.After};
    return changes;
}

} // namespace

QString AuditActions::CodeOf(const TDeviceJob &job)
{
    if (!job.Note().action.isEmpty())
        return job.Note().action;
    if (qobject_cast<const TVerifiedWriteJob *>(&job))
        return QStringLiteral("write");
    if (qobject_cast<const THistoryEraseJob *>(&job))
        return QStringLiteral("erase-history");
    if (qobject_cast<const TClockWriteJob *>(&job))
        return QStringLiteral("set-clock");
    if (const auto *relay = qobject_cast<const TRelayJob *>(&job)) {
        const QByteArray &keyword = relay->Keyword();
        const QString number = QString::fromLatin1(keyword.right(1));
        return (keyword.startsWith("DOC") ? QStringLiteral("relay-close-") : QStringLiteral("relay-open-")) + number;
    }
    if (const auto *line = qobject_cast<const TTextLineJob *>(&job))
        return line->IsReboot() ? QStringLiteral("reboot") : QStringLiteral("reset");
    if (qobject_cast<const TConfigReadJob *>(&job))
        return QStringLiteral("config-read");
    if (qobject_cast<const THistoryReadJob *>(&job))
        return QStringLiteral("history-download");
    return QString();
}

bool AuditActions::IsChanging(const QString &code)
{
    const TActionName *action = Find(code);
    // An action this program does not know is taken as changing: refused
    // rather than left out of the trail.
    return !action || action->changing;
}

QString AuditActions::Name(const QString &code, int language)
{
    const TActionName *action = Find(code);
    return action ? ConstLang::Text(QString::fromLatin1(action->key), language) : code;
}

bool AuditSettings::ReasonRequired(QSettings *settings)
{
    std::unique_ptr<QSettings> own;
    if (!settings) {
        own = OwnSettings();
        settings = own.get();
    }
    return settings->value(kReasonKey, false).toBool();
}

void AuditSettings::SetReasonRequired(bool required, QSettings *settings)
{
    std::unique_ptr<QSettings> own;
    if (!settings) {
        own = OwnSettings();
        settings = own.get();
    }
    settings->setValue(kReasonKey, required);
    settings->sync();
}

TAuditRecorder::TAuditRecorder(TDeviceConnection *connection, TFace face, const QString &path, QObject *parent)
    : QObject(parent), m_connection(connection), m_face(face), m_trail(path)
{
    if (m_connection)
        m_connection->SetJobWatch(this);
}

TAuditRecorder::~TAuditRecorder()
{
    if (m_connection && m_connection->JobWatch() == this)
        m_connection->SetJobWatch(nullptr);
}

QString TAuditRecorder::Problem()
{
    if (m_trail.Status() != TAuditTrail::TStatus::Ready)
        m_trail.Open();
    return m_trail.ProblemText(m_language);
}

TAuditEntry TAuditRecorder::Base(const QString &action) const
{
    TAuditEntry entry;
    const QDateTime now = QDateTime::currentDateTime();
    entry.timeUtc = now.toUTC();
    entry.utcOffset = now.offsetFromUtc();
    entry.user = UserName();
    entry.host = QSysInfo::machineHostName();
    entry.version = ProgramVersionText();
    if (m_connection) {
        entry.port = m_connection->PortName();
        entry.imei = m_connection->Identity().imei;
        entry.model = m_connection->Identity().model;
    }
    entry.action = action;
    return entry;
}

std::optional<qint64> TAuditRecorder::Append(const TAuditEntry &entry)
{
    if (!Problem().isEmpty())
        return std::nullopt;
    const std::optional<qint64> sequence = m_trail.Append(entry);
    if (sequence)
        emit recorded(*sequence);
    return sequence;
}

QString TAuditRecorder::Starting(const TDeviceJob &job)
{
    const QString action = AuditActions::CodeOf(job);
    if (action.isEmpty())
        return QString();
    const bool changing = AuditActions::IsChanging(action);
    if (changing && job.Note().reason.trimmed().isEmpty() && AuditSettings::ReasonRequired())
        return ConstLang::Text(QStringLiteral("AudReasonMissing"), m_language);
    TAuditEntry intent = Base(action);
    intent.kind = TAuditEntry::TKind::Intent;
    intent.reason = job.Note().reason;
    if (const auto *write = qobject_cast<const TVerifiedWriteJob *>(&job))
        intent.changes = ChangesOf(*write);
    const std::optional<qint64> sequence = Append(intent);
    if (sequence) {
        m_intents.insert(&job, *sequence);
        return QString();
    }
    const QString problem = m_trail.ProblemText(m_language);
    if (changing)
        return problem;
    emit notLogged(ConstLang::Text(QStringLiteral("AudNotLogged"), m_language).arg(problem));
    return QString();
}

void TAuditRecorder::Ended(const TDeviceJob &job)
{
    const auto intent = m_intents.constFind(&job);
    if (intent == m_intents.constEnd())
        return;
    TAuditEntry outcome = Base(AuditActions::CodeOf(job));
    outcome.kind = TAuditEntry::TKind::Outcome;
    outcome.refers = *intent;
    m_intents.erase(intent);
    outcome.reason = job.Note().reason;
    outcome.result = ResultOf(job);
    // The words the user was told; where the window says nothing (a relay
    // switched), the tool's words.
    const int model = m_connection ? m_connection->ModelIndex() : -1;
    for (int language : {0, 1}) {
        const TJobVerdict verdict = TJobVerdict::Of(job, [model, language](const TConfigError &where) {
            return FieldCaptions::Caption(where.Control, where.Row, where.SubItem, model, language);
        });
        QString told = m_face == TFace::Window ? verdict.WindowText(language) : verdict.ToolText(language);
        if (told.isEmpty())
            told = m_face == TFace::Window ? verdict.ToolText(language) : verdict.WindowText(language);
        (language == 0 ? outcome.outcomeZh : outcome.outcomeEn) = told;
    }
    if (const auto *write = qobject_cast<const TVerifiedWriteJob *>(&job)) {
        outcome.changes = ChangesOf(*write);
        outcome.backupFile = QDir::toNativeSeparators(write->BackupFile());
    }
    if (!Append(outcome))
        emit notLogged(ConstLang::Text(QStringLiteral("AudNotLogged"), m_language).arg(m_trail.ProblemText(m_language)));
}

bool TAuditRecorder::RecordProfileLoaded(const QString &fileName)
{
    TAuditEntry entry = Base(QStringLiteral("profile-load"));
    entry.kind = TAuditEntry::TKind::Event;
    entry.result = QStringLiteral("done");
    entry.backupFile = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
    entry.outcomeZh = ConstLang::Text(QStringLiteral("AudProfileLoaded"), 0);
    entry.outcomeEn = ConstLang::Text(QStringLiteral("AudProfileLoaded"), 1);
    if (Append(entry))
        return true;
    emit notLogged(ConstLang::Text(QStringLiteral("AudNotLogged"), m_language).arg(m_trail.ProblemText(m_language)));
    return false;
}
