#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One field a write or restore changed: its on-screen caption in both
// languages (so either can show it later), the value before and the value after.
struct TAuditChange
{
    QString captionZh;
    QString captionEn;
    QString before;
    QString after;

    bool operator==(const TAuditChange &other) const
    {
        return captionZh == other.captionZh && captionEn == other.captionEn && before == other.before
            && after == other.after;
    }
};

// One row of the audit trail. Rows are only ever appended: a device action
// writes an Intent row before it sends anything and an Outcome row (Refers:
// the intent's Sequence) when it ends; what happens in the window alone
// (a profile loaded) is one Event row.
struct TAuditEntry
{
    enum class TKind { Intent, Outcome, Event };

    qint64 sequence = 0;   // 1, 2, 3 ... given by Append
    TKind kind = TKind::Event;
    qint64 refers = 0;     // Outcome: the sequence of its intent; 0 else
    QDateTime timeUtc;     // to the millisecond; Append takes the PC's clock when invalid
    int utcOffset = 0;     // the PC's offset from UTC then, in seconds
    QString user;          // the operating system's user name
    QString host;
    QString version;       // the program's version text
    QString port;
    QString imei;
    QString model;
    QString action;        // TAuditAction's code: "write", "restore", ...
    QString result;        // Outcome/Event: "done", or what went wrong ("Differs", "Stopped" ...)
    QString outcomeZh;     // the outcome as the user was told it, in both languages
    QString outcomeEn;
    QList<TAuditChange> changes;
    QString backupFile;
    QString reason;
    QString previousHash;  // hex SHA-256 of the row before; empty for the first
    QString hash;          // hex SHA-256 of this row's content and previousHash

    // The text that is hashed: every field but sequence and hash, in a fixed
    // order, as compact JSON (UTF-8).
    QByteArray Canonical() const;
    QString ComputedHash() const;
};

// What the chain check found.
struct TAuditCheck
{
    enum class TProblem {
        None,       // intact
        Unreadable, // the file cannot be read (detail)
        Altered,    // entry's content no longer matches its hash
        Removed,    // one or more entries before entry are gone
        Inserted,   // entry was put in between
        Swapped,    // entry and the one after it changed places
    };
    TProblem problem = TProblem::None;
    qint64 entry = 0;
    int count = 0; // entries checked
    QString detail;

    bool Intact() const { return problem == TProblem::None; }
    // "intact", "entry N was altered" ... in the language (0 Chinese, 1 English).
    QString Text(int language) const;
};

// The audit trail of the user on this PC: one SQLite file (its own, beside
// the history archive) that is only ever appended to. Each row carries the
// SHA-256 of its content and of the row before, so that a change, a removal,
// an insertion or a reordering shows in Verify(). A file that is damaged or
// belongs to another program is never written: Open() says so and every
// Append fails until the user moves it away.
class TAuditTrail
{
public:
    enum class TStatus { Closed, Ready, Failed, Locked, Damaged, Foreign, Newer };

    static constexpr int BusyTimeoutMs = 3000;
    static constexpr int SchemaVersion = 1;
    // "K80A": the SQLite application id that marks the file as ours.
    static constexpr int ApplicationId = 0x4B383041;

    // path: the file; DefaultPath() when empty.
    explicit TAuditTrail(const QString &path = QString());
    ~TAuditTrail();
    TAuditTrail(const TAuditTrail &) = delete;
    TAuditTrail &operator=(const TAuditTrail &) = delete;

    // The user's application-data folder + "/audit.sqlite" (beside the
    // history archive). Tests move it with XDG_DATA_HOME (or HOME).
    static QString DefaultPath();

    const QString &Path() const { return m_path; }
    TStatus Status() const { return m_status; }
    // Opens the file, creating it (and its folder) when absent. Ready or why not.
    TStatus Open();
    void Close();
    // Why the trail cannot be written, naming the file, in the language; empty when Ready.
    QString ProblemText(int language) const;

    // Appends entry (sequence, previousHash and hash set here; the time when
    // unset) in one transaction. The new sequence, or nullopt with the
    // status telling why (Open() first when Closed).
    std::optional<qint64> Append(TAuditEntry entry);
    // Every row, by sequence; empty when the file cannot be read.
    QList<TAuditEntry> Entries();
    // Walks the chain from the first row and names the first one that is off.
    TAuditCheck Verify();

private:
    TStatus Fail(TStatus status, const QString &error);
    TStatus CheckLayout();

    QString m_path;
    QString m_connection;
    TStatus m_status = TStatus::Closed;
    QString m_error;
};

namespace AuditKinds {
QString Code(TAuditEntry::TKind kind);
TAuditEntry::TKind FromCode(const QString &code);
} // namespace AuditKinds
