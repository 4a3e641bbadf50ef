#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

class QSqlError;
#include <functional>

// One history record as the archive keeps it: its number in the device's
// log (record 1 is the first after an erase) and the 64 bytes the device
// stored. The time and the fields are decoded from the bytes.
struct TArchivedRecord
{
    int number = 0;
    QByteArray raw;

    // The record's time as the device wrote it: the six bytes year within
    // the century, month, day, hour, minute and second as one number, most
    // significant first, so that it sorts by time and keeps the bytes apart
    // even when they make no valid date.
    static qint64 StampOf(const QByteArray &raw);
    qint64 Stamp() const { return StampOf(raw); }
    bool operator==(const TArchivedRecord &other) const
    {
        return number == other.number && raw == other.raw;
    }
};

// The configuration image read from a device in the connection of a
// download, so that a report of the records uses the limits set then.
struct TArchivedConfiguration
{
    qint64 download = 0;        // the download's number, 0: none
    QDateTime downloaded;       // when the download ended (local time)
    QDateTime read;             // when the image was read from the device
    QByteArray image;
    bool IsValid() const { return download > 0; }
};

// One download kept in the archive: when it ended on the PC, in which zone.
struct TArchivedDownload
{
    qint64 id = 0;
    QDateTime downloaded;       // the PC's local time then
    bool zoneKnown = false;     // downloads kept before the zone was noted know none
    int utcOffsetSeconds = 0;   // the PC's offset from UTC then
    QString timeZone;           // the PC's zone (IANA name), e.g. "Asia/Shanghai"
    bool hasConfiguration = false;
};

// A device whose records the archive holds.
struct TArchivedDevice
{
    QString imei;
    QString model;          // "K801", "K802", "K803" as the device said
    QDateTime lastRead;     // the last time records of it were stored (local time)
    int records = 0;
};

// The local archive of every history record the program has read: one
// SQLite file, by default in the user's application-data folder. A record is
// keyed by the device's IMEI, its number in the log and its time, so reading
// it again stores nothing new, while the records of a log that was erased
// and written again are kept beside the old ones. Besides the 64 bytes the
// archive keeps the decoded fields (time, signal, flags, type, the sixteen
// values in tenths) for other programs that open the file.
//
// Each Store is one transaction: all of its records are stored or none.
class THistoryArchive
{
public:
    // Version of the file's layout, kept in the file's user_version: 2 adds
    // the counts table, 3 the configurations read with downloads, 4 the PC's
    // UTC offset and time zone of each download. An older file is upgraded
    // when it is opened.
    static constexpr int SchemaVersion = 4;

    enum class TStatus {
        Closed,     // not opened yet
        Ready,
        Locked,     // another program holds the file
        Corrupt,    // not an archive, or damaged
        Newer,      // written by a newer version of the program
        Failed,     // the file or its folder could not be created or written
    };

    // path: the file; DefaultPath() when empty.
    explicit THistoryArchive(const QString &path = QString());
    ~THistoryArchive();
    THistoryArchive(const THistoryArchive &) = delete;
    THistoryArchive &operator=(const THistoryArchive &) = delete;

    // "<application-data folder>/history-archive.sqlite".
    static QString DefaultPath();
    QString Path() const { return m_path; }

    // Opens the file, creating it (and its folder) when missing, and checks
    // its layout. Anything but Ready leaves the archive closed; a file that
    // is not ours is never changed.
    TStatus Open();
    void Close();
    TStatus Status() const { return m_status; }
    bool IsReady() const { return m_status == TStatus::Ready; }
    // The database's own words for the last failure, for the message.
    QString ErrorText() const { return m_error; }
    // Language-table key of the message for a status ("MsgArchiveLocked",
    // ...), empty for Ready and Closed.
    static QString TextKey(TStatus status);
    // The message for the current status in language (0 Chinese, 1
    // English), naming the file, with the database's own words after it.
    QString ProblemText(int language) const;
    // "wal" once the file is open, unless its file system cannot have it.
    QString JournalMode() const { return m_journalMode; }

    // Stores records of one device in one transaction and notes the time of
    // the read. Records already held are left as they are. Returns how many
    // were new, or -1 when nothing was stored (Status() then says why).
    int Store(const QString &imei, const QString &model, const QVector<TArchivedRecord> &records,
              const QDateTime &readTime = QDateTime::currentDateTime());

    // A read that fails for another reason than a lock held elsewhere means
    // the file is damaged: the status becomes Corrupt, nothing more is
    // written into it and this object does not open it again, and the read
    // gives nothing.
    // Devices with their model, last read time and record count, by IMEI;
    // the counts are kept with every store, not counted.
    QVector<TArchivedDevice> Devices() const;
    int RecordCount(const QString &imei) const;
    // The records of a device in the order they were written: by time, then
    // by number; at most limit of them, the latest ones (limit < 0: all).
    // A stored record that is not 64 bytes is left out and counted in
    // SkippedRecords(), never decoded.
    QVector<TArchivedRecord> Records(const QString &imei, int limit = -1) const;
    // Records the last call of Records or ForEachRecord left out for not
    // being 64 bytes.
    int SkippedRecords() const { return m_skipped; }
    // Hands take every record of a device, in the order they were written,
    // one at a time as the file gives them (a log of any length, in little
    // memory); take returns false to stop. False when the file failed.
    bool ForEachRecord(const QString &imei, const std::function<bool(const TArchivedRecord &)> &take) const;
    // The record read last of the current log: the highest number among the
    // records of the latest time. An empty record (number 0) when none.
    TArchivedRecord LastRecord(const QString &imei) const;
    // Keeps the configuration image read from a device in the connection of
    // a download that ended at downloaded. Returns the download's number,
    // or -1 when nothing was stored.
    qint64 StoreConfiguration(const QString &imei, const QByteArray &image, const QDateTime &read,
                              const QDateTime &downloaded = QDateTime::currentDateTime());
    // Keeps a download that ended at downloaded (local time) with the PC's
    // UTC offset and time zone then, and the configuration image read in its
    // connection (empty: none was read). The download's number, or -1.
    qint64 StoreDownload(const QString &imei, const QByteArray &image, const QDateTime &read,
                         const QDateTime &downloaded = QDateTime::currentDateTime());
    // The downloads kept of a device, oldest first.
    QVector<TArchivedDownload> Downloads(const QString &imei) const;
    // The configuration in force for records up to lastRecord: the one read
    // with the first download at or after it. Invalid when there is none.
    TArchivedConfiguration ConfigurationFor(const QString &imei, const QDateTime &lastRecord) const;
    // Removes a device and its records; false when that failed.
    bool DeleteDevice(const QString &imei);

    // Another connection to the same file (the writer's) found it damaged:
    // this object stops writing into it as if it had found the damage itself.
    void MarkDamaged(const QString &reason);

private:
    TStatus Fail(TStatus status, const QString &error);
    // A read failed: damage unless the file is only locked elsewhere.
    void ReadFailed(const QSqlError &error) const;
    TStatus CheckLayout();
    bool CreateLayout();
    bool UpgradeLayout(int version);

    QString m_path;
    QString m_connection;
    QString m_journalMode;
    mutable TStatus m_status = TStatus::Closed;
    mutable QString m_error;
    mutable bool m_damaged = false; // a read found damage; never opened again
    mutable int m_skipped = 0;
};
