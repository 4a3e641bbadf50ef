#pragma once

#include "history/HistoryArchive_Unt.h"

#include <QDateTime>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QVector>

class QThread;

// Stores batches of history records into the archive file on a thread of
// its own, with a connection of its own, so that a batch's transaction
// (tens of milliseconds) never stands between one page of a read and the
// next. Batches are stored in the order they were handed over; the results
// are collected here and batchesStored() tells the caller's thread.
class THistoryArchiveWriter : public QObject
{
    Q_OBJECT
public:
    struct TResult
    {
        int ticket = 0;
        // New records, or -1 when nothing was stored (status and error say why).
        int added = -1;
        THistoryArchive::TStatus status = THistoryArchive::TStatus::Closed;
        QString error;
    };

    explicit THistoryArchiveWriter(const QString &path, QObject *parent = nullptr);
    // Stores what was handed over before it ends.
    ~THistoryArchiveWriter() override;

    QString Path() const { return m_path; }
    // Hands a batch over (one transaction); returns its ticket.
    int Store(const QString &imei, const QString &model, const QVector<TArchivedRecord> &records,
              const QDateTime &readTime = QDateTime::currentDateTime());
    // Returns once every batch handed over has been stored or refused.
    void WaitForStored();
    // The results that came in since the last call, in the order stored.
    QVector<TResult> TakeResults();

signals:
    // Results are waiting for TakeResults().
    void batchesStored();

private:
    class TWorker;

    QString m_path;
    QThread *m_thread = nullptr;
    TWorker *m_worker = nullptr;
    int m_nextTicket = 0;
    QMutex m_lock;
    QVector<TResult> m_results;
};
