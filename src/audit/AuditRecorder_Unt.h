#pragma once

#include "audit/AuditTrail_Unt.h"
#include "session/JobWatch_Unt.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QSettings;
class TDeviceConnection;

// The actions the trail records, by their codes (stored in the file) and
// their names in the language tables.
namespace AuditActions {
// The code of what job does; empty for jobs that are not recorded (login,
// clock read, current values, single history records).
QString CodeOf(const TDeviceJob &job);
// Whether the action changes the device: its start is refused when it
// cannot be recorded.
bool IsChanging(const QString &code);
// The action's name in the language (0 Chinese, 1 English).
QString Name(const QString &code, int language);
} // namespace AuditActions

// The trail's setting in the program's settings file: whether a changing
// action needs a reason ("Audit/ReasonRequired", off unless set).
namespace AuditSettings {
// settings: null uses the program's own settings file (as the recent ports do).
bool ReasonRequired(QSettings *settings = nullptr);
void SetReasonRequired(bool required, QSettings *settings = nullptr);
} // namespace AuditSettings

// Records every job started on one device connection into the audit
// trail: an intent entry before the job sends anything, and an outcome
// entry (the job's verdict, in the words of the window or of the tool)
// when it ends. A changing action whose intent cannot be written, or that
// lacks a required reason, is refused before anything is sent; reads go on
// and notLogged() says that they were not recorded.
class TAuditRecorder : public QObject, public TJobWatch
{
    Q_OBJECT
public:
    // Whose words an outcome is stored in.
    enum class TFace { Window, Tool };

    // Attaches itself to connection (not owned) until destroyed. path: the
    // trail's file (TAuditTrail::DefaultPath() when empty), opened at the first entry.
    TAuditRecorder(TDeviceConnection *connection, TFace face, const QString &path = QString(),
                   QObject *parent = nullptr);
    ~TAuditRecorder() override;

    // The language the user is told in (refusals are worded in it).
    void SetLanguage(int language) { m_language = language; }
    TAuditTrail &Trail() { return m_trail; }
    // Opens the trail when it is not open; empty when it can be written,
    // else why not (naming the file) in the user's language.
    QString Problem();

    // A profile loaded into the window: one entry. False (and notLogged)
    // when it could not be recorded.
    bool RecordProfileLoaded(const QString &fileName);

    QString Starting(const TDeviceJob &job) override;
    void Ended(const TDeviceJob &job) override;

signals:
    // An action went on without being recorded; text says why.
    void notLogged(const QString &text);
    // An entry was appended.
    void recorded(qint64 sequence);

private:
    TAuditEntry Base(const QString &action) const;
    std::optional<qint64> Append(const TAuditEntry &entry);

    QPointer<TDeviceConnection> m_connection;
    TFace m_face;
    TAuditTrail m_trail;
    int m_language = 1;
    QHash<const TDeviceJob *, qint64> m_intents;
};
