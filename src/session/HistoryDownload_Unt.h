#pragma once

#include "history/HistoryArchive_Unt.h"
#include "session/HistoryReadJob_Unt.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class THistoryArchiveWriter;
class THistoryGridModel;
class TSoftHistory;

// Reading the device's log into the grid and the archive at once. It makes
// the read jobs of the three kinds of read and follows their pages:
// - All: the quantity asked for, from record 1;
// - New: only what the device wrote after the last record archived for it
//   (from the start when its log was erased or started again since);
// - Continue: a read that ended early (line lost, no answer, Stop) goes on
//   at the page it did not get, adding to the rows and counts it left.
// Every record that reaches the grid also goes to the archive, a batch of
// them in one transaction, stored on the archive writer's thread while the
// read goes on; whatever is still waiting is stored when the read ends,
// however it ends, and readEnded() comes once all of it is in. A read goes
// on without archiving when the archive cannot be used (ArchiveStatus()
// says why).
//
// The caller starts the jobs (through the window's job runner, or directly).
class THistoryDownload : public QObject
{
    Q_OBJECT
public:
    enum class TKind { All, New, Continue };
    // Records stored in one transaction while the read goes on.
    static constexpr int StoreBatch = 400;

    THistoryDownload(TSoftHistory &soft, THistoryGridModel &grid, THistoryArchive *archive,
                     QObject *parent = nullptr);

    // The device the records come from: its IMEI keys the archive (no
    // archiving without one), the model index decides the value columns.
    void SetDevice(const QString &imei, const QString &model, int modelIndex);
    QString Imei() const { return m_imei; }
    // The configuration image read from the device in this connection (read:
    // when). A read that archives records keeps it beside them, so that a
    // report of those records knows the limits in force. Another device
    // forgets it.
    void SetConfiguration(const QByteArray &image, const QDateTime &read);
    // How a download that archives gets the configuration when none was
    // read in this connection: the connection's configuration read
    // (TDeviceConnection::ReadConfig), run as the first step of the read
    // job. Without it such a download keeps no configuration.
    void SetConfigurationReader(THistoryReadJob::TConfigReadMaker makeRead) { m_makeConfigRead = std::move(makeRead); }
    const QByteArray &Configuration() const { return m_configuration; }

    // A job for each kind of read, not yet started, or null for Continue
    // when there is nothing to continue. The quantity is checked by the caller.
    THistoryReadJob *ReadAll(TDeviceSession *session, int quantity);
    THistoryReadJob *ReadNew(TDeviceSession *session);
    THistoryReadJob *Continue(TDeviceSession *session);

    // The kind of the read that Continue goes on with (never Continue).
    TKind Kind() const { return m_kind; }
    // Records the read may take in all (the quantity of a read of all).
    int Quantity() const { return m_quantity; }
    // The grid no longer holds this read's rows (another source replaced
    // them): there is nothing to continue.
    void Abandon() { m_canContinue = false; }
    // A read ended before its last page; Continue goes on at NextPage().
    bool CanContinue() const { return m_canContinue; }
    int NextPage() const { return m_nextPage; }
    // The page the pages of the last read began at.
    int StartPage() const { return m_startPage; }
    // The records the reads since the last start put into the grid, and the
    // records taken (grid rows used) so far.
    int RowsFilled() const { return m_rowsFilled; }
    int RecordsTaken() const;
    // The log's number of the last record in the grid, 0 when none.
    int LastNumber() const;
    // The last read ended at the end of the device's log (erased memory),
    // not at its quantity.
    bool EndOfLogSeen() const { return m_endOfLog; }
    // A read of new records found the earlier last record gone.
    bool LogRestarted() const { return m_logRestarted; }
    // The last record archived for the device before a read of new records
    // (its number; 0 when there was none).
    int ContinuedAfter() const { return m_continuedAfter; }

    // Whether the running read stores its records, why not, and what it
    // stored: records new to the archive, and records it could not store.
    bool Archiving() const { return m_archiving; }
    THistoryArchive::TStatus ArchiveStatus() const { return m_archiveStatus; }
    int RecordsArchived() const { return m_archived; }
    int RecordsNotArchived() const { return m_notArchived; }

signals:
    // The job ended and every record it read has been handed to the archive.
    void readEnded(THistoryReadJob::TOutcome outcome);
    // The read's first step read the device's configuration (at read).
    void configurationRead(const QByteArray &image, const QDateTime &read);

private:
    THistoryReadJob *MakeJob(TDeviceSession *session, int pageCount, TKind kind);
    void PrepareArchive();
    void Starting(int startPage, bool logRestarted);
    void TakePage(int page, const QByteArray &frame);
    void Ended(THistoryReadJob *job);
    // Hands the records waiting to the writer (or counts them as not
    // archived when the archive is not in use).
    void Flush();
    // Counts what the writer stored; a batch refused while the read goes on
    // waits for the next one when the file is only held by someone else.
    void TakeStored();

    TSoftHistory &m_soft;
    THistoryGridModel &m_grid;
    THistoryArchive *m_archive;
    QString m_imei;
    QString m_model;
    int m_modelIndex = -1;

    TKind m_kind = TKind::All;
    int m_quantity = 0;
    int m_pageCount = 0;
    int m_startPage = 0;
    int m_nextPage = 0;
    int m_rowsFilled = 0;
    int m_continuedAfter = 0;
    bool m_canContinue = false;
    bool m_logRestarted = false;
    bool m_pagesStarted = false;
    bool m_continuing = false;
    bool m_endOfLog = false;

    bool m_archiving = false;
    THistoryArchive::TStatus m_archiveStatus = THistoryArchive::TStatus::Closed;
    QVector<TArchivedRecord> m_pending;
    THistoryArchiveWriter *m_writer = nullptr;
    // Batches with the writer, by ticket.
    QHash<int, QVector<TArchivedRecord>> m_storing;
    bool m_readOver = false;
    QByteArray m_configuration;
    QDateTime m_configurationRead;
    THistoryReadJob::TConfigReadMaker m_makeConfigRead;
    int m_archived = 0;
    int m_notArchived = 0;
};
